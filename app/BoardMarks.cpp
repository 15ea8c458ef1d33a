#include "BoardMarks.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cmath>

#include "BoardGeometry.h"

namespace kelvara {
namespace {

constexpr int kTickMs = 16;

QPointF Centre(BoardPoint p) {
    return QPointF(geometry::SquareLeft(PointX(p)) + geometry::kSquare / 2.0,
                   geometry::SquareTop(PointY(p)) + geometry::kSquare / 2.0);
}

QColor ToneColour(BoardMark::Tone tone, int alpha = 255) {
    QColor c;
    switch (tone) {
        case BoardMark::Tone::Win:
            c = QColor(20, 140, 50);
            break;
        case BoardMark::Tone::Draw:
            c = QColor(40, 90, 190);
            break;
        case BoardMark::Tone::Loss:
            c = QColor(200, 40, 40);
            break;
        case BoardMark::Tone::Plain:
            c = QColor(230, 140, 20);
            break;
    }
    c.setAlpha(alpha);
    return c;
}

// Four corner brackets just outside the piece square.
void PaintCorners(QPainter& painter, BoardPoint p, const QColor& colour) {
    const double l = geometry::SquareLeft(PointX(p)) - 3.5;
    const double t = geometry::SquareTop(PointY(p)) - 3.5;
    const double s = geometry::kSquare + 7.0;
    const double arm = 6.0;
    painter.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    for (const auto& [x, y, dx, dy] : {std::array<double, 4>{l, t, 1, 1},
                                       {l + s, t, -1, 1},
                                       {l, t + s, 1, -1},
                                       {l + s, t + s, -1, -1}}) {
        QPainterPath path;
        path.moveTo(x + dx * arm, y);
        path.lineTo(x, y);
        path.lineTo(x, y + dy * arm);
        painter.drawPath(path);
    }
}

void PaintArrow(QPainter& painter, QPointF from, QPointF to, const QColor& colour) {
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    if (length < 1.0) return;
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    const QPointF a = from + u * 15.0;
    const QPointF b = to - u * 16.0;
    painter.setPen(QPen(colour, 3.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(a, b);
    QPolygonF head;
    head << b + u * 6.0 << b - u * 4.0 + n * 6.0 << b - u * 4.0 - n * 6.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(head);
}

void PaintLabel(QPainter& painter, const BoardMark& mark) {
    const QPointF from = Centre(mark.from);
    const QPointF to = Centre(mark.point);
    const QPointF at = from + (to - from) * 0.58;
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    const QString text = QString::fromStdString(mark.label);
    const QFontMetrics metrics(font);
    const double w = metrics.horizontalAdvance(text) + 6.0;
    const double h = metrics.height() + 1.0;
    // Kept inside the board area, also beside the points of the outer columns.
    const double left = std::clamp(at.x() - w / 2, geometry::kBoardArea.left + 1.0,
                                   geometry::kBoardArea.right - 1.0 - w);
    const QRectF box(left, at.y() - h / 2, w, h);
    painter.setPen(QPen(QColor(255, 255, 255, 200), 1.0));
    painter.setBrush(ToneColour(mark.tone, 225));
    painter.drawRoundedRect(box, 3.0, 3.0);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
}

}  // namespace

BoardMarks::BoardMarks(QWidget* canvas) : QObject(canvas), canvas_(canvas) {
    tick_.setInterval(kTickMs);
    connect(&tick_, &QTimer::timeout, this, &BoardMarks::Tick);
}

void BoardMarks::SetMarks(std::vector<BoardMark> marks) {
    if (marks == marks_) return;
    marks_ = std::move(marks);
    canvas_->update();
}

void BoardMarks::StartLeaving(int column, int row, const QImage& picture, int ms) {
    if (ms <= 0 || picture.isNull()) return;
    const PixelRect r = geometry::PieceSquare(column, row);
    LeavingPiece piece;
    piece.square = QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    piece.picture = picture;
    piece.ms = ms;
    piece.clock.start();
    leaving_.push_back(std::move(piece));
    tick_.start();
    canvas_->update();
}

void BoardMarks::StopLeaving() {
    leaving_.clear();
    tick_.stop();
    canvas_->update();
}

void BoardMarks::Tick() {
    canvas_->update();
    std::erase_if(leaving_,
                  [](const LeavingPiece& piece) { return piece.clock.elapsed() >= piece.ms; });
    if (leaving_.empty()) tick_.stop();
}

void BoardMarks::Paint(QPainter& painter) const {
    for (const LeavingPiece& piece : leaving_) {
        const double left = 1.0 - static_cast<double>(piece.clock.elapsed()) / piece.ms;
        if (left <= 0.0) continue;
        painter.save();
        painter.setOpacity(std::clamp(left, 0.0, 1.0));
        painter.drawImage(piece.square, piece.picture);
        painter.restore();
    }
    PaintMarks(painter, marks_);
}

void BoardMarks::PaintMarks(QPainter& painter, const std::vector<BoardMark>& marks) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const BoardMark& mark : marks) {
        const QPointF c = Centre(mark.point);
        switch (mark.kind) {
            case BoardMark::Kind::LastFrom:
                painter.setPen(QPen(ToneColour(BoardMark::Tone::Plain, 170), 1.5));
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(c, 4.0, 4.0);
                break;
            case BoardMark::Kind::LastTo:
                PaintCorners(painter, mark.point, ToneColour(BoardMark::Tone::Plain, 230));
                break;
            case BoardMark::Kind::Taken: {
                painter.setPen(QPen(QColor(200, 40, 40, 190), 2.0, Qt::SolidLine, Qt::RoundCap));
                const double a = 4.5;
                painter.drawLine(c + QPointF(-a, -a), c + QPointF(a, a));
                painter.drawLine(c + QPointF(-a, a), c + QPointF(a, -a));
                break;
            }
            case BoardMark::Kind::HintFrom:
                painter.setPen(QPen(ToneColour(mark.tone), 3.0));
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(c, 14.0, 14.0);
                break;
            case BoardMark::Kind::HintTo:
                PaintArrow(painter, Centre(mark.from), c, ToneColour(mark.tone));
                painter.setPen(QPen(ToneColour(mark.tone), 3.0));
                painter.setBrush(ToneColour(mark.tone, 90));
                painter.drawEllipse(c, 10.0, 10.0);
                break;
            case BoardMark::Kind::StepOutcome:
                PaintLabel(painter, mark);
                break;
            case BoardMark::Kind::TargetOutcome:
                painter.setPen(QPen(Qt::white, 1.0));
                painter.setBrush(ToneColour(mark.tone, 230));
                painter.drawEllipse(c, 5.0, 5.0);
                break;
        }
    }
    painter.restore();
}

}  // namespace kelvara

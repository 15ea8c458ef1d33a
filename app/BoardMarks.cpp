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

QColor Toned(BoardMark::Tone tone, int alpha = 255) {
    QColor c = BoardMarks::ToneColour(tone);
    c.setAlpha(alpha);
    return c;
}

}  // namespace

QColor BoardMarks::ToneColour(BoardMark::Tone tone) {
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
    return c;
}

namespace {

constexpr double kCornerPen = 2.0;
constexpr double kCornerGap = 3.5;     // between the piece square and the brackets' strokes
constexpr double kRingRadius = 10.75;  // the hint's ring, just around the piece
constexpr double kRingPen = 2.5;
const QColor kKeyColour(25, 100, 210);  // the keyboard's marks
constexpr double kArrowPen = 3.0;
constexpr double kArrowHead = 6.0;  // half the head's width, and its length beyond the line
constexpr double kArrowStart = 15.0;
constexpr double kArrowEnd = 16.0;

QRectF FrameInside() {
    const PixelRect& r = geometry::kFrameInside;
    return QRectF(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

QPointF UnitStep(BoardPoint from, BoardPoint to) {
    const QPointF d = Centre(to) - Centre(from);
    const double length = std::hypot(d.x(), d.y());
    return length < 1.0 ? QPointF() : d / length;
}

// The rectangle the brackets' strokes run along: a little outside the piece square, but
// pulled in at the frame, so that the brackets of the outer points stay inside it.
QRectF CornersPath(BoardPoint p) {
    const PixelRect square = geometry::PieceSquare(PointX(p), PointY(p));
    const QRectF inside =
        FrameInside().adjusted(kCornerPen / 2, kCornerPen / 2, -kCornerPen / 2, -kCornerPen / 2);
    const double l = std::max(square.left - kCornerGap, inside.left());
    const double t = std::max(square.top - kCornerGap, inside.top());
    const double r = std::min(square.right + kCornerGap, inside.right());
    const double b = std::min(square.bottom + kCornerGap, inside.bottom());
    return QRectF(QPointF(l, t), QPointF(r, b));
}

// Four corner brackets around the piece square.
void PaintCorners(QPainter& painter, BoardPoint p, const QColor& colour) {
    const QRectF box = CornersPath(p);
    const double arm = 6.0;
    painter.setPen(QPen(colour, kCornerPen, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    for (const auto& [x, y, dx, dy] : {std::array<double, 4>{box.left(), box.top(), 1, 1},
                                       {box.right(), box.top(), -1, 1},
                                       {box.left(), box.bottom(), 1, -1},
                                       {box.right(), box.bottom(), -1, -1}}) {
        QPainterPath path;
        path.moveTo(x + dx * arm, y);
        path.lineTo(x, y);
        path.lineTo(x, y + dy * arm);
        painter.drawPath(path);
    }
}

void PaintArrow(QPainter& painter, BoardPoint fromPoint, BoardPoint toPoint, const QColor& colour) {
    const QPointF u = UnitStep(fromPoint, toPoint);
    if (u.isNull()) return;
    const QPointF n(-u.y(), u.x());
    const QPointF a = Centre(fromPoint) + u * kArrowStart;
    const QPointF b = Centre(toPoint) - u * kArrowEnd;
    painter.setPen(QPen(colour, kArrowPen, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(a, b);
    QPolygonF head;
    head << b + u * kArrowHead << b - u * 4.0 + n * kArrowHead << b - u * 4.0 - n * kArrowHead;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(head);
}

void PaintLabel(QPainter& painter, const BoardMark& mark, const std::vector<BoardMark>& marks) {
    const QFont font = BoardMarks::LabelFont(painter.font());
    painter.setFont(font);
    const QRectF box = BoardMarks::LabelBox(mark, marks, QFontMetricsF(font));
    painter.setPen(QPen(QColor(255, 255, 255, 200), 1.0));
    painter.setBrush(Toned(mark.tone, 225));
    painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 3.0, 3.0);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, QString::fromStdString(mark.label));
}

// The keyboard's ring: a square on a light halo, and the move being typed beside it, kept
// inside the board's frame.
void PaintKeyFocus(QPainter& painter, QPointF c, const std::string& typed) {
    const QRectF ring(c.x() - 11.5, c.y() - 11.5, 23.0, 23.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 200), 3.5));
    painter.drawRoundedRect(ring, 4.0, 4.0);
    painter.setPen(QPen(kKeyColour, 2.0));
    painter.drawRoundedRect(ring, 4.0, 4.0);
    if (typed.empty()) return;
    const QFont font = BoardMarks::LabelFont(painter.font());
    painter.setFont(font);
    const QString text = QString::fromStdString(typed) + QChar(0x2026);
    const QFontMetricsF metrics(font);
    QRectF box(0, 0, metrics.horizontalAdvance(text) + 8.0, metrics.height() + 2.0);
    box.moveBottomLeft(ring.topRight() + QPointF(-4.0, 4.0));
    const QRectF inside(geometry::kFrameInside.left, geometry::kFrameInside.top,
                        geometry::kFrameInside.right - geometry::kFrameInside.left,
                        geometry::kFrameInside.bottom - geometry::kFrameInside.top);
    box.moveLeft(std::min(box.left(), inside.right() - box.width()));
    box.moveTop(std::max(box.top(), inside.top()));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kKeyColour);
    painter.drawRoundedRect(box, 3.0, 3.0);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
}

// A point that shows an analysis or hint destination: nothing else is drawn on it.
bool HoldsDestination(const std::vector<BoardMark>& marks, BoardPoint p) {
    return std::any_of(marks.begin(), marks.end(), [p](const BoardMark& m) {
        return m.point == p &&
               (m.kind == BoardMark::Kind::TargetOutcome || m.kind == BoardMark::Kind::HintTo);
    });
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

QRectF BoardMarks::CornersExtent(BoardPoint point) {
    return CornersPath(point).adjusted(-kCornerPen / 2, -kCornerPen / 2, kCornerPen / 2,
                                       kCornerPen / 2);
}

QRectF BoardMarks::HintRingExtent(BoardPoint point) {
    const double r = kRingRadius + kRingPen / 2;
    return QRectF(Centre(point) - QPointF(r, r), QSizeF(2 * r, 2 * r));
}

QRectF BoardMarks::ArrowExtent(BoardPoint from, BoardPoint to) {
    const QPointF u = UnitStep(from, to);
    const QPointF a = Centre(from) + u * kArrowStart;
    const QPointF tip = Centre(to) - u * (kArrowEnd - kArrowHead);
    const double half = std::max(kArrowHead, kArrowPen / 2);
    return QRectF(a, tip).normalized().adjusted(-half, -half, half, half);
}

QFont BoardMarks::LabelFont(const QFont& base) {
    QFont font = base;
    font.setPixelSize(11);
    font.setBold(true);
    return font;
}

QRectF BoardMarks::LabelBox(const BoardMark& label, const std::vector<BoardMark>& marks,
                            const QFontMetricsF& metrics) {
    const QPointF from = Centre(label.from);
    const QPointF to = Centre(label.point);
    const QPointF at = from + (to - from) * 0.58;
    const double w = std::ceil(metrics.horizontalAdvance(QString::fromStdString(label.label))) + 6;
    const double h = std::ceil(metrics.height()) + 1;
    const QRectF inside = FrameInside().adjusted(1, 1, -1, -1);
    const auto fitted = [&](QPointF centre) {
        const double left = std::clamp(centre.x() - w / 2, inside.left(), inside.right() - w);
        const double top = std::clamp(centre.y() - h / 2, inside.top(), inside.bottom() - h);
        return QRectF(left, top, w, h);
    };
    QRectF box = fitted(at);
    for (const BoardMark& m : marks) {
        if (m.kind != BoardMark::Kind::HintTo) continue;
        const QRectF arrow = ArrowExtent(m.from, m.point);
        if (!box.intersects(arrow)) continue;
        // Beside the arrow: above a level one, right of an upright one; on the other side
        // where the frame leaves no room.
        const QPointF u = UnitStep(label.from, label.point);
        const bool level = std::abs(u.x()) > std::abs(u.y());
        const QPointF away = level ? QPointF(0, -(arrow.height() + h) / 2 - 1)
                                   : QPointF((arrow.width() + w) / 2 + 1, 0);
        const QPointF centre = arrow.center();
        const QPointF along = level ? QPointF(at.x(), centre.y()) : QPointF(centre.x(), at.y());
        box = fitted(along + away);
        if (box.intersects(arrow)) box = fitted(along - away);
        break;
    }
    return box;
}

void BoardMarks::PaintMarks(QPainter& painter, const std::vector<BoardMark>& marks) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const BoardMark& mark : marks) {
        const QPointF c = Centre(mark.point);
        switch (mark.kind) {
            case BoardMark::Kind::LastFrom:
                // A ring around the board's own point mark, on a light halo so that it shows
                // on the wood.
                painter.setBrush(Qt::NoBrush);
                painter.setPen(QPen(QColor(255, 250, 235, 190), 4.0));
                painter.drawEllipse(c, 6.5, 6.5);
                painter.setPen(QPen(Toned(BoardMark::Tone::Plain), 2.0));
                painter.drawEllipse(c, 6.5, 6.5);
                break;
            case BoardMark::Kind::LastTo:
                PaintCorners(painter, mark.point, Toned(BoardMark::Tone::Plain, 230));
                break;
            case BoardMark::Kind::Taken: {
                if (HoldsDestination(marks, mark.point)) break;
                painter.setPen(QPen(QColor(200, 40, 40, 190), 2.0, Qt::SolidLine, Qt::RoundCap));
                const double a = 4.5;
                painter.drawLine(c + QPointF(-a, -a), c + QPointF(a, a));
                painter.drawLine(c + QPointF(-a, a), c + QPointF(a, -a));
                break;
            }
            case BoardMark::Kind::HintFrom:
                painter.setPen(QPen(Toned(mark.tone), kRingPen));
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(c, kRingRadius, kRingRadius);
                break;
            case BoardMark::Kind::HintTo:
                PaintArrow(painter, mark.from, mark.point, Toned(mark.tone));
                painter.setPen(QPen(Toned(mark.tone), 3.0));
                painter.setBrush(Toned(mark.tone, 90));
                painter.drawEllipse(c, 10.0, 10.0);
                break;
            case BoardMark::Kind::StepOutcome:
                PaintLabel(painter, mark, marks);
                break;
            case BoardMark::Kind::TargetOutcome:
                painter.setPen(QPen(Qt::white, 1.0));
                painter.setBrush(Toned(mark.tone, 230));
                painter.drawEllipse(c, 5.0, 5.0);
                break;
            case BoardMark::Kind::KeyFocus:
                PaintKeyFocus(painter, c, mark.label);
                break;
            case BoardMark::Kind::KeyLifted:
                painter.setPen(QPen(kKeyColour, kRingPen));
                painter.setBrush(
                    QColor(kKeyColour.red(), kKeyColour.green(), kKeyColour.blue(), 60));
                painter.drawEllipse(c, kRingRadius, kRingRadius);
                break;
        }
    }
    painter.restore();
}

}  // namespace kelvara

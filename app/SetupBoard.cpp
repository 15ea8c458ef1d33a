#include "SetupBoard.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "BoardGeometry.h"
#include "ScenePicture.h"

namespace kelvara {
namespace {

// A click counts for the point within this many pixels of it (points lie 95 apart).
constexpr int kReach = 40;
constexpr int kSpacing = 95;

QRect SquareOf(int column, int row) {
    return QRect(geometry::SquareLeft(column) - SetupBoard::kLeft,
                 geometry::SquareTop(row) - SetupBoard::kTop, geometry::kSquare, geometry::kSquare);
}

}  // namespace

SetupBoard::SetupBoard(const ScenePicture& background, const ScenePicture& black,
                       const ScenePicture& white, QWidget* parent)
    : QWidget(parent), background_(background), black_(black), white_(white) {
    setFixedSize(kWidth, kHeight);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(tr("棋盘"));
    setAccessibleDescription(tr("左键摆放，右键擦去；也可以在下面输入棋盘文字"));
}

void SetupBoard::SetBoard(const Board& board) {
    board_ = board;
    update();
}

QPoint SetupBoard::Centre(int column, int row) {
    return SquareOf(column, row).center() + QPoint(1, 1);
}

BoardPoint SetupBoard::PointAt(QPoint pixel) {
    const QPoint first = Centre(1, 1);
    const int column =
        1 + static_cast<int>(std::lround((pixel.x() - first.x()) / double(kSpacing)));
    const int row = 1 + static_cast<int>(std::lround((first.y() - pixel.y()) / double(kSpacing)));
    if (!OnGrid(column, row)) return 0;
    const QPoint offset = pixel - Centre(column, row);
    if (offset.x() * offset.x() + offset.y() * offset.y() > kReach * kReach) return 0;
    return MakePoint(column, row);
}

void SetupBoard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const double scale = devicePixelRatioF();
    if (!background_.IsNull()) {
        // The scene's picture at this scale, of which the board's part is shown.
        const QImage& scene = background_.At(scale);
        const QRect source(static_cast<int>(std::lround(kLeft * scale)),
                           static_cast<int>(std::lround(kTop * scale)),
                           static_cast<int>(std::lround(kWidth * scale)),
                           static_cast<int>(std::lround(kHeight * scale)));
        painter.drawImage(rect(), scene, source);
    } else {
        painter.fillRect(rect(), QColor(200, 210, 220));
        painter.setPen(QPen(Qt::black, 1));
        for (int i = 1; i <= 4; ++i) {
            painter.drawLine(Centre(i, 1), Centre(i, 4));
            painter.drawLine(Centre(1, i), Centre(4, i));
        }
    }
    for (int column = 1; column <= 4; ++column) {
        for (int row = 1; row <= 4; ++row) {
            const int code = board_.Code(column, row);
            if (code != Black && code != White) continue;
            const ScenePicture& piece = code == Black ? black_ : white_;
            if (piece.IsNull()) {
                painter.setBrush(code == Black ? Qt::black : Qt::white);
                painter.setPen(Qt::black);
                painter.drawEllipse(SquareOf(column, row));
            } else {
                painter.drawImage(SquareOf(column, row), piece.At(scale));
            }
        }
    }
}

void SetupBoard::mousePressEvent(QMouseEvent* event) {
    const bool clear = event->button() == Qt::RightButton;
    if (event->button() != Qt::LeftButton && !clear) return;
    const BoardPoint point = PointAt(event->position().toPoint());
    if (point != 0) emit pointClicked(PointX(point), PointY(point), clear);
}

}  // namespace kelvara

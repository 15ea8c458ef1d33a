#include "BoardDiagram.h"

#include <QPainter>
#include <cmath>

#include "BoardCanvas.h"
#include "BoardGeometry.h"
#include "BoardMarks.h"

namespace kelvara {
namespace {

// The diagram's size in board pixels.
constexpr int kWidth = BoardDiagram::kNumberRoom + BoardDiagram::kShown.width();
constexpr int kHeight = BoardDiagram::kShown.height() + BoardDiagram::kNumberRoom;

// Board pixel (x, y) lies at (x + kOffsetX, y + kOffsetY) of the diagram.
constexpr int kOffsetX = BoardDiagram::kNumberRoom - BoardDiagram::kShown.left();
constexpr int kOffsetY = -BoardDiagram::kShown.top();

}  // namespace

BoardDiagram::BoardDiagram(const BoardArt& art, const Board& board, std::vector<BoardMark> marks,
                           QWidget* parent)
    : QWidget(parent), art_(art), board_(board), marks_(std::move(marks)) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize BoardDiagram::sizeHint() const {
    return QSize(static_cast<int>(std::ceil(kWidth * kScale)),
                 static_cast<int>(std::ceil(kHeight * kScale)));
}

QRectF BoardDiagram::PieceRect(int column, int row, double scale) {
    return QRectF((geometry::SquareLeft(column) + kOffsetX) * scale,
                  (geometry::SquareTop(row) + kOffsetY) * scale, geometry::kSquare * scale,
                  geometry::kSquare * scale);
}

void BoardDiagram::Paint(QPainter& painter, double deviceScale, bool withMarks) const {
    painter.translate(kOffsetX, kOffsetY);
    painter.save();
    painter.setClipRect(kShown);
    const QRectF scene(0, 0, BoardCanvas::kSceneWidth, BoardCanvas::kSceneHeight);
    if (art_.background.IsNull())
        painter.fillRect(kShown, QColor(200, 210, 220));
    else
        painter.drawImage(scene, art_.background.At(deviceScale));
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) {
            const CellCode code = static_cast<CellCode>(board_.Code(i, j));
            const ScenePicture* picture = code == Black   ? &art_.black
                                          : code == White ? &art_.white
                                                          : nullptr;
            if (picture == nullptr || picture->IsNull()) continue;
            const PixelRect r = geometry::PieceSquare(i, j);
            painter.drawImage(QRectF(r.left, r.top, geometry::kSquare, geometry::kSquare),
                              picture->At(deviceScale));
        }
    }
    if (withMarks) BoardMarks::PaintMarks(painter, marks_);
    painter.restore();

    // The numbers of the move text: columns from the left, rows from the bottom.
    QFont font = painter.font();
    font.setPixelSize(16);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    for (int k = 1; k <= 4; ++k) {
        const QString number = QString::number(k);
        const QRectF below(geometry::SquareLeft(k) - 10, kShown.bottom() + 1, 40, kNumberRoom);
        painter.drawText(below, Qt::AlignCenter, number);
        const QRectF left(kShown.left() - kNumberRoom, geometry::SquareTop(k) - 10, kNumberRoom,
                          40);
        painter.drawText(left, Qt::AlignCenter, number);
    }
}

QImage BoardDiagram::Render(double scale, bool withMarks) const {
    QImage image(static_cast<int>(std::lround(kWidth * scale)),
                 static_cast<int>(std::lround(kHeight * scale)), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    painter.scale(scale, scale);
    Paint(painter, scale, withMarks);
    return image;
}

void BoardDiagram::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.scale(kScale, kScale);
    Paint(painter, kScale * devicePixelRatioF(), true);
}

}  // namespace kelvara

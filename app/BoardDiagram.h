#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QWidget>
#include <vector>

#include "Board.h"
#include "PlayAids.h"
#include "ScenePicture.h"

class QPainter;

namespace kelvara {

// The board's own pictures for small drawings of it. They are copies: a picture keeps only
// the scale it was last drawn at, and the window's pictures are drawn at the window's.
struct BoardArt {
    ScenePicture background;
    ScenePicture black;
    ScenePicture white;
};

// A small picture of a position in the board's own art: the board cut out of the background,
// the piece pictures on their points and the board's marks over them, with the columns
// numbered below and the rows at the left as the move text counts them. It is drawn afresh
// at every paint at the screen's pixel ratio, so it stays sharp at any scale.
class BoardDiagram : public QWidget {
    Q_OBJECT
  public:
    // Widget pixels per board pixel.
    static constexpr double kScale = 0.8;
    // The part of the board scene shown (the board in its frame), and the room beside it for
    // the numbers, in board pixels.
    static constexpr QRect kShown{0, 80, 316, 320};
    static constexpr int kNumberRoom = 20;

    // `art` must outlive the diagram.
    BoardDiagram(const BoardArt& art, const Board& board, std::vector<BoardMark> marks,
                 QWidget* parent = nullptr);

    const Board& Position() const { return board_; }
    const std::vector<BoardMark>& Marks() const { return marks_; }

    // The diagram at `scale` image pixels per board pixel, with or without its marks.
    QImage Render(double scale, bool withMarks = true) const;
    // Where the piece square of (column, row) lies in such an image.
    static QRectF PieceRect(int column, int row, double scale);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Paint(QPainter& painter, double deviceScale, bool withMarks) const;

    const BoardArt& art_;
    Board board_;
    std::vector<BoardMark> marks_;
};

}  // namespace kelvara

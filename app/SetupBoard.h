#pragma once

#include <QWidget>

#include "Board.h"
#include "BoardTypes.h"

namespace kelvara {

class ScenePicture;

// The board of the set-up dialog: the window's own board art (the background's board and the
// piece pictures) at one logical pixel per scene pixel, sharp at every device scale. A left
// click on a point (or near it) asks for it to be changed, a right click for it to be cleared;
// the dialog decides what it becomes.
class SetupBoard : public QWidget {
    Q_OBJECT
  signals:
    void pointClicked(int column, int row, bool clear);

  public:
    // The part of the scene shown: the board with its frame and shadow.
    static constexpr int kLeft = 0;
    static constexpr int kTop = 76;
    static constexpr int kWidth = 318;
    static constexpr int kHeight = 324;

    // The pictures are not owned and must outlive the widget; null ones are drawn plainly.
    SetupBoard(const ScenePicture& background, const ScenePicture& black, const ScenePicture& white,
               QWidget* parent = nullptr);

    void SetBoard(const Board& board);
    const Board& CurrentBoard() const { return board_; }

    // The point nearest to a widget pixel, within reach of a click, or 0.
    static BoardPoint PointAt(QPoint pixel);
    // The widget pixel at the centre of a point.
    static QPoint Centre(int column, int row);

    QSize sizeHint() const override { return {kWidth, kHeight}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    const ScenePicture& background_;
    const ScenePicture& black_;
    const ScenePicture& white_;
    Board board_;
};

}  // namespace kelvara

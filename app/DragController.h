#pragma once

#include "BoardGeometry.h"
#include "BoardTypes.h"

namespace kelvara {

class BoardCanvas;
class GameSession;
class ScenePicture;

// The cursor the board shows: the hand of the side that may move, the arrow while nobody
// may, or whatever it showed before (while a step slides).
enum class TurnCursor { Default, BlackHand, WhiteHand, Unchanged };

// The local player's mouse on the board, in scene pixels: a press lifts a piece of the side
// to move, the picture follows the pointer, and the release on a neighbouring empty point
// hands the step to the session; any other release puts the piece back.
class DragController {
  public:
    DragController(BoardCanvas& canvas, GameSession& session, const ScenePicture& black,
                   const ScenePicture& white);

    void Press(int px, int py);
    void Move(int px, int py, bool leftButtonHeld);
    void Release(int px, int py);
    // Puts a lifted piece back on its point when its release never arrived.
    void Settle();
    // Forgets a lifted piece without drawing it back: the board is about to be shown afresh.
    void Cancel();

    // A piece is lifted and follows the mouse.
    bool Dragging() const { return dragging_; }

    static TurnCursor CursorFor(const GameSession& session);

  private:
    void DrawPiece(int column, int row, CellCode side);
    // Erases the square the lifted piece was last drawn in and draws again the pieces on
    // other points that the square overlaps.
    void EraseDragSquare();

    BoardCanvas& canvas_;
    GameSession& session_;
    const ScenePicture& black_;
    const ScenePicture& white_;

    bool buttonDown_ = false;
    bool dragging_ = false;
    BoardPoint selected_ = 0;
    PixelRect dragRect_{};
    CellCode dragSide_ = Black;
};

}  // namespace kelvara

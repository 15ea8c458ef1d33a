#pragma once

#include <string>

#include "BoardGeometry.h"
#include "BoardTypes.h"
#include "PlyRecord.h"

namespace kelvara {

// What the game session asks of the window. Texts are UTF-8.
class GameView {
  public:
    virtual ~GameView() = default;

    virtual void SetMatchLine(const std::string& text) = 0;
    virtual void SetStatusLine(const std::string& text) = 0;
    virtual void SetClockText(const std::string& text) = 0;

    virtual void AppendHistory(CellCode side, const std::string& moveText) = 0;
    // Takes the last entry off the list of `side` (a step taken back); nothing when it is empty.
    virtual void RemoveLastHistory(CellCode side) = 0;
    virtual void ClearHistory() = 0;

    // The one-second clock timer.
    virtual void StartClockTimer() = 0;
    virtual void StopClockTimer() = 0;

    virtual void EraseBoard() = 0;
    virtual void DrawAllPieces() = 0;
    virtual void DrawPiece(int column, int row, CellCode side) = 0;
    virtual void ErasePiece(int column, int row) = 0;
    virtual void EraseRect(const PixelRect& rect) = 0;
    // Draws the picture of `side` stretched into `rect` (the piece that follows the mouse).
    virtual void DrawPictureInRect(CellCode side, const PixelRect& rect) = 0;
    // Slides the piece of `side` from (column, row) one step in `direction`; returns when done.
    virtual void AnimateMove(CellCode side, int column, int row, int direction) = 0;

    // A step has been played and recorded (it is the last of the session's History()); the
    // turn is handed over next. Redo() and Undo() do not report here.
    virtual void StepPlayed(const PlyRecord& /*ply*/) {}
};

}  // namespace kelvara

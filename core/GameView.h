#pragma once

#include <string>

#include "BoardTypes.h"
#include "PlyRecord.h"

namespace kelvara {

// What the game session tells the window. The window paints the board from the session's
// CurrentBoard(); these calls say when and what changed. Texts are UTF-8.
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

    // The whole position is new (a new game, a set-up position, steps taken back or played
    // again): the board is to be shown afresh.
    virtual void PositionChanged() = 0;
    // `ply` is on the board now: its piece stands on its target and the pieces in
    // `ply.captured` are gone. While the session's phase is Animating the piece is still to
    // be shown on its origin; AnimateStep follows.
    virtual void StepApplied(const PlyRecord& ply) = 0;
    // The piece of `ply` is to slide from its origin to its target. When the slide is over
    // the view calls GameSession::StepAnimationDone(), which completes the step.
    virtual void AnimateStep(const PlyRecord& ply) = 0;
    // A step has been completed and recorded (it is the last of the session's History()); the
    // turn is handed over next. Ends any slide of that step still shown. Redo() and Undo() do
    // not report here.
    virtual void StepPlayed(const PlyRecord& /*ply*/) {}
};

}  // namespace kelvara

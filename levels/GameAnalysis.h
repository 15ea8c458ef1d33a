#pragma once

#include <vector>

#include "Board.h"
#include "BoardTypes.h"
#include "PositionValue.h"
#include "SolvedTable.h"

namespace kelvara {

// One step and its outcome for the side that makes it: win in N plies (this step included),
// draw, or loss in N plies, with best play from both sides afterwards.
struct StepOutcome {
    MoveRecord move;
    PositionValue value;

    friend bool operator==(const StepOutcome&, const StepOutcome&) = default;
};

// Hints and analysis on the game core's board, answered from the solved table. Every call is
// a few table look-ups; nothing is cached. The table must be complete and outlive the object.
class GameAnalysis {
  public:
    explicit GameAnalysis(const SolvedTable& solver) : solver_(solver) {}

    // Value of the position for `side` to move. False when the board does not fit the table
    // (more than 6 pieces a side) or the side is neither Black nor White.
    bool Value(const Board& board, CellCode side, PositionValue& value) const;

    // The perfect step for `side`: fastest win, slowest loss, or a step that keeps the draw;
    // ties go to the first step in scan order (the same step as the perfect player). False
    // when the game is over, the side has no step, or the board does not fit the table.
    bool Hint(const Board& board, CellCode side, StepOutcome& hint) const;

    // Every legal step of `side` with its outcome, in scan order: lowest column, then lowest
    // row, then right, left, up, down. Empty when the game is over, the side has no step or
    // the board does not fit the table.
    std::vector<StepOutcome> Analyse(const Board& board, CellCode side) const;

  private:
    const SolvedTable& solver_;
};

}  // namespace kelvara

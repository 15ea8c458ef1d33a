#pragma once

#include <string>
#include <vector>

#include "Board.h"
#include "BoardTypes.h"
#include "GameAnalysis.h"
#include "PositionValue.h"
#include "SolvedTable.h"

namespace kelvara {

// One ply of a reviewed game, the values for the side that made it.
struct PlyReview {
    CellCode side = Black;
    MoveRecord move;
    // False when the position before the step does not fit the table (more than 6 pieces a
    // side); the values below are then draws and the ply is no mistake.
    bool known = false;
    PositionValue before;  // outcome before the step, with best play from there
    PositionValue after;   // outcome after the step
    bool mistake = false;  // a win turned into a draw or a loss, or a draw into a loss
    StepOutcome best;      // the perfect step there, which keeps `before`

    // The outcome for black after the ply.
    PositionValue BlackAfter() const;
};

// A game's review from the solved table: every ply's outcome before and after its step, the
// mistakes and what would have kept the outcome.
class GameReview {
  public:
    GameReview(const SolvedTable& solved, const Board& start, CellCode side,
               const std::vector<MoveRecord>& moves);

    const std::vector<PlyReview>& Plies() const { return plies_; }
    int Mistakes(CellCode side) const;
    // Index of the last ply that changed the outcome, -1 when the start's outcome was kept.
    int DecidedAt() const;

    // "第 7 步 22U 失误：胜 → 和；应走 31R，胜（9 步）" for a mistake, empty for another ply.
    std::string FlagText(int index) const;
    // What the status line says of any ply: FlagText() for a mistake, else the mover's outcome
    // after the step, "第 5 步 12R：胜（9 步）", or "第 5 步 12R" where the table does not know it.
    std::string PlyText(int index) const;
    // "复盘：黑方失误 1 次，白方失误 2 次；第 7 步定局" or "复盘：双方均无失误".
    std::string Summary() const;

  private:
    std::vector<PlyReview> plies_;
};

}  // namespace kelvara

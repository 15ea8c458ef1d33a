#include "ExpertPlayer.h"

#include <vector>

#include "GameAnalysis.h"

namespace kelvara {

bool ExpertPlayer::ChooseMove(Board& board, MoveRecord& move) {
    const SolvedTable* solver = table_.Wait();
    if (solver == nullptr) return false;
    const GameAnalysis analysis(*solver);
    StepOutcome best;
    if (!analysis.Hint(board, side_, best)) return false;
    // The draw is taken every time, so that the same seed gives the same game.
    const bool slip = rng_() % 100 < static_cast<std::uint32_t>(kSlipPercent);
    const std::uint32_t pick = rng_();
    move = best.move;
    if (!slip) return true;
    std::vector<StepOutcome> others;
    for (const StepOutcome& step : analysis.Analyse(board, side_)) {
        if (step.move != best.move) others.push_back(step);
    }
    if (!others.empty()) move = others[pick % others.size()].move;
    return true;
}

}  // namespace kelvara

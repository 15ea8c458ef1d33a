#include "ExpertPlayer.h"

#include <vector>

#include "GameAnalysis.h"

namespace kelvara {

std::optional<MoveRecord> ExpertPlayer::ChooseMove(const Board& board) {
    const SolvedTable* solver = table_.Wait();
    if (solver == nullptr) return std::nullopt;
    const GameAnalysis analysis(*solver);
    StepOutcome best;
    if (!analysis.Hint(board, side_, best)) return std::nullopt;
    // The draw is taken every time, so that the same seed gives the same game.
    const bool slip = rng_() % 100 < static_cast<std::uint32_t>(kSlipPercent);
    const std::uint32_t pick = rng_();
    if (!slip) return best.move;
    std::vector<StepOutcome> others;
    for (const StepOutcome& step : analysis.Analyse(board, side_)) {
        if (step.move != best.move) others.push_back(step);
    }
    if (others.empty()) return best.move;
    return others[pick % others.size()].move;
}

}  // namespace kelvara

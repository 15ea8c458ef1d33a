#include "PerfectChooser.h"

#include "GameAnalysis.h"

namespace kelvara {

std::optional<MoveRecord> PerfectChooser::ChooseMove(const Board& board) {
    const SolvedTable* solver = table_.Wait();
    if (solver == nullptr) return std::nullopt;
    StepOutcome hint;
    if (!GameAnalysis(*solver).Hint(board, side_, hint)) return std::nullopt;
    return hint.move;
}

}  // namespace kelvara

#include "PerfectChooser.h"

#include "GameAnalysis.h"

namespace kelvara {

bool PerfectChooser::ChooseMove(Board& board, MoveRecord& move) {
    const SolvedTable* solver = table_.Wait();
    if (solver == nullptr) return false;
    StepOutcome hint;
    if (!GameAnalysis(*solver).Hint(board, side_, hint)) return false;
    move = hint.move;
    return true;
}

}  // namespace kelvara

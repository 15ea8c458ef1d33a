#include "GameAnalysis.h"

#include "BoardBridge.h"
#include "PerfectPlayer.h"
#include "PositionRules.h"

namespace kelvara {

namespace {

bool GameOver(const SolverPosition& position) {
    return PositionIndex::popcount16(position.black) <= 1 ||
           PositionIndex::popcount16(position.white) <= 1;
}

}  // namespace

bool GameAnalysis::Value(const Board& board, CellCode side, PositionValue& value) const {
    SolverPosition position;
    if (!BoardBridge::ToPosition(board, side, position)) return false;
    value = PerfectPlayer(solver_).Value(position.black, position.white, side);
    return true;
}

bool GameAnalysis::Hint(const Board& board, CellCode side, StepOutcome& hint) const {
    SolverPosition position;
    if (!BoardBridge::ToPosition(board, side, position)) return false;
    const PerfectPlayer::Step step =
        PerfectPlayer(solver_).BestStep(position.black, position.white, side);
    if (step.from < 0) return false;
    hint.move = BoardBridge::ToMove(step.from, step.direction);
    hint.value = step.value;
    return true;
}

std::vector<StepOutcome> GameAnalysis::Analyse(const Board& board, CellCode side) const {
    std::vector<StepOutcome> steps;
    SolverPosition position;
    if (!BoardBridge::ToPosition(board, side, position) || GameOver(position)) return steps;
    PositionRules::ForEachStep(
        position.Mover(), position.Opponent(),
        [&](int from, int direction, int, std::uint16_t after, std::uint16_t opponentAfter) {
            steps.push_back({BoardBridge::ToMove(from, direction),
                             solver_.ValueOf(opponentAfter, after).ForSideThatStepped()});
        });
    return steps;
}

}  // namespace kelvara

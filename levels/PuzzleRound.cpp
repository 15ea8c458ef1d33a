#include "PuzzleRound.h"

#include <string>

#include "BoardText.h"
#include "GameAnalysis.h"
#include "HintText.h"

namespace kelvara {

Puzzle PuzzleRound::ForBlack(const Puzzle& puzzle) {
    if (puzzle.side == Black) return puzzle;
    std::string text = BoardToText(puzzle.board);
    for (char& c : text) c = c == 'b' ? 'w' : c == 'w' ? 'b' : c;
    Puzzle swapped = puzzle;
    BoardFromText(text, swapped.board);
    swapped.side = Black;
    return swapped;
}

int PuzzleRound::StepsToWin(const Board& board, const SolvedTable& table) {
    PositionValue value;
    if (!GameAnalysis(table).Value(board, Black, value) || value.kind() != PositionValue::Kind::Win)
        return 0;
    return HintText::OwnSteps(value);
}

PuzzleRound::State PuzzleRound::StepPlayed(CellCode side, const MoveRecord& step,
                                           const Board& after, const SolvedTable& table) {
    if (state_ != State::Playing || side != Black) return state_;
    // A step that ends the game at once leaves white nothing to look up.
    if (after.Winner(White) == Black) return state_;
    PositionValue value;
    if (!GameAnalysis(table).Value(after, White, value) ||
        value.kind() != PositionValue::Kind::Loss) {
        state_ = State::Failed;
        losingStep_ = step;
    }
    return state_;
}

PuzzleRound::State PuzzleRound::GameEnded(CellCode winner) {
    if (state_ == State::Playing && winner == Black) state_ = State::Solved;
    return state_;
}

}  // namespace kelvara

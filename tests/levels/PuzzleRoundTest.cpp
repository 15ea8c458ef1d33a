#include <gtest/gtest.h>

#include <string>

#include "BoardText.h"
#include "GameAnalysis.h"
#include "PuzzleRound.h"
#include "SharedSolve.h"

using kelvara::Black;
using kelvara::Board;
using kelvara::GameAnalysis;
using kelvara::PositionValue;
using kelvara::Puzzle;
using kelvara::PuzzleMaker;
using kelvara::PuzzleRound;
using kelvara::White;

namespace {

// The one step of `board` (black to move) that keeps the win, and how many there are.
int WinningSteps(const Board& board, kelvara::MoveRecord& winning) {
    int wins = 0;
    for (const auto& step : GameAnalysis(SharedTable()).Analyse(board, Black)) {
        if (step.value.kind() != PositionValue::Kind::Win) continue;
        ++wins;
        winning = step.move;
    }
    return wins;
}

}  // namespace

// White's puzzles, played with the colours swapped, keep their one answer and their value.
TEST(PuzzleRound, WhitePuzzlesSwappedKeepTheirAnswer) {
    const PuzzleMaker maker(SharedTable());
    int swapped = 0;
    for (int grade = PuzzleMaker::kMinGrade; grade <= PuzzleMaker::kMaxGrade; ++grade) {
        for (std::uint32_t seed = 0; seed < 12; ++seed) {
            const auto puzzle = maker.Make(grade, seed);
            ASSERT_TRUE(puzzle);
            const Puzzle black = PuzzleRound::ForBlack(*puzzle);
            SCOPED_TRACE(kelvara::BoardToText(puzzle->board));
            ASSERT_EQ(black.side, Black);
            EXPECT_EQ(black.board.blackPieces, puzzle->board.CountPieces(puzzle->side));
            EXPECT_EQ(black.board.whitePieces, black.board.CountPieces(White));
            kelvara::MoveRecord winning;
            EXPECT_EQ(WinningSteps(black.board, winning), 1);
            EXPECT_EQ(winning, puzzle->answer);
            EXPECT_EQ(PuzzleRound::StepsToWin(black.board, SharedTable()),
                      (puzzle->value.plies() + 1) / 2);
            swapped += puzzle->side == White;
        }
    }
    EXPECT_GT(swapped, 5);
}

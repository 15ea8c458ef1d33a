#pragma once

#include "Board.h"
#include "BoardTypes.h"
#include "PuzzleMaker.h"
#include "SolvedTable.h"

namespace kelvara {

// One puzzle as the window plays it: the player has black and moves first, the computer
// defends with white. The round is solved when the player wins the game and failed by the
// first step after which the player no longer wins. A hint, once asked for, stays with the
// round: a round solved with it does not count.
class PuzzleRound {
  public:
    enum class State { Playing, Solved, Failed };

    // The same puzzle with black to move: the rules treat both colours alike, so a puzzle
    // for white is played with the colours swapped and keeps its answer and value.
    static Puzzle ForBlack(const Puzzle& puzzle);
    // The player's own steps still needed to win with black to move in `board`; 0 when black
    // does not win there or the board does not fit the table.
    static int StepsToWin(const Board& board, const SolvedTable& table);

    explicit PuzzleRound(const Puzzle& puzzle) : puzzle_(ForBlack(puzzle)) {}

    const Puzzle& GetPuzzle() const { return puzzle_; }
    State GetState() const { return state_; }
    bool HintUsed() const { return hintUsed_; }
    void UseHint() { hintUsed_ = true; }
    // Solved without a hint: the round counts among the puzzles solved.
    bool Counts() const { return state_ == State::Solved && !hintUsed_; }
    // The step that lost the win, once failed.
    const MoveRecord& LosingStep() const { return losingStep_; }

    // A step of `side` has been played and `after` is the board it left. A black step after
    // which white to move is not lost fails the round; white's steps change nothing.
    State StepPlayed(CellCode side, const MoveRecord& step, const Board& after,
                     const SolvedTable& table);
    // The game has ended; a win for black solves a round still being played.
    State GameEnded(CellCode winner);

  private:
    Puzzle puzzle_;
    State state_ = State::Playing;
    bool hintUsed_ = false;
    MoveRecord losingStep_;
};

}  // namespace kelvara

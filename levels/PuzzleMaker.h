#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "Board.h"
#include "BoardTypes.h"
#include "PositionValue.h"
#include "SolvedTable.h"

namespace kelvara {

// A position where the side to move wins and exactly one step keeps the win.
struct Puzzle {
    Board board;
    CellCode side = Black;
    MoveRecord answer;    // the one winning step
    PositionValue value;  // win N plies for the side to move
    int grade = 0;
};

// Makes puzzles from positions reached by random games from the start position. Grades count
// the winner's own steps to the end, the first included: 1 for one step, 2 for 2-3, 3 for
// 4-6, 4 for 7 and more. The same grade and seed always give the same puzzle; the work is
// bounded, and a grade without any position found within it gives none.
class PuzzleMaker {
  public:
    static constexpr int kMinGrade = 1;
    static constexpr int kMaxGrade = 4;
    static constexpr int kWalks = 64;
    static constexpr int kWalkPlies = 160;

    // The table must be complete and outlive the maker.
    explicit PuzzleMaker(const SolvedTable& table) : table_(table) {}

    // Grade of a win in `plies` plies; 0 for no win to play (0 plies).
    static int GradeOf(int plies);
    // The seed of the day's puzzle: the number yyyymmdd of a date written yyyy-mm-dd; none
    // for any other text.
    static std::optional<std::uint32_t> DaySeed(const std::string& date);

    std::optional<Puzzle> Make(int grade, std::uint32_t seed) const;

  private:
    const SolvedTable& table_;
};

}  // namespace kelvara

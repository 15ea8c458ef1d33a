#include <gtest/gtest.h>

#include <set>
#include <string>

#include "BoardText.h"
#include "GameAnalysis.h"
#include "PuzzleMaker.h"
#include "SharedSolve.h"

using kelvara::GameAnalysis;
using kelvara::PositionValue;
using kelvara::Puzzle;
using kelvara::PuzzleMaker;

TEST(PuzzleMaker, GradesAndDaySeeds) {
    // A win is an odd number of plies: the winner's steps are (plies + 1) / 2.
    const std::pair<int, int> grades[] = {{0, 0}, {1, 1},  {3, 2},  {5, 2},
                                          {7, 3}, {11, 3}, {13, 4}, {41, 4}};
    for (const auto& [plies, grade] : grades)
        EXPECT_EQ(PuzzleMaker::GradeOf(plies), grade) << plies;

    EXPECT_EQ(PuzzleMaker::DaySeed("2026-12-09"), 20261209u);
    EXPECT_EQ(PuzzleMaker::DaySeed("1999-01-31"), 19990131u);
    for (const char* bad : {"", "2026-13-01", "2026-00-10", "2026-12-32", "2026/12/09", "2026-1-09",
                            "20261209", "2026-12-0x"}) {
        EXPECT_FALSE(PuzzleMaker::DaySeed(bad)) << bad;
    }
}

// Every puzzle checked through the analysis: one winning step, the stated value, in its grade.
TEST(PuzzleMaker, OneWinningStepWithinTheGrade) {
    const PuzzleMaker maker(SharedTable());
    const GameAnalysis analysis(SharedTable());
    for (int grade = PuzzleMaker::kMinGrade; grade <= PuzzleMaker::kMaxGrade; ++grade) {
        std::set<std::string> seen;
        for (std::uint32_t seed = 0; seed < 40; ++seed) {
            const std::optional<Puzzle> puzzle = maker.Make(grade, seed);
            ASSERT_TRUE(puzzle) << grade << " " << seed;
            const std::string text = kelvara::BoardToText(puzzle->board);
            SCOPED_TRACE(text + " grade " + std::to_string(grade));
            PositionValue value;
            ASSERT_TRUE(analysis.Value(puzzle->board, puzzle->side, value));
            EXPECT_EQ(value, puzzle->value);
            EXPECT_EQ(value.kind(), PositionValue::Kind::Win);
            EXPECT_EQ(PuzzleMaker::GradeOf(value.plies()), grade);
            int wins = 0;
            for (const auto& step : analysis.Analyse(puzzle->board, puzzle->side)) {
                if (step.value.kind() != PositionValue::Kind::Win) continue;
                ++wins;
                EXPECT_EQ(step.move, puzzle->answer);
                EXPECT_EQ(step.value, value);
            }
            EXPECT_EQ(wins, 1);
            seen.insert(text + (puzzle->side == kelvara::Black ? "b" : "w"));

            const std::optional<Puzzle> again = maker.Make(grade, seed);
            ASSERT_TRUE(again);
            EXPECT_EQ(kelvara::BoardToText(again->board), text);
            EXPECT_EQ(again->side, puzzle->side);
        }
        EXPECT_GE(seen.size(), 20u) << "grade " << grade;
    }
    EXPECT_FALSE(maker.Make(0, 1));
    EXPECT_FALSE(maker.Make(5, 1));
}

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Board.h"
#include "PerfectPlayer.h"
#include "PositionRules.h"
#include "ReferenceGame.h"
#include "SharedSolve.h"

using kelvara::PerfectPlayer;
using kelvara::PositionRules;

namespace {

struct StepResult {
    std::string text;
    std::uint16_t mover = 0;
    std::uint16_t opponent = 0;
};

std::vector<StepResult> Steps(std::uint16_t mover, std::uint16_t opponent) {
    std::vector<StepResult> out;
    PositionRules::ForEachStep(
        mover, opponent,
        [&](int from, int direction, int, std::uint16_t after, std::uint16_t opponentAfter) {
            out.push_back({PositionRules::MoveText(from, direction), after, opponentAfter});
        });
    return out;
}

std::uint16_t Set(std::initializer_list<std::pair<int, int>> points) {
    std::uint16_t set = 0;
    for (auto [x, y] : points)
        set |= static_cast<std::uint16_t>(1u << PositionRules::PointOf(x, y));
    return set;
}

// Result of one step by the game core's own board.
StepResult CoreStep(std::uint16_t black, std::uint16_t white, kelvara::CellCode side,
                    const std::string& text) {
    kelvara::Board board;
    for (int p = 0; p < 16; ++p) {
        auto& cell =
            board.cells[kelvara::Board::Index(PositionRules::XOf(p), PositionRules::YOf(p))];
        cell.code = (black >> p) & 1   ? kelvara::Black
                    : (white >> p) & 1 ? kelvara::White
                                       : kelvara::Empty;
    }
    board.blackPieces = kelvara::PositionIndex::popcount16(black);
    board.whitePieces = kelvara::PositionIndex::popcount16(white);
    int from = 0, direction = 0;
    PositionRules::ParseMove(text, from, direction);
    board.ApplyMove(side, PositionRules::XOf(from), PositionRules::YOf(from), direction);
    StepResult r{text, 0, 0};
    for (int p = 0; p < 16; ++p) {
        const int code = board.Code(PositionRules::XOf(p), PositionRules::YOf(p));
        const auto bit = static_cast<std::uint16_t>(1u << p);
        if (code == (side == kelvara::Black ? kelvara::Black : kelvara::White)) r.mover |= bit;
        if (code == (side == kelvara::Black ? kelvara::White : kelvara::Black)) r.opponent |= bit;
    }
    return r;
}

}  // namespace

TEST(PositionRules, StartPositionOffersFourQuietStepsInScanOrder) {
    std::uint16_t black = 0, white = 0;
    ASSERT_TRUE(PerfectPlayer::ParseBoard("bbbbb..bw..wwwww", black, white));
    const auto steps = Steps(black, white);
    ASSERT_EQ(steps.size(), 4u);
    const char* expected[] = {"12R", "21U", "31U", "42L"};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].text, expected[i]);
        EXPECT_EQ(steps[i].opponent, white);
    }
}

TEST(PositionRules, CaptureShapesAndNearMisses) {
    // Column 2 reads _ b b w after black steps up from (2,1)... and row 2 reads b b w _.
    const std::uint16_t black = Set({{2, 1}, {2, 3}, {1, 2}});
    const std::uint16_t white = Set({{2, 4}, {3, 2}, {4, 4}});
    const auto steps = Steps(black, white);
    bool found = false;
    for (const auto& s : steps) {
        if (s.text != "21U") continue;
        found = true;
        EXPECT_EQ(s.opponent, Set({{4, 4}})) << "both (2,4) and (3,2) are taken";
    }
    EXPECT_TRUE(found);

    // Row 1 after the step, for each line shape; the mover steps from row 2 into row 1.
    struct Case {
        const char* line;  // row 1 after the step, x = 1..4
        int stepX;         // the piece that stepped down into row 1 at this column
        const char* left;  // row 1 after captures
    };
    const Case cases[] = {
        {".bbw", 2, ".bb."}, {".wbb", 3, "..bb"}, {"bbw.", 1, "bb.."},
        {"wbb.", 3, ".bb."}, {"bbww", 2, "bbww"}, {"bb.w", 2, "bb.w"},
        {"wbbw", 2, "wbbw"}, {"bbb.", 2, "bbb."}, {".wwb", 4, ".wwb"},
    };
    for (const Case& c : cases) {
        std::uint16_t mover = 0, opponent = 0;
        for (int x = 1; x <= 4; ++x) {
            const char ch = c.line[x - 1];
            const auto bit = static_cast<std::uint16_t>(1u << PositionRules::PointOf(x, 1));
            if (ch == 'b' && x != c.stepX) mover |= bit;
            if (ch == 'w') opponent |= bit;
        }
        // The stepping piece starts above its destination, in an otherwise empty column.
        const int from = PositionRules::PointOf(c.stepX, 2);
        mover |= static_cast<std::uint16_t>(1u << from);
        const int to = PositionRules::PointOf(c.stepX, 1);
        const auto after = static_cast<std::uint16_t>((mover & ~(1u << from)) | (1u << to));
        const std::uint16_t taken = PositionRules::Captures(after, opponent, to);
        std::string left(4, '.');
        for (int x = 1; x <= 4; ++x) {
            const auto bit = 1u << PositionRules::PointOf(x, 1);
            if (after & bit) left[x - 1] = 'b';
            if ((opponent & ~taken) & bit) left[x - 1] = 'w';
        }
        EXPECT_EQ(left, c.left) << "line " << c.line;
    }
}

TEST(PositionRules, StepsMatchTheGameCoreAndThePlainRules) {
    std::mt19937 rng(11);
    for (int i = 0; i < 3000; ++i) {
        std::uint16_t black = 0, white = 0;
        RandomPosition(rng, black, white);
        const bool blackMoves = i % 2 == 0;
        const std::uint16_t mover = blackMoves ? black : white;
        const std::uint16_t opponent = blackMoves ? white : black;
        const auto steps = Steps(mover, opponent);
        const char side = blackMoves ? 'b' : 'w';
        const auto reference = ReferenceGame::AllSteps(
            ReferenceGame::FromText(PerfectPlayer::BoardText(black, white)), side);
        ASSERT_EQ(static_cast<int>(steps.size()), reference.count);
        EXPECT_EQ(PositionRules::HasStep(mover, opponent), !steps.empty());
        for (std::size_t k = 0; k < steps.size(); ++k) {
            const auto& s = steps[k];
            ASSERT_EQ(s.text, reference.list[k].Text());
            const std::string after = blackMoves ? PerfectPlayer::BoardText(s.mover, s.opponent)
                                                 : PerfectPlayer::BoardText(s.opponent, s.mover);
            ASSERT_EQ(after, ReferenceGame::ToText(reference.list[k].after));
            const StepResult core =
                CoreStep(black, white, blackMoves ? kelvara::Black : kelvara::White, s.text);
            ASSERT_EQ(core.mover, s.mover) << s.text;
            ASSERT_EQ(core.opponent, s.opponent) << s.text;
        }
    }
}

TEST(PositionRules, QuietUnstepsAreExactlyTheQuietStepsReversed) {
    std::mt19937 rng(5);
    for (int i = 0; i < 3000; ++i) {
        std::uint16_t mover = 0, opponent = 0;
        RandomPosition(rng, mover, opponent);
        // Every quiet step of the mover is found again from the position it leads to.
        for (const auto& s : Steps(mover, opponent)) {
            if (s.opponent != opponent) continue;
            bool back = false;
            PositionRules::ForEachQuietUnstep(
                opponent, s.mover, [&](std::uint16_t previous) { back |= previous == mover; });
            EXPECT_TRUE(back) << PerfectPlayer::BoardText(mover, opponent) << " " << s.text;
        }
        // Every un-step names a position with a quiet step into this one.
        PositionRules::ForEachQuietUnstep(mover, opponent, [&](std::uint16_t previous) {
            int hits = 0;
            for (const auto& s : Steps(previous, mover)) {
                if (s.mover == opponent && s.opponent == mover) ++hits;
            }
            EXPECT_EQ(hits, 1) << PerfectPlayer::BoardText(previous, mover);
        });
    }
}

TEST(PositionRules, MoveTextRoundTripsAndRejectsJunk) {
    for (int p = 0; p < 16; ++p) {
        for (int d = 0; d < 4; ++d) {
            int from = -1, direction = -1;
            ASSERT_TRUE(PositionRules::ParseMove(PositionRules::MoveText(p, d), from, direction));
            EXPECT_EQ(from, p);
            EXPECT_EQ(direction, d);
        }
    }
    EXPECT_EQ(PositionRules::MoveText(PositionRules::PointOf(2, 1), 0), "21U");
    EXPECT_EQ(PositionRules::MoveText(PositionRules::PointOf(1, 2), 4), "12ERR");
    int from = 0, direction = 0;
    for (const char* bad : {"", "21", "21X", "51U", "20U", "21UU", "x1U"}) {
        EXPECT_FALSE(PositionRules::ParseMove(bad, from, direction)) << bad;
    }
}

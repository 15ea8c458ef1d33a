#include <gtest/gtest.h>

#include <random>
#include <string>

#include "PerfectPlayer.h"
#include "ReferenceGame.h"
#include "SharedSolve.h"

using kelvara::PerfectPlayer;
using kelvara::PositionValue;

namespace {

// Value for the side that makes a step leading to a position of value `child`.
PositionValue Before(const PositionValue& child) {
    if (child.kind() == PositionValue::Kind::Win) return PositionValue::Loss(child.plies() + 1);
    if (child.kind() == PositionValue::Kind::Loss) return PositionValue::Win(child.plies() + 1);
    return PositionValue::Draw();
}

bool Better(const PositionValue& a, const PositionValue& b) {
    using K = PositionValue::Kind;
    if (a.kind() != b.kind()) {
        if (a.kind() == K::Win) return true;
        if (b.kind() == K::Win) return false;
        return a.kind() == K::Draw;
    }
    if (a.kind() == K::Win) return a.plies() < b.plies();
    if (a.kind() == K::Loss) return a.plies() > b.plies();
    return false;
}

}  // namespace

TEST(PerfectPlayer, ChoosesTheBestStepAndTheFirstAmongEquals) {
    const PerfectPlayer player(SharedTable());
    std::mt19937 rng(99);
    for (int i = 0; i < 3000; ++i) {
        std::uint16_t black = 0, white = 0;
        RandomPosition(rng, black, white);
        const int side = i % 2;
        const std::string text = PerfectPlayer::BoardText(black, white);
        const auto steps = ReferenceGame::AllSteps(ReferenceGame::FromText(text), side ? 'w' : 'b');
        std::string expected = "none";
        PositionValue best;
        for (int k = 0; k < steps.count; ++k) {
            std::uint16_t b = 0, w = 0;
            ASSERT_TRUE(
                PerfectPlayer::ParseBoard(ReferenceGame::ToText(steps.list[k].after), b, w));
            const PositionValue v = Before(player.Value(b, w, 1 - side));
            if (k == 0 || Better(v, best)) {
                best = v;
                expected = steps.list[k].Text();
            }
        }
        ASSERT_EQ(player.PerfectMove(text, side), expected) << text << " side " << side;
        if (steps.count > 0) {
            ASSERT_EQ(player.Value(black, white, side), best) << text << " side " << side;
        }
    }
}

TEST(PerfectPlayer, PlaysOutEveryWonPositionInExactlyItsDistance) {
    const PerfectPlayer player(SharedTable());
    std::mt19937 rng(3);
    int games = 0;
    while (games < 300) {
        std::uint16_t black = 0, white = 0;
        RandomPosition(rng, black, white);
        int side = games % 2;
        const PositionValue start = player.Value(black, white, side);
        if (start.kind() != PositionValue::Kind::Win) continue;
        // The later half only takes longer endings.
        if (games >= 150 && start.plies() < 9) continue;
        ++games;
        const int winner = side;
        ReferenceGame::Cells cells =
            ReferenceGame::FromText(PerfectPlayer::BoardText(black, white));
        for (int ply = 0; ply < start.plies(); ++ply) {
            const std::string text = ReferenceGame::ToText(cells);
            const std::string move = player.PerfectMove(text, side);
            ASSERT_NE(move, "none") << text;
            const auto steps = ReferenceGame::AllSteps(cells, side ? 'w' : 'b');
            bool applied = false;
            for (int k = 0; k < steps.count && !applied; ++k) {
                if (steps.list[k].Text() != move) continue;
                cells = steps.list[k].after;
                applied = true;
            }
            ASSERT_TRUE(applied) << move << " is not legal in " << text;
            side = 1 - side;
        }
        // The loser is to move and has lost: one piece left or no step.
        const char loser = winner ? 'b' : 'w';
        ASSERT_EQ(side, 1 - winner);
        const bool finished = ReferenceGame::Count(cells, loser) <= 1 ||
                              ReferenceGame::AllSteps(cells, loser).count == 0;
        EXPECT_TRUE(finished) << ReferenceGame::ToText(cells);
    }
}

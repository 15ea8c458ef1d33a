#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>

#include "PerfectPlayer.h"
#include "PositionIndex.h"
#include "PositionRules.h"
#include "ReferenceGame.h"
#include "SharedSolve.h"
#include "Solver.h"
#include "SolverChecker.h"

using kelvara::PerfectPlayer;
using kelvara::PositionIndex;
using kelvara::PositionValue;
using kelvara::SolvedTable;
using kelvara::Solver;
using kelvara::SolverChecker;

namespace {

// The 8 rotations and reflections of the board, applied to a point set.
std::uint16_t Transform(std::uint16_t set, int symmetry) {
    std::uint16_t out = 0;
    for (int p = 0; p < 16; ++p) {
        if (!(set & (1u << p))) continue;
        int x = p % 4, y = p / 4;
        if (symmetry & 1) x = 3 - x;
        if (symmetry & 2) y = 3 - y;
        if (symmetry & 4) std::swap(x, y);
        out |= static_cast<std::uint16_t>(1u << (4 * y + x));
    }
    return out;
}

std::string ValueText(const SolvedTable& solver, const std::string& board, int side) {
    return PerfectPlayer(solver).ValueText(board, side);
}

}  // namespace

TEST(Solver, HandCheckedPositions) {
    const SolvedTable& solver = SharedTable();
    // Black's pieces on (1,1) and (2,1) are hemmed in by white: black to move has lost.
    EXPECT_EQ(ValueText(solver, "bbw.ww..........", 0), "loss 0");
    // Black steps (2,2) left: column 1 reads _ b b w and white is left with one piece.
    EXPECT_EQ(ValueText(solver, "...w.b..b...w...", 0), "win 1");
    EXPECT_EQ(PerfectPlayer(solver).PerfectMove("...w.b..b...w...", 0), "22L");
    // Only the step (2,1) up takes two pieces at once (column and row), leaving white one.
    EXPECT_EQ(ValueText(solver, ".b..b.w..b...w.w", 0), "win 1");
    EXPECT_EQ(PerfectPlayer(solver).PerfectMove(".b..b.w..b...w.w", 0), "21U");
    // The same position with the colours swapped and white to move has the same value.
    EXPECT_EQ(ValueText(solver, ".w..w.b..w...b.b", 1), "win 1");
}

TEST(Solver, FinishedAndInvalidBoards) {
    const PerfectPlayer player(SharedTable());
    // One black piece: black has lost whoever is to move; black's count is checked first.
    EXPECT_EQ(player.ValueText("b..........wwwww", 0), "loss 0");
    EXPECT_EQ(player.ValueText("b..........wwwww", 1), "win 0");
    EXPECT_EQ(player.ValueText("B..........WwWwW", 1), "win 0");  // either letter case
    EXPECT_EQ(player.ValueText("b..............w", 1), "win 0");
    EXPECT_EQ(player.ValueText("bb.............w", 1), "loss 0");
    EXPECT_EQ(player.PerfectMove("bb.............w", 0), "none");
    EXPECT_EQ(player.PerfectMove("bbw.ww..........", 0), "none");
    for (const char* bad :
         {"", "bbbbb..bw..wwww", "bbbbb..bw..wwwwwb", "bbbbb..bx..wwwww", "bbbbbbbbw..wwwww"}) {
        EXPECT_EQ(player.ValueText(bad, 0), "") << bad;
        EXPECT_EQ(player.PerfectMove(bad, 0), "") << bad;
    }
    EXPECT_EQ(player.ValueText("bbbbb..bw..wwwww", 2), "");
}

TEST(Solver, CheckerAcceptsTheTableAndCatchesOneWrongEntry) {
    const SolvedTable& solver = SharedTable();
    ASSERT_TRUE(solver.Complete());
    const auto report = SolverChecker::Check(solver, 2);
    EXPECT_EQ(report.checked, PositionIndex::Get().TotalSize());
    EXPECT_EQ(report.mismatches, 0u) << "entry " << report.firstIndex << " stored "
                                     << report.firstStored << " derived " << report.firstDerived;

    // Shift one won entry of a small slice by two plies: the checker must notice it (at the
    // entry itself or at a predecessor that relied on it). Only totals up to 6 are checked.
    const PositionIndex& index = PositionIndex::Get();
    std::vector<std::uint8_t> table = solver.Table();
    ASSERT_EQ(table.size(), solver.StoredSize());
    std::uint32_t local = 0, victim = 0;
    for (;; ++local) {
        ASSERT_LT(local, index.SliceSize(3, 3));
        std::uint16_t mover = 0, opponent = 0;
        index.Unrank(3, 3, local, mover, opponent);
        victim = solver.StoredIndex(mover, opponent);
        if (table[victim] != 0 && table[victim] % 2 == 0 && table[victim] >= 4) break;
    }
    table[victim] = static_cast<std::uint8_t>(table[victim] + 2);
    Solver corrupted;
    ASSERT_TRUE(corrupted.SetTable(std::move(table), 6));
    const auto bad = SolverChecker::Check(corrupted, 2);
    EXPECT_GE(bad.mismatches, 1u);
    EXPECT_FALSE(bad.Consistent());
    Solver wrongSize;
    EXPECT_FALSE(wrongSize.SetTable(std::vector<std::uint8_t>(10), Solver::kMaxTotal));
}

TEST(Solver, ValuesAreTheSameUnderRotationsAndReflections) {
    const SolvedTable& solver = SharedTable();
    const PositionIndex& index = PositionIndex::Get();
    for (std::uint32_t i = 0; i < index.TotalSize(); i += 13) {
        int m = 0, o = 0;
        std::uint32_t local = 0;
        ASSERT_TRUE(index.Locate(i, m, o, local));
        std::uint16_t mover = 0, opponent = 0;
        index.Unrank(m, o, local, mover, opponent);
        for (int s = 1; s < 8; ++s) {
            const std::uint32_t image = index.Index(Transform(mover, s), Transform(opponent, s));
            ASSERT_EQ(solver.Code(image), solver.Code(i)) << "entry " << i << " symmetry " << s;
        }
    }
}

TEST(Solver, AgreesWithPlainDepthLimitedSearch) {
    const SolvedTable& solver = SharedTable();
    const PerfectPlayer player(solver);
    std::mt19937 rng(2024);
    int decided = 0, open = 0;
    auto compare = [&](std::uint16_t black, std::uint16_t white, int side, int depth) {
        const std::string text = PerfectPlayer::BoardText(black, white);
        const auto outcome =
            ReferenceGame::Search(ReferenceGame::FromText(text), side == 0 ? 'b' : 'w', depth);
        const PositionValue value = player.Value(black, white, side);
        const bool within = value.kind() != PositionValue::Kind::Draw && value.plies() <= depth;
        if (!within) {
            ++open;
            ASSERT_EQ(outcome.kind, ReferenceGame::Outcome::Kind::Unknown)
                << text << " side " << side << " table " << value.Text();
            return;
        }
        ++decided;
        const auto kind = value.kind() == PositionValue::Kind::Win
                              ? ReferenceGame::Outcome::Kind::Win
                              : ReferenceGame::Outcome::Kind::Loss;
        ASSERT_EQ(outcome.kind, kind) << text << " side " << side << " table " << value.Text();
        ASSERT_EQ(outcome.plies, value.plies()) << text << " side " << side;
    };
    for (int i = 0; i < 2500; ++i) {
        std::uint16_t black = 0, white = 0;
        RandomPosition(rng, black, white);
        compare(black, white, i % 2, 3);
    }
    // Fewer pieces: fewer steps, so a deeper search stays cheap and reaches longer endings.
    for (int i = 0; i < 1500; ++i) {
        std::uint16_t black = 0, white = 0;
        RandomPosition(rng, black, white, 2 + i % 2, 2 + (i / 2) % 2);
        compare(black, white, i % 2, 5);
    }
    EXPECT_GT(decided, 500);
    EXPECT_GT(open, 500);
}

TEST(Solver, ForwardSweepBuildsTheSameTable) {
    const int maxTotal = 7;
    Solver retro, sweep;
    retro.Solve(2, maxTotal);
    sweep.SolveForwardSweep(maxTotal);
    EXPECT_EQ(retro.SolvedTotal(), maxTotal);
    EXPECT_EQ(sweep.SolvedTotal(), maxTotal);
    EXPECT_TRUE(retro.Table() == sweep.Table());
    const SolvedTable& full = SharedTable();
    const PositionIndex& index = PositionIndex::Get();
    for (int m = 2; m <= 6; ++m) {
        for (int o = 2; o <= 6 && m + o <= maxTotal; ++o) {
            for (std::uint32_t i = 0; i < index.SliceSize(m, o); ++i) {
                const std::uint32_t g = index.SliceOffset(m, o) + i;
                ASSERT_EQ(retro.Code(g), full.Code(g));
            }
        }
    }
    EXPECT_THROW(retro.ValueOf(0x003F, 0xFC00), std::logic_error);
}

TEST(Solver, ThreadCountDoesNotChangeTheTable) {
    // Up to 10 pieces: every group shape, including the slices that step into themselves
    // ((4, 4), (5, 5)) where the threads share the records of one slice. One solve uses the
    // processor's bit instructions where it has them, the other the portable table look-ups;
    // the stored bytes of both tables must agree entry for entry.
    const int maxTotal = 10;
    Solver one, three;
    three.UseBitInstructions(false);
    one.Solve(1, maxTotal);
    three.Solve(3, maxTotal);
    ASSERT_EQ(one.SolvedTotal(), maxTotal);
    const auto& a = one.Table();
    const auto& b = three.Table();
    const auto differ = std::mismatch(a.begin(), a.end(), b.begin());
    EXPECT_EQ(differ.first, a.end())
        << "first difference at stored entry " << differ.first - a.begin();
}

namespace {

// Census by walking every position of the solved slices in numbering order.
kelvara::SolverCensus WalkedCensus(const SolvedTable& table) {
    const PositionIndex& index = PositionIndex::Get();
    kelvara::SolverCensus census;
    for (std::uint32_t i = 0; i < index.TotalSize(); ++i) {
        int m = 0, o = 0;
        std::uint32_t local = 0;
        index.Locate(i, m, o, local);
        if (m + o > table.SolvedTotal()) continue;
        const PositionValue value = PositionValue::FromCode(table.Code(i));
        ++census.entries;
        if (value.kind() == PositionValue::Kind::Draw) {
            ++census.draws;
        } else if (value.kind() == PositionValue::Kind::Loss) {
            ++census.losses;
            census.longestLoss = std::max(census.longestLoss, value.plies());
        } else {
            ++census.wins;
            if (value.plies() > census.longestWin) {
                census.longestWin = value.plies();
                index.Unrank(m, o, local, census.longestWinMover, census.longestWinOpponent);
            }
        }
    }
    return census;
}

void ExpectSameCensus(const kelvara::SolverCensus& a, const kelvara::SolverCensus& b) {
    EXPECT_EQ(a.entries, b.entries);
    EXPECT_EQ(a.wins, b.wins);
    EXPECT_EQ(a.losses, b.losses);
    EXPECT_EQ(a.draws, b.draws);
    EXPECT_EQ(a.longestWin, b.longestWin);
    EXPECT_EQ(a.longestLoss, b.longestLoss);
    EXPECT_EQ(a.longestWinMover, b.longestWinMover);
    EXPECT_EQ(a.longestWinOpponent, b.longestWinOpponent);
}

}  // namespace

TEST(Solver, CensusOfTheRepresentativesCountsEveryPosition) {
    for (const int maxTotal : {4, 7, 9}) {
        SCOPED_TRACE(maxTotal);
        Solver partial;
        partial.Solve(2, maxTotal);
        ExpectSameCensus(partial.Census(), WalkedCensus(partial));
    }
    // The whole game: figures known from the plain walk.
    kelvara::SolverCensus known;
    known.entries = PositionIndex::Get().TotalSize();
    known.wins = 11065583;
    known.losses = 7440541;
    known.draws = 2240784;
    known.longestWin = 63;
    known.longestLoss = 64;
    const auto census = SharedTable().Census();
    known.longestWinMover = census.longestWinMover;
    known.longestWinOpponent = census.longestWinOpponent;
    ExpectSameCensus(census, known);
    EXPECT_EQ(PerfectPlayer::BoardText(census.longestWinMover, census.longestWinOpponent),
              "bwwb.bbbwb.w.ww.");
}

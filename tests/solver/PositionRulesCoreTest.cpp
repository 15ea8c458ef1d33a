// The solver's bit tables against the game core's rules, on positions of every slice.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "Board.h"
#include "PositionIndex.h"
#include "PositionRules.h"

using kelvara::Board;
using kelvara::CellCode;
using kelvara::MoveRecord;
using kelvara::PositionIndex;
using kelvara::PositionRules;

namespace {

struct Outcome {
    int from = 0;
    int direction = 0;
    std::uint16_t mover = 0;
    std::uint16_t opponent = 0;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
    *os << PositionRules::MoveText(o.from, o.direction) << " -> " << o.mover << "/" << o.opponent;
}

Board CoreBoard(std::uint16_t mover, std::uint16_t opponent, CellCode side) {
    Board board;
    for (int p = 0; p < 16; ++p) {
        const auto bit = static_cast<std::uint16_t>(1u << p);
        board.cells[Board::Index(PositionRules::XOf(p), PositionRules::YOf(p))].code =
            (mover & bit)      ? side
            : (opponent & bit) ? kelvara::Enemy(side)
                               : kelvara::Empty;
    }
    board.blackPieces = board.CountPieces(kelvara::Black);
    board.whitePieces = board.CountPieces(kelvara::White);
    return board;
}

std::uint16_t SetOf(const Board& board, CellCode code) {
    std::uint16_t set = 0;
    for (int p = 0; p < 16; ++p)
        if (board.Code(PositionRules::XOf(p), PositionRules::YOf(p)) == code)
            set |= static_cast<std::uint16_t>(1u << p);
    return set;
}

std::vector<Outcome> SolverSteps(std::uint16_t mover, std::uint16_t opponent) {
    std::vector<Outcome> out;
    PositionRules::ForEachStep(
        mover, opponent,
        [&](int from, int direction, int, std::uint16_t after, std::uint16_t opponentAfter) {
            out.push_back({from, direction, after, opponentAfter});
        });
    return out;
}

// The core's legal steps in the search order, each carried out with its captures.
std::vector<Outcome> CoreSteps(std::uint16_t mover, std::uint16_t opponent, CellCode side) {
    const Board board = CoreBoard(mover, opponent, side);
    std::vector<Outcome> out;
    for (const MoveRecord& step : board.LegalSteps(side, kelvara::kSearchOrder)) {
        Board after = board;
        after.ApplyMove(side, step);
        EXPECT_EQ(after.CountPieces(kelvara::Enemy(side)),
                  side == kelvara::Black ? after.whitePieces : after.blackPieces);
        out.push_back({PositionRules::PointOf(step.fromX, step.fromY), step.direction,
                       SetOf(after, side), SetOf(after, kelvara::Enemy(side))});
    }
    return out;
}

}  // namespace

// Every slice (mover and opponent counts 2 to 6), about 5000 positions each spread over the
// whole slice, with either colour moving: the same steps in the same order, the same captures.
TEST(PositionRulesCore, StepsAndCapturesAgreeInEverySlice) {
    const PositionIndex& index = PositionIndex::Get();
    std::uint64_t captures = 0, positions = 0;
    for (int m = PositionIndex::kMinPieces; m <= PositionIndex::kMaxPieces; ++m) {
        for (int o = PositionIndex::kMinPieces; o <= PositionIndex::kMaxPieces; ++o) {
            const std::uint32_t size = index.SliceSize(m, o);
            const std::uint32_t stride = size / 5000 + 1;
            for (std::uint32_t local = 0; local < size; local += stride) {
                std::uint16_t mover = 0, opponent = 0;
                index.Unrank(m, o, local, mover, opponent);
                const std::vector<Outcome> solver = SolverSteps(mover, opponent);
                for (const CellCode side : {kelvara::Black, kelvara::White}) {
                    ASSERT_EQ(solver, CoreSteps(mover, opponent, side))
                        << "slice " << m << "/" << o << " entry " << local << " side " << side;
                }
                EXPECT_EQ(PositionRules::HasStep(mover, opponent), !solver.empty());
                for (const Outcome& s : solver) captures += s.opponent != opponent;
                ++positions;
            }
        }
    }
    EXPECT_GT(positions, 25u * 1000);
    EXPECT_GT(captures, positions / 10);  // the captures are exercised, not only quiet steps
}

#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "Board.h"

namespace kelvara {

namespace position_detail {

struct RuleTable {
    std::array<std::array<int, 4>, 16> target{};
    // Key: mover's four bits of a line (position 1 in bit 0) << 4 | opponent's four bits.
    // Value: the taken position 0..3, or -1.
    std::array<std::int8_t, 256> lineCapture{};
    // Per direction: the points a step in it does not take off the board, and the distance
    // in bits from a point to its destination.
    std::array<std::uint16_t, 4> stepFrom{};
    std::array<int, 4> stepShift{};
    // Per point: the points one step away.
    std::array<std::uint16_t, 16> neighbours{};
};

// Both tables come from the game core's rules: the step destinations from StepTarget, the
// line captures from Board::CapturedInLine for every pair of disjoint four-point sets.
constexpr RuleTable BuildRuleTable() {
    RuleTable t;
    for (int p = 0; p < 16; ++p) {
        const int x = p % 4 + 1, y = p / 4 + 1;
        for (int d = Up; d <= Right; ++d) {
            int toX = 0, toY = 0;
            StepTarget(x, y, d, toX, toY);
            t.target[p][d] = OnGrid(toX, toY) ? 4 * (toY - 1) + (toX - 1) : -1;
            if (t.target[p][d] < 0) continue;
            t.stepFrom[d] = static_cast<std::uint16_t>(t.stepFrom[d] | (1u << p));
            t.stepShift[d] = t.target[p][d] - p;
            t.neighbours[p] = static_cast<std::uint16_t>(t.neighbours[p] | (1u << t.target[p][d]));
        }
    }
    for (unsigned key = 0; key < 256; ++key) {
        const unsigned mover = key >> 4, opponent = key & 0xFu;
        std::array<std::int32_t, 4> line{};
        for (int k = 0; k < 4; ++k)
            line[k] = (mover >> k) & 1u ? Black : (opponent >> k) & 1u ? White : Empty;
        const int taken = (mover & opponent) != 0 ? 0 : Board::CapturedInLine(line, Black);
        t.lineCapture[key] = static_cast<std::int8_t>(taken - 1);
    }
    return t;
}

inline constexpr RuleTable kRuleTable = BuildRuleTable();

}  // namespace position_detail

// The rules on 16-bit point sets: point (x, y) is bit 4*(y-1)+(x-1). Directions use the game
// core's codes (Up 0, Down 1, Left 2, Right 3).
class PositionRules {
  public:
    static constexpr int kNoPoint = -1;
    static constexpr std::uint16_t kAllPoints = 0xFFFF;
    // Order in which steps are tried at one point: the classic search's right, left, up, down.
    static constexpr std::array<int, 4> kScanDirections = {kSearchOrder[0], kSearchOrder[1],
                                                           kSearchOrder[2], kSearchOrder[3]};

    static int PointOf(int x, int y) { return 4 * (y - 1) + (x - 1); }
    static int XOf(int point) { return point % 4 + 1; }
    static int YOf(int point) { return point / 4 + 1; }

    // Destination of a step from `point` in `direction`, or kNoPoint when it leaves the board.
    static int Target(int point, int direction) {
        return position_detail::kRuleTable.target[point][direction];
    }

    // Opponent pieces taken when the mover, whose pieces after the step are `mover`, has just
    // stepped onto `to`; `opponent` is the opponent's set before the captures. The column
    // through `to` is examined first, then the row; the two passes cannot interfere because
    // the moved piece is the only point the lines share.
    static std::uint16_t Captures(std::uint16_t mover, std::uint16_t opponent, int to) {
        const auto& t = position_detail::kRuleTable;
        const int x = to & 3, y = to >> 2;
        const unsigned colKey = (Column(mover, x) << 4) | Column(opponent, x);
        const unsigned rowKey = (((mover >> (4 * y)) & 0xFu) << 4) | ((opponent >> (4 * y)) & 0xFu);
        std::uint16_t taken = 0;
        const int colHit = t.lineCapture[colKey];
        if (colHit >= 0) taken |= static_cast<std::uint16_t>(1u << (x + 4 * colHit));
        const int rowHit = t.lineCapture[rowKey];
        if (rowHit >= 0) taken |= static_cast<std::uint16_t>(1u << (4 * y + rowHit));
        return taken;
    }

    // Points of `mover` with a step in `direction` onto an empty point.
    static std::uint16_t StepSources(std::uint16_t mover, std::uint16_t empty, int direction) {
        const auto& t = position_detail::kRuleTable;
        const int shift = t.stepShift[direction];
        const unsigned reached = shift > 0 ? empty >> shift : empty << -shift;
        return static_cast<std::uint16_t>(mover & t.stepFrom[direction] & reached);
    }

    // Calls f(from, direction, to, moverAfter, opponentAfter) for every legal step of the
    // mover, in the scan order: column x rising, then row y rising, then right, left, up, down.
    // The points with a step in each direction are found for all pieces at once; walking the
    // transposed set of them visits the points column by column.
    template <typename F>
    static void ForEachStep(std::uint16_t mover, std::uint16_t opponent, F&& f) {
        const auto& t = position_detail::kRuleTable;
        const auto empty = static_cast<std::uint16_t>(~(mover | opponent));
        std::array<std::uint16_t, 4> sources{};
        std::uint16_t any = 0;
        for (int k = 0; k < 4; ++k) {
            sources[k] = StepSources(mover, empty, kScanDirections[k]);
            any = static_cast<std::uint16_t>(any | sources[k]);
        }
        for (unsigned order = Transposed(any); order != 0; order &= order - 1) {
            const int bit = __builtin_ctz(order);
            const int from = 4 * (bit & 3) + (bit >> 2);
            for (int k = 0; k < 4; ++k) {
                if (!((sources[k] >> from) & 1u)) continue;
                const int to = from + t.stepShift[kScanDirections[k]];
                const auto after = static_cast<std::uint16_t>((mover & ~(1u << from)) | (1u << to));
                const auto opponentAfter =
                    static_cast<std::uint16_t>(opponent & ~Captures(after, opponent, to));
                f(from, kScanDirections[k], to, after, opponentAfter);
            }
        }
    }

    // Steps without captures that lead into the position (mover, opponent): the opponent
    // stepped last, from an empty point onto one of its pieces, and that step took nothing.
    // Calls f(previousOpponentSet) with the opponent's set before that step; the mover's set
    // was the same. Steps that captured come from positions with more mover pieces.
    template <typename F>
    static void ForEachQuietUnstep(std::uint16_t mover, std::uint16_t opponent, F&& f) {
        const auto& t = position_detail::kRuleTable;
        const auto empty = static_cast<std::uint16_t>(~(mover | opponent));
        for (unsigned pieces = opponent; pieces != 0; pieces &= pieces - 1) {
            const int to = __builtin_ctz(pieces);
            unsigned origins = t.neighbours[to] & empty;
            if (origins == 0 || Captures(opponent, mover, to)) continue;
            const unsigned stayed = opponent & ~(1u << to);
            for (; origins != 0; origins &= origins - 1) {
                f(static_cast<std::uint16_t>(stayed | (1u << __builtin_ctz(origins))));
            }
        }
    }

    // The set with rows and columns swapped: point (x, y) moves to (y, x).
    static std::uint16_t Transposed(std::uint16_t set) {
        unsigned s = set;
        unsigned t = (s ^ (s >> 3)) & 0x0A0Au;
        s ^= t ^ (t << 3);
        t = (s ^ (s >> 6)) & 0x00CCu;
        s ^= t ^ (t << 6);
        return static_cast<std::uint16_t>(s);
    }

    // Move text: column, row, then U, D, L or R (for example 21U).
    static std::string MoveText(int from, int direction);
    // Parses move text; false when it names no step direction or no point of the board.
    static bool ParseMove(const std::string& text, int& from, int& direction);

    static bool HasStep(std::uint16_t mover, std::uint16_t opponent) {
        const auto empty = static_cast<std::uint16_t>(~(mover | opponent));
        return (Shifted(mover) & empty) != 0;
    }

    // The four points of column x as bits 0..3 (row 1 in bit 0).
    static unsigned Column(std::uint16_t set, int x) {
        const unsigned v = (set >> x) & 0x1111u;
        return (v | (v >> 3) | (v >> 6) | (v >> 9)) & 0xFu;
    }

  private:
    // Every point one step away from some point of the set.
    static std::uint16_t Shifted(std::uint16_t set) {
        const unsigned s = set;
        const unsigned notCol1 = 0xEEEEu, notCol4 = 0x7777u;
        return static_cast<std::uint16_t>(
            ((s << 4) | (s >> 4) | ((s & notCol4) << 1) | ((s & notCol1) >> 1)) & 0xFFFFu);
    }
};

}  // namespace kelvara

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

    // Calls f(from, direction, to, moverAfter, opponentAfter) for every legal step of the
    // mover, in the scan order: column x rising, then row y rising, then right, left, up, down.
    template <typename F>
    static void ForEachStep(std::uint16_t mover, std::uint16_t opponent, F&& f) {
        const auto empty = static_cast<std::uint16_t>(~(mover | opponent));
        for (int x = 0; x < 4; ++x) {
            for (int y = 0; y < 4; ++y) {
                const int from = 4 * y + x;
                if (!(mover & (1u << from))) continue;
                for (int direction : kScanDirections) {
                    const int to = Target(from, direction);
                    if (to == kNoPoint || !(empty & (1u << to))) continue;
                    const auto after =
                        static_cast<std::uint16_t>((mover & ~(1u << from)) | (1u << to));
                    const auto opponentAfter =
                        static_cast<std::uint16_t>(opponent & ~Captures(after, opponent, to));
                    f(from, direction, to, after, opponentAfter);
                }
            }
        }
    }

    // Steps without captures that lead into the position (mover, opponent): the opponent
    // stepped last, from an empty point onto one of its pieces, and that step took nothing.
    // Calls f(previousOpponentSet) with the opponent's set before that step; the mover's set
    // was the same. Steps that captured come from positions with more mover pieces.
    template <typename F>
    static void ForEachQuietUnstep(std::uint16_t mover, std::uint16_t opponent, F&& f) {
        const auto empty = static_cast<std::uint16_t>(~(mover | opponent));
        std::uint16_t pieces = opponent;
        while (pieces) {
            const int to = __builtin_ctz(pieces);
            pieces &= static_cast<std::uint16_t>(pieces - 1);
            if (Captures(opponent, mover, to)) continue;
            for (int direction = 0; direction < 4; ++direction) {
                const int from = Target(to, direction);
                if (from == kNoPoint || !(empty & (1u << from))) continue;
                f(static_cast<std::uint16_t>((opponent & ~(1u << to)) | (1u << from)));
            }
        }
    }

    // Move text: column, row, then U, D, L or R (for example 21U).
    static std::string MoveText(int from, int direction);
    // Parses move text; false when it names no step direction or no point of the board.
    static bool ParseMove(const std::string& text, int& from, int& direction);

    static bool HasStep(std::uint16_t mover, std::uint16_t opponent) {
        const auto empty = static_cast<std::uint16_t>(~(mover | opponent));
        return (Shifted(mover) & empty) != 0;
    }

  private:
    // The four points of column x as bits 0..3 (row 1 in bit 0).
    static unsigned Column(std::uint16_t set, int x) {
        const unsigned v = (set >> x) & 0x1111u;
        return (v | (v >> 3) | (v >> 6) | (v >> 9)) & 0xFu;
    }
    // Every point one step away from some point of the set.
    static std::uint16_t Shifted(std::uint16_t set) {
        const unsigned s = set;
        const unsigned notCol1 = 0xEEEEu, notCol4 = 0x7777u;
        return static_cast<std::uint16_t>(
            ((s << 4) | (s >> 4) | ((s & notCol4) << 1) | ((s & notCol1) >> 1)) & 0xFFFFu);
    }
};

}  // namespace kelvara

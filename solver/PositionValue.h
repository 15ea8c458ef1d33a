#pragma once

#include <cstdint>
#include <string>

namespace kelvara {

// Game-theoretic value of a position for the side to move: won or lost in a number of plies
// with best play from both sides, or drawn (neither side can force the end).
class PositionValue {
  public:
    enum class Kind { Win, Loss, Draw };

    constexpr PositionValue() = default;
    static constexpr PositionValue Win(int plies) { return {Kind::Win, plies}; }
    static constexpr PositionValue Loss(int plies) { return {Kind::Loss, plies}; }
    static constexpr PositionValue Draw() { return {Kind::Draw, 0}; }

    // Table byte: 0 is a draw, otherwise plies + 1 (even plies are losses, odd plies wins,
    // since every end is a side to move that has lost).
    static PositionValue FromCode(std::uint8_t code);
    std::uint8_t Code() const;

    Kind kind() const { return kind_; }
    int plies() const { return plies_; }

    // Value one ply earlier, for the side whose step leads into a position of this value
    // (for the side to move there): a loss there is a win one ply longer, and so on.
    PositionValue ForSideThatStepped() const;
    // Orders values for the side they belong to: a faster win is better than a slower one, any
    // win beats a draw, a draw beats any loss, a slower loss beats a faster one.
    int Rank() const;

    // "win N", "loss N" or "draw".
    std::string Text() const;

    friend bool operator==(const PositionValue&, const PositionValue&) = default;

  private:
    constexpr PositionValue(Kind kind, int plies) : kind_(kind), plies_(plies) {}

    Kind kind_ = Kind::Draw;
    int plies_ = 0;
};

}  // namespace kelvara

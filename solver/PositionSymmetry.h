#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kelvara {

// The 8 rotations and reflections of the board on 16-bit point sets (bit 4*(y-1)+(x-1)).
// Symmetry g (0..7) mirrors x when bit 0 is set, mirrors y when bit 1 is set, then swaps x
// and y when bit 2 is set; 0 is the identity.
//
// The rules are the same under every symmetry, so the solver keeps one representative of each
// class of symmetric positions: the image whose mover set is smallest (as a number) and, among
// the images with that mover set, whose opponent set is smallest.
class PositionSymmetry {
  public:
    static constexpr int kCount = 8;

    // The tables are built once and shared; they are read-only afterwards.
    static const PositionSymmetry& Get();

    std::uint16_t Transform(std::uint16_t set, int g) const {
        return static_cast<std::uint16_t>(image_[g][0][set & 0xFFu] | image_[g][1][set >> 8]);
    }

    // Smallest image of the set, and the symmetries (bit g for symmetry g) that give it.
    std::uint16_t SmallestImage(std::uint16_t set) const { return smallest_[set]; }
    std::uint8_t SmallestMaps(std::uint16_t set) const { return maps_[set]; }

    // True when the set is its own smallest image; the symmetries that leave such a set
    // unchanged are then SmallestMaps(set).
    bool IsSmallest(std::uint16_t set) const { return smallest_[set] == set; }

    // Representative of the class of (mover, opponent), written to the two out-parameters.
    void Canonical(std::uint16_t mover, std::uint16_t opponent, std::uint16_t& canonicalMover,
                   std::uint16_t& canonicalOpponent) const {
        canonicalMover = smallest_[mover];
        canonicalOpponent = SmallestUnder(opponent, maps_[mover]);
    }

    // Smallest image of `set` among the symmetries in the mask `maps`.
    std::uint16_t SmallestUnder(std::uint16_t set, std::uint8_t maps) const {
        std::uint16_t best = 0xFFFF;
        for (unsigned m = maps; m != 0; m &= m - 1) {
            const std::uint16_t image = Transform(set, __builtin_ctz(m));
            if (image < best) best = image;
        }
        return best;
    }

    // True when (mover, opponent) is the representative of its class.
    bool IsCanonical(std::uint16_t mover, std::uint16_t opponent) const {
        return IsSmallest(mover) && SmallestUnder(opponent, maps_[mover]) == opponent;
    }

  private:
    PositionSymmetry();

    // image_[g][half][byte]: the image under g of the points of one byte of the set.
    std::array<std::array<std::array<std::uint16_t, 256>, 2>, kCount> image_{};
    std::vector<std::uint16_t> smallest_;
    std::vector<std::uint8_t> maps_;
};

}  // namespace kelvara

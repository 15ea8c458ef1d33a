#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kelvara {

namespace position_detail {
constexpr std::array<std::uint8_t, 256> BuildPopcount8() {
    std::array<std::uint8_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) t[i] = static_cast<std::uint8_t>((i & 1u) + t[i >> 1]);
    return t;
}
}  // namespace position_detail

// Compact numbering of the positions seen from the side to move. A position is the point set
// of the side to move (the mover) and that of its opponent, each with 2 to 6 pieces on the 16
// points (bit 4*(y-1)+(x-1) for point (x, y)). Positions with m mover pieces and o opponent
// pieces form the slice (m, o); inside it the index is
//     colexRank(mover) * C(16 - m, o) + colexRank(opponent squeezed onto the 16 - m free points).
// All slices are laid end to end in one global numbering.
class PositionIndex {
  public:
    static constexpr int kPoints = 16;
    static constexpr int kMinPieces = 2;
    static constexpr int kMaxPieces = 6;

    // The tables are built once and shared; they are read-only afterwards.
    static const PositionIndex& Get();

    static bool InRange(int pieces) { return pieces >= kMinPieces && pieces <= kMaxPieces; }

    std::uint32_t Binomial(int n, int k) const { return binomial_[n][k]; }
    std::uint32_t SliceSize(int m, int o) const { return sliceSize_[m][o]; }
    std::uint32_t SliceOffset(int m, int o) const { return sliceOffset_[m][o]; }
    // Number of positions over all slices (one side to move).
    std::uint32_t TotalSize() const { return total_; }

    // Colex rank of a set among the sets of the same size.
    std::uint32_t Rank(std::uint16_t set) const { return rank_[set]; }
    // The set of `k` points with the given colex rank.
    std::uint16_t SetOfRank(int k, std::uint32_t rank) const { return sets_[k][rank]; }

    // Bits of `x` selected by `mask`, packed to the bottom (x86 pext on 16 bits).
    std::uint16_t Squeeze(std::uint16_t x, std::uint16_t mask) const {
        const unsigned lo = mask & 0xFFu, hi = mask >> 8;
        const unsigned low = squeeze8_[lo][x & 0xFFu];
        const unsigned high = squeeze8_[hi][x >> 8];
        return static_cast<std::uint16_t>(low | (high << kPopcount8[lo]));
    }
    // Inverse of Squeeze: the low bits of `x` spread onto the set bits of `mask` (pdep).
    std::uint16_t Spread(std::uint16_t x, std::uint16_t mask) const {
        const unsigned lo = mask & 0xFFu, hi = mask >> 8;
        const unsigned low = spread8_[lo][x & 0xFFu];
        const unsigned high = spread8_[hi][(x >> kPopcount8[lo]) & 0xFFu];
        return static_cast<std::uint16_t>(low | (high << 8));
    }

    // Index inside slice (popcount(mover), popcount(opponent)). The sets must be disjoint and
    // their sizes in range.
    std::uint32_t LocalIndex(std::uint16_t mover, std::uint16_t opponent) const {
        return LocalIndex(mover, opponent, popcount16(mover), popcount16(opponent));
    }
    // The same with the sizes m and o of the two sets already known.
    std::uint32_t LocalIndex(std::uint16_t mover, std::uint16_t opponent, int m, int o) const {
        const auto free = static_cast<std::uint16_t>(~mover);
        return rank_[mover] * binomial_[kPoints - m][o] + rank_[Squeeze(opponent, free)];
    }
    std::uint32_t Index(std::uint16_t mover, std::uint16_t opponent) const {
        const int m = popcount16(mover), o = popcount16(opponent);
        return sliceOffset_[m][o] + LocalIndex(mover, opponent, m, o);
    }
    // The position with the given index inside slice (m, o).
    void Unrank(int m, int o, std::uint32_t local, std::uint16_t& mover,
                std::uint16_t& opponent) const;
    // Slice and local index of a global index; false when it is out of range.
    bool Locate(std::uint32_t index, int& m, int& o, std::uint32_t& local) const;

    static int popcount16(std::uint16_t x) { return kPopcount8[x & 0xFFu] + kPopcount8[x >> 8]; }

  private:
    PositionIndex();

    static constexpr std::array<std::uint8_t, 256> kPopcount8 = position_detail::BuildPopcount8();

    std::array<std::array<std::uint32_t, kPoints + 1>, kPoints + 1> binomial_{};
    std::array<std::array<std::uint32_t, kMaxPieces + 1>, kMaxPieces + 1> sliceSize_{};
    std::array<std::array<std::uint32_t, kMaxPieces + 1>, kMaxPieces + 1> sliceOffset_{};
    std::uint32_t total_ = 0;
    std::vector<std::uint16_t> rank_;
    std::array<std::vector<std::uint16_t>, kPoints + 1> sets_;
    std::array<std::array<std::uint8_t, 256>, 256> squeeze8_{};
    std::array<std::array<std::uint8_t, 256>, 256> spread8_{};
};

}  // namespace kelvara

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "PositionIndex.h"

using kelvara::PositionIndex;

namespace {

std::uint64_t Choose(int n, int k) {
    std::uint64_t r = 1;
    for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
    return r;
}

}  // namespace

TEST(PositionIndex, RanksNumberEachSizeWithoutGapsOrRepeats) {
    const PositionIndex& index = PositionIndex::Get();
    for (int k = 0; k <= 16; ++k) {
        std::vector<bool> seen(Choose(16, k), false);
        for (std::uint32_t set = 0; set < (1u << 16); ++set) {
            if (__builtin_popcount(set) != k) continue;
            const std::uint32_t r = index.Rank(static_cast<std::uint16_t>(set));
            ASSERT_LT(r, seen.size()) << "set " << set;
            EXPECT_FALSE(seen[r]) << "rank " << r << " used twice for size " << k;
            seen[r] = true;
            EXPECT_EQ(index.SetOfRank(k, r), set);
        }
    }
}

TEST(PositionIndex, SqueezeAndSpreadAreInverse) {
    const PositionIndex& index = PositionIndex::Get();
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        const auto mask = static_cast<std::uint16_t>(rng());
        const auto x = static_cast<std::uint16_t>(rng() & mask);
        const std::uint16_t squeezed = index.Squeeze(x, mask);
        EXPECT_EQ(PositionIndex::popcount16(squeezed), PositionIndex::popcount16(x));
        EXPECT_LT(squeezed, 1u << PositionIndex::popcount16(mask));
        EXPECT_EQ(index.Spread(squeezed, mask), x) << "mask " << mask << " x " << x;
    }
    // Order of the points is kept: the lowest selected bit lands at bit 0.
    EXPECT_EQ(index.Squeeze(0b1000'0000'0000'0100, 0b1010'0000'0000'0110), 0b1010);
}

TEST(PositionIndex, SlicesTileTheRangeAndEveryIndexRoundTrips) {
    const PositionIndex& index = PositionIndex::Get();
    std::uint64_t expectedOffset = 0;
    for (int m = 2; m <= 6; ++m) {
        for (int o = 2; o <= 6; ++o) {
            const std::uint64_t size = Choose(16, m) * Choose(16 - m, o);
            ASSERT_EQ(index.SliceSize(m, o), size);
            ASSERT_EQ(index.SliceOffset(m, o), expectedOffset);
            expectedOffset += size;
            const std::uint32_t stride = size > 50000 ? 97 : 1;
            for (std::uint32_t local = 0; local < size; local += stride) {
                std::uint16_t mover = 0, opponent = 0;
                index.Unrank(m, o, local, mover, opponent);
                ASSERT_EQ(mover & opponent, 0);
                ASSERT_EQ(PositionIndex::popcount16(mover), m);
                ASSERT_EQ(PositionIndex::popcount16(opponent), o);
                ASSERT_EQ(index.LocalIndex(mover, opponent), local);
                const std::uint32_t global = index.Index(mover, opponent);
                ASSERT_EQ(global, index.SliceOffset(m, o) + local);
                int lm = 0, lo = 0;
                std::uint32_t back = 0;
                ASSERT_TRUE(index.Locate(global, lm, lo, back));
                ASSERT_EQ(lm, m);
                ASSERT_EQ(lo, o);
                ASSERT_EQ(back, local);
            }
        }
    }
    EXPECT_EQ(index.TotalSize(), expectedOffset);
    int m = 0, o = 0;
    std::uint32_t local = 0;
    EXPECT_FALSE(index.Locate(index.TotalSize(), m, o, local));
}

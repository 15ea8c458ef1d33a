#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

#include "PositionRules.h"
#include "PositionSymmetry.h"
#include "SharedSolve.h"

using kelvara::PositionSymmetry;

namespace {

// Point by point: mirror x, mirror y, then swap x and y, as the symmetry's bits say.
std::uint16_t MapByPoints(std::uint16_t set, int g) {
    std::uint16_t out = 0;
    for (int p = 0; p < 16; ++p) {
        if (!(set & (1u << p))) continue;
        int x = p % 4, y = p / 4;
        if (g & 1) x = 3 - x;
        if (g & 2) y = 3 - y;
        if (g & 4) std::swap(x, y);
        out |= static_cast<std::uint16_t>(1u << (4 * y + x));
    }
    return out;
}

// Rotating a quarter turn: (x, y) -> (3 - y, x).
std::uint16_t QuarterTurn(std::uint16_t set) {
    std::uint16_t out = 0;
    for (int p = 0; p < 16; ++p) {
        if (set & (1u << p)) out |= static_cast<std::uint16_t>(1u << (4 * (p % 4) + 3 - p / 4));
    }
    return out;
}

}  // namespace

TEST(PositionSymmetry, MapsAreTheEightSymmetriesOfTheBoard) {
    const PositionSymmetry& symmetry = PositionSymmetry::Get();
    std::mt19937 rng(11);
    for (int i = 0; i < 5000; ++i) {
        const auto set = static_cast<std::uint16_t>(rng());
        std::set<std::uint16_t> images;
        for (int g = 0; g < PositionSymmetry::kCount; ++g) {
            const std::uint16_t image = symmetry.Transform(set, g);
            ASSERT_EQ(image, MapByPoints(set, g)) << "set " << set << " symmetry " << g;
            ASSERT_EQ(__builtin_popcount(image), __builtin_popcount(set));
            images.insert(image);
        }
        // The quarter turn and its images are among the eight: the maps form the whole group.
        for (int g = 0; g < PositionSymmetry::kCount; ++g) {
            EXPECT_TRUE(images.count(QuarterTurn(symmetry.Transform(set, g)))) << set;
        }
    }
    // A set without any symmetry has eight different images.
    std::set<std::uint16_t> images;
    for (int g = 0; g < PositionSymmetry::kCount; ++g) images.insert(symmetry.Transform(0x0023, g));
    EXPECT_EQ(images.size(), 8u);
}

// The step generator walks the points column by column through the transposed set.
TEST(PositionSymmetry, TransposedSetSwapsRowsAndColumns) {
    for (std::uint32_t set = 0; set < (1u << 16); ++set) {
        const auto s = static_cast<std::uint16_t>(set);
        ASSERT_EQ(kelvara::PositionRules::Transposed(s), MapByPoints(s, 4)) << set;
    }
}

TEST(PositionSymmetry, SmallestImageIsTheSameForTheWholeClass) {
    const PositionSymmetry& symmetry = PositionSymmetry::Get();
    for (std::uint32_t set = 0; set < (1u << 16); ++set) {
        const auto s = static_cast<std::uint16_t>(set);
        std::uint16_t best = 0xFFFF;
        for (int g = 0; g < PositionSymmetry::kCount; ++g) {
            const std::uint16_t image = symmetry.Transform(s, g);
            if (image < best) best = image;
            ASSERT_EQ(symmetry.SmallestImage(image), symmetry.SmallestImage(s)) << set;
        }
        ASSERT_EQ(symmetry.SmallestImage(s), best) << set;
        for (int g = 0; g < PositionSymmetry::kCount; ++g) {
            const bool gives = symmetry.Transform(s, g) == best;
            ASSERT_EQ(((symmetry.SmallestMaps(s) >> g) & 1) != 0, gives) << set << " " << g;
        }
    }
    // The empty board and the full one, and the symmetric centre, are their own images.
    EXPECT_EQ(symmetry.SmallestMaps(0), 0xFF);
    EXPECT_EQ(symmetry.SmallestMaps(0x0660), 0xFF);
    EXPECT_TRUE(symmetry.IsSmallest(0x0660));
}

TEST(PositionSymmetry, RepresentativeIsTheSmallestImageOfThePair) {
    const PositionSymmetry& symmetry = PositionSymmetry::Get();
    std::mt19937 rng(5);
    // Small piece counts with symmetric mover sets (corners, centre) exercise the tie-breaks.
    const std::uint16_t symmetricMovers[] = {0x9009, 0x0660, 0x8001, 0x1008, 0x9669};
    for (int i = 0; i < 20000; ++i) {
        std::uint16_t mover = 0, opponent = 0;
        if (i % 4 == 0) {
            mover = symmetricMovers[i / 4 % 5];
            opponent = static_cast<std::uint16_t>(rng() & ~mover & rng());
        } else {
            RandomPosition(rng, mover, opponent);
        }
        std::uint32_t best = 0xFFFFFFFFu;
        for (int g = 0; g < PositionSymmetry::kCount; ++g) {
            const std::uint32_t key =
                (std::uint32_t{MapByPoints(mover, g)} << 16) | MapByPoints(opponent, g);
            if (key < best) best = key;
        }
        std::uint16_t cm = 0, co = 0;
        symmetry.Canonical(mover, opponent, cm, co);
        ASSERT_EQ((std::uint32_t{cm} << 16) | co, best) << mover << " " << opponent;
        EXPECT_EQ(symmetry.IsCanonical(mover, opponent), cm == mover && co == opponent);
        for (int g = 0; g < PositionSymmetry::kCount; ++g) {
            std::uint16_t im = 0, io = 0;
            symmetry.Canonical(MapByPoints(mover, g), MapByPoints(opponent, g), im, io);
            ASSERT_EQ(im, cm);
            ASSERT_EQ(io, co);
        }
        EXPECT_TRUE(symmetry.IsCanonical(cm, co));
    }
}

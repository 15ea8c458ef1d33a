#include "PositionIndex.h"

namespace kelvara {

const PositionIndex& PositionIndex::Get() {
    static const PositionIndex instance;
    return instance;
}

PositionIndex::PositionIndex() : rank_(1u << kPoints) {
    for (int n = 0; n <= kPoints; ++n) {
        binomial_[n][0] = 1;
        for (int k = 1; k <= n; ++k)
            binomial_[n][k] = binomial_[n - 1][k - 1] + (k <= n - 1 ? binomial_[n - 1][k] : 0);
    }
    // Colex rank: the k-th lowest set bit at position p adds C(p, k).
    for (std::uint32_t set = 0; set < (1u << kPoints); ++set) {
        std::uint32_t r = 0;
        int k = 0;
        for (int p = 0; p < kPoints; ++p) {
            if (set & (1u << p)) r += binomial_[p][++k];
        }
        rank_[set] = static_cast<std::uint16_t>(r);
    }
    for (int k = 0; k <= kPoints; ++k) sets_[k].resize(binomial_[kPoints][k]);
    for (std::uint32_t set = 0; set < (1u << kPoints); ++set) {
        sets_[popcount16(static_cast<std::uint16_t>(set))][rank_[set]] =
            static_cast<std::uint16_t>(set);
    }
    std::uint32_t offset = 0;
    for (int m = kMinPieces; m <= kMaxPieces; ++m) {
        for (int o = kMinPieces; o <= kMaxPieces; ++o) {
            sliceSize_[m][o] = binomial_[kPoints][m] * binomial_[kPoints - m][o];
            sliceOffset_[m][o] = offset;
            offset += sliceSize_[m][o];
        }
    }
    total_ = offset;
    for (unsigned mask = 0; mask < 256; ++mask) {
        for (unsigned x = 0; x < 256; ++x) {
            unsigned squeezed = 0, spread = 0;
            int out = 0;
            for (int b = 0; b < 8; ++b) {
                if (!(mask & (1u << b))) continue;
                if (x & (1u << b)) squeezed |= 1u << out;
                if (x & (1u << out)) spread |= 1u << b;
                ++out;
            }
            squeeze8_[mask][x] = static_cast<std::uint8_t>(squeezed);
            spread8_[mask][x] = static_cast<std::uint8_t>(spread);
        }
    }
}

void PositionIndex::Unrank(int m, int o, std::uint32_t local, std::uint16_t& mover,
                           std::uint16_t& opponent) const {
    const std::uint32_t per = binomial_[kPoints - m][o];
    mover = sets_[m][local / per];
    opponent = Spread(sets_[o][local % per], static_cast<std::uint16_t>(~mover));
}

bool PositionIndex::Locate(std::uint32_t index, int& m, int& o, std::uint32_t& local) const {
    for (m = kMinPieces; m <= kMaxPieces; ++m) {
        for (o = kMinPieces; o <= kMaxPieces; ++o) {
            if (index >= sliceOffset_[m][o] && index - sliceOffset_[m][o] < sliceSize_[m][o]) {
                local = index - sliceOffset_[m][o];
                return true;
            }
        }
    }
    return false;
}

}  // namespace kelvara

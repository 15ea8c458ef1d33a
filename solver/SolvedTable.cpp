#include "SolvedTable.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

namespace kelvara {

namespace {

// Odd codes are losses for the side to move, even ones (but 0) wins.
bool IsLossCode(std::uint8_t code) {
    return (code & 1u) != 0;
}

}  // namespace

SolvedTable::SolvedTable() : index_(PositionIndex::Get()), symmetry_(PositionSymmetry::Get()) {
    for (int k = PositionIndex::kMinPieces; k <= PositionIndex::kMaxPieces; ++k) {
        rowOf_[k].assign(index_.Binomial(PositionIndex::kPoints, k), 0);
        for (std::uint32_t r = 0; r < index_.Binomial(PositionIndex::kPoints, k); ++r) {
            if (symmetry_.IsSmallest(index_.SetOfRank(k, r))) {
                rowOf_[k][r] = static_cast<std::uint16_t>(canonicalRows_[k].size());
                canonicalRows_[k].push_back(static_cast<std::uint16_t>(r));
                rowSets_[k].push_back(index_.SetOfRank(k, r));
            }
        }
    }
    classOf_.resize(1u << PositionIndex::kPoints);
    for (std::uint32_t set = 0; set < classOf_.size(); ++set) {
        const auto s = static_cast<std::uint16_t>(set);
        const int k = PositionIndex::popcount16(s);
        if (!PositionIndex::InRange(k)) continue;
        const std::uint16_t smallest = symmetry_.SmallestImage(s);
        classOf_[set] = {smallest, rowOf_[k][index_.Rank(smallest)], symmetry_.SmallestMaps(s)};
    }
    // The same slice order as the PositionIndex numbering.
    for (int m = PositionIndex::kMinPieces; m <= PositionIndex::kMaxPieces; ++m) {
        for (int o = PositionIndex::kMinPieces; o <= PositionIndex::kMaxPieces; ++o) {
            storedOffset_[m][o] = storedTotal_;
            storedTotal_ += static_cast<std::uint32_t>(canonicalRows_[m].size()) *
                            index_.Binomial(PositionIndex::kPoints - m, o);
        }
    }
}

std::uint32_t SolvedTable::StoredIndex(std::uint16_t mover, std::uint16_t opponent) const {
    const int m = PositionIndex::popcount16(mover), o = PositionIndex::popcount16(opponent);
    return storedOffset_[m][o] + CanonicalLocal(mover, opponent, m, o);
}

std::uint8_t SolvedTable::Code(std::uint32_t index) const {
    int m = 0, o = 0;
    std::uint32_t local = 0;
    std::uint16_t mover = 0, opponent = 0;
    if (!index_.Locate(index, m, o, local) || m + o > solvedTotal_) {
        throw std::logic_error("position outside the solved table");
    }
    index_.Unrank(m, o, local, mover, opponent);
    return table_[StoredIndex(mover, opponent)];
}

PositionValue SolvedTable::ValueOf(std::uint16_t mover, std::uint16_t opponent) const {
    const int m = PositionIndex::popcount16(mover), o = PositionIndex::popcount16(opponent);
    if (m <= 1) return PositionValue::Loss(0);
    if (o <= 1) return PositionValue::Win(0);
    if (!PositionIndex::InRange(m) || !PositionIndex::InRange(o) || m + o > solvedTotal_) {
        throw std::logic_error("position outside the solved table");
    }
    return PositionValue::FromCode(table_[StoredIndex(mover, opponent)]);
}

bool SolvedTable::SetTable(std::vector<std::uint8_t> table, int solvedTotal) {
    if (table.size() != storedTotal_ || solvedTotal < 0 || solvedTotal > kMaxTotal) {
        return false;
    }
    table_ = std::move(table);
    solvedTotal_ = solvedTotal;
    return true;
}

SolverCensus SolvedTable::Census() const {
    SolverCensus census;
    std::uint32_t longestWinIndex = 0;
    for (int m = PositionIndex::kMinPieces; m <= PositionIndex::kMaxPieces; ++m) {
        for (int o = PositionIndex::kMinPieces; o <= PositionIndex::kMaxPieces; ++o) {
            if (m + o > solvedTotal_) continue;
            // Each representative counts once for every position of its class: 8 divided by
            // the number of symmetries that leave the position unchanged.
            const std::uint8_t* table = table_.data() + storedOffset_[m][o];
            const std::uint32_t per = index_.Binomial(PositionIndex::kPoints - m, o);
            const auto& rows = canonicalRows_[m];
            for (std::size_t row = 0; row < rows.size(); ++row) {
                const std::uint16_t mover = index_.SetOfRank(m, rows[row]);
                const std::uint8_t stabiliser = symmetry_.SmallestMaps(mover);
                const auto free = static_cast<std::uint16_t>(~mover);
                const std::uint8_t* codes = table + row * per;
                std::array<std::uint64_t, 256> counts{};
                for (std::uint32_t column = 0; column < per; ++column) {
                    int weight = PositionSymmetry::kCount;
                    if (stabiliser != 1) {
                        const std::uint16_t opponent =
                            index_.Spread(index_.SetOfRank(o, column), free);
                        int fixed = 0;
                        bool smallest = true;
                        for (unsigned g = stabiliser; g != 0 && smallest; g &= g - 1) {
                            const std::uint16_t image =
                                symmetry_.Transform(opponent, __builtin_ctz(g));
                            smallest = image >= opponent;
                            fixed += image == opponent ? 1 : 0;
                        }
                        if (!smallest) continue;
                        weight /= fixed;
                    }
                    counts[codes[column]] += static_cast<std::uint64_t>(weight);
                }
                for (int code = 0; code < 256; ++code) {
                    if (counts[code] == 0) continue;
                    census.entries += counts[code];
                    if (code == 0) {
                        census.draws += counts[code];
                    } else if (IsLossCode(static_cast<std::uint8_t>(code))) {
                        census.losses += counts[code];
                        census.longestLoss = std::max(census.longestLoss, code - 1);
                    } else {
                        census.wins += counts[code];
                    }
                }
                // The longest win's example is the first position of the numbering with it,
                // so every image of each candidate is looked at.
                for (std::uint32_t column = 0; column < per; ++column) {
                    const int code = codes[column];
                    if (code == 0 || IsLossCode(static_cast<std::uint8_t>(code)) ||
                        code - 1 < census.longestWin) {
                        continue;
                    }
                    const std::uint16_t opponent = index_.Spread(index_.SetOfRank(o, column), free);
                    if (!symmetry_.IsCanonical(mover, opponent)) continue;
                    for (int g = 0; g < PositionSymmetry::kCount; ++g) {
                        const std::uint16_t im = symmetry_.Transform(mover, g);
                        const std::uint16_t io = symmetry_.Transform(opponent, g);
                        const std::uint32_t global = index_.Index(im, io);
                        if (code - 1 > census.longestWin || global < longestWinIndex) {
                            census.longestWin = code - 1;
                            census.longestWinMover = im;
                            census.longestWinOpponent = io;
                            longestWinIndex = global;
                        }
                    }
                }
            }
        }
    }
    return census;
}

}  // namespace kelvara

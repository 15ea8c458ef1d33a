#include "SolvedTable.h"

#include <algorithm>
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
            }
        }
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
    for (int m = PositionIndex::kMinPieces; m <= PositionIndex::kMaxPieces; ++m) {
        for (int o = PositionIndex::kMinPieces; o <= PositionIndex::kMaxPieces; ++o) {
            if (m + o > solvedTotal_) continue;
            // Every position of the slice, each read through its representative.
            const std::uint8_t* table = table_.data() + storedOffset_[m][o];
            const std::uint32_t per = index_.Binomial(PositionIndex::kPoints - m, o);
            for (std::uint32_t i = 0, n = index_.SliceSize(m, o); i < n; ++i) {
                const std::uint16_t mover = index_.SetOfRank(m, i / per);
                const std::uint16_t opponent =
                    index_.Spread(index_.SetOfRank(o, i % per), static_cast<std::uint16_t>(~mover));
                const std::uint8_t code = table[CanonicalLocal(mover, opponent, m, o)];
                ++census.entries;
                if (code == 0) {
                    ++census.draws;
                } else if (IsLossCode(code)) {
                    ++census.losses;
                    census.longestLoss = std::max(census.longestLoss, code - 1);
                } else {
                    ++census.wins;
                    if (code - 1 > census.longestWin) {
                        census.longestWin = code - 1;
                        census.longestWinMover = mover;
                        census.longestWinOpponent = opponent;
                    }
                }
            }
        }
    }
    return census;
}

}  // namespace kelvara

#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "PositionIndex.h"
#include "PositionSymmetry.h"
#include "PositionValue.h"

namespace kelvara {

// Figures of a solved table. Every entry stands for two positions of the game (black to move
// and white to move, with the colours swapped), so the game counts are twice the entry counts.
struct SolverCensus {
    std::uint64_t entries = 0;
    std::uint64_t wins = 0;
    std::uint64_t losses = 0;
    std::uint64_t draws = 0;
    int longestWin = 0;   // most plies of any won entry
    int longestLoss = 0;  // most plies of any lost entry
    // The first position (in the PositionIndex numbering) with the longest win.
    std::uint16_t longestWinMover = 0;
    std::uint16_t longestWinOpponent = 0;
};

// The solved game's table: the value of every position, stored once for its whole class under
// the board's rotations and reflections. Positions are seen from the side to move (the colours
// do not matter, since the rules treat both sides alike). The table holds, for each slice
// (m, o), the rows of the PositionIndex numbering whose mover set is its own smallest image,
// one byte per opponent set (0 for a draw, plies + 1 for a win or loss, PositionValue::Code). A
// look-up takes the position's representative first. In a row whose mover set is symmetric
// itself, only the opponent sets that are smallest under the mover's symmetries are ever read;
// the others hold 0.
//
// A table is filled in by the Solver, or taken from bytes built earlier (SetTable); once
// complete it is only read, from any thread.
class SolvedTable {
  public:
    static constexpr int kMinTotal = 2 * PositionIndex::kMinPieces;
    static constexpr int kMaxTotal = 2 * PositionIndex::kMaxPieces;

    SolvedTable();

    // Takes a table built earlier (for example read back from a file) as solved up to
    // `solvedTotal` pieces. False, leaving the table unchanged, when the size is not
    // StoredSize().
    bool SetTable(std::vector<std::uint8_t> table, int solvedTotal);

    // Highest total piece count solved so far (0 before any solve).
    int SolvedTotal() const { return solvedTotal_; }
    bool Complete() const { return solvedTotal_ == kMaxTotal; }

    // The stored entries (see above), StoredSize() bytes.
    const std::vector<std::uint8_t>& Table() const { return table_; }
    std::uint32_t StoredSize() const { return storedTotal_; }
    // Where the value of (mover, opponent) is stored: the entry of its representative. The
    // counts must be 2..6.
    std::uint32_t StoredIndex(std::uint16_t mover, std::uint16_t opponent) const;
    // Table code of the position with the given PositionIndex number (either side's pieces
    // 2..6); its slice must be solved.
    std::uint8_t Code(std::uint32_t index) const;

    // Value for the side to move holding `mover` against `opponent` (disjoint point sets).
    // A side with one piece or none has lost: the mover with at most one piece gets loss 0
    // (checked first), then an opponent with at most one piece gives win 0. Otherwise both
    // counts must be 2..6 and their slice solved (else std::logic_error).
    PositionValue ValueOf(std::uint16_t mover, std::uint16_t opponent) const;

    // Counts every position of the solved slices: each representative for its whole class.
    SolverCensus Census() const;

  protected:
    // What the canonical form needs of a mover set: its smallest image, that image's stored
    // row, and the symmetries that give it (bit g for symmetry g).
    struct SetClass {
        std::uint16_t smallest = 0;
        std::uint16_t row = 0;
        std::uint8_t maps = 0;
    };
    const SetClass& ClassOf(std::uint16_t set) const { return classOf_[set]; }
    // Stored index, inside slice (m, o), of the representative of (mover, opponent).
    std::uint32_t CanonicalLocal(std::uint16_t mover, std::uint16_t opponent, int m, int o) const {
        return CanonicalLocal(classOf_[mover], opponent, m, o);
    }
    // The same with the mover's class already looked up.
    std::uint32_t CanonicalLocal(const SetClass& mover, std::uint16_t opponent, int m,
                                 int o) const {
        const std::uint16_t co = (mover.maps & (mover.maps - 1)) == 0
                                     ? symmetry_.Transform(opponent, __builtin_ctz(mover.maps))
                                     : symmetry_.SmallestUnder(opponent, mover.maps);
        return mover.row * index_.Binomial(PositionIndex::kPoints - m, o) +
               index_.Rank(index_.Squeeze(co, static_cast<std::uint16_t>(~mover.smallest)));
    }

    const PositionIndex& index_;
    const PositionSymmetry& symmetry_;
    // Colex ranks of the point sets of each size that are their own smallest image.
    std::array<std::vector<std::uint16_t>, PositionIndex::kMaxPieces + 1> canonicalRows_;
    // The same sets themselves, row by row.
    std::array<std::vector<std::uint16_t>, PositionIndex::kMaxPieces + 1> rowSets_;
    // For a colex rank of such a set: its place among them (the stored row number).
    std::array<std::vector<std::uint16_t>, PositionIndex::kMaxPieces + 1> rowOf_;
    // SetClass of every point set with 2 to 6 points.
    std::vector<SetClass> classOf_;
    // Start of the stored part of each slice in the table, and the table's size.
    std::array<std::array<std::uint32_t, PositionIndex::kMaxPieces + 1>,
               PositionIndex::kMaxPieces + 1>
        storedOffset_{};
    std::uint32_t storedTotal_ = 0;
    std::vector<std::uint8_t> table_;
    int solvedTotal_ = 0;
};

}  // namespace kelvara

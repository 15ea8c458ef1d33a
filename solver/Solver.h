#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
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

// Solves the whole game by retrograde analysis. Positions are seen from the side to move (the
// colours do not matter, since the rules treat both sides alike), and the value of a position
// is stored once for its whole class under the board's rotations and reflections: the table
// holds, for each slice (m, o), the rows of the PositionIndex numbering whose mover set is its
// own smallest image, one byte per opponent set (0 for a draw, plies + 1 for a win or loss,
// PositionValue::Code). A look-up takes the position's representative first. In a row whose
// mover set is symmetric itself, only the opponent sets that are smallest under the mover's
// symmetries are ever read; the others hold 0.
//
// Captures only remove pieces, so the slices are solved in rising total piece count. The
// slices (m, o) and (o, m) with the same total form one group: their quiet steps lead into
// each other, while a capturing step lands in a group already solved. Only one representative
// of each class of positions equal under the board's rotations and reflections is solved; the
// other entries of a group are copied from their representatives once the group is done.
class Solver {
  public:
    static constexpr int kMinTotal = 2 * PositionIndex::kMinPieces;
    static constexpr int kMaxTotal = 2 * PositionIndex::kMaxPieces;

    // Called after each group with the fraction of the entries solved so far (0..1].
    using Progress = std::function<void(double)>;

    Solver();

    // Retrograde solve of all groups with a total of at most maxTotal pieces, using up to
    // `threads` threads. Throws std::runtime_error if a distance does not fit the table byte.
    void Solve(int threads = 2, int maxTotal = kMaxTotal, const Progress& progress = {});
    // The plain method, for comparison: re-scan every open position of a group, deciding in
    // sweep k exactly the positions that end in k plies, until a sweep changes nothing.
    void SolveForwardSweep(int maxTotal = kMaxTotal, const Progress& progress = {});

    // Takes a table built earlier (for example read back from a file) as solved up to
    // `solvedTotal` pieces. False, leaving the solver unchanged, when the size is not
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

    SolverCensus Census() const;

  private:
    struct Group;
    struct Marks;

    void SolveGroup(int m, int o, int threads, std::uint8_t* scratch, std::uint32_t scratchSlice);
    bool InitialiseSlice(Group& group, int part, int thread, Marks& marks);
    template <bool kShared>
    void Propagate(Group& group, int part, std::uint32_t local, std::uint8_t code, Marks& marks);
    // Stored index of a representative (cm, co) inside the stored part of slice (m, o).
    std::uint32_t StoredLocal(std::uint16_t cm, std::uint16_t co, int m, int o) const {
        const auto free = static_cast<std::uint16_t>(~cm);
        return rowOf_[m][index_.Rank(cm)] * index_.Binomial(PositionIndex::kPoints - m, o) +
               index_.Rank(index_.Squeeze(co, free));
    }
    // Stored index, inside slice (m, o), of the representative of (mover, opponent).
    std::uint32_t CanonicalLocal(std::uint16_t mover, std::uint16_t opponent, int m, int o) const {
        std::uint16_t cm = 0, co = 0;
        symmetry_.Canonical(mover, opponent, cm, co);
        return StoredLocal(cm, co, m, o);
    }
    void SweepGroup(int m, int o);

    const PositionIndex& index_;
    const PositionSymmetry& symmetry_;
    // Colex ranks of the point sets of each size that are their own smallest image.
    std::array<std::vector<std::uint16_t>, PositionIndex::kMaxPieces + 1> canonicalRows_;
    // For a colex rank of such a set: its place among them (the stored row number).
    std::array<std::vector<std::uint16_t>, PositionIndex::kMaxPieces + 1> rowOf_;
    // Start of the stored part of each slice in the table, and the table's size.
    std::array<std::array<std::uint32_t, PositionIndex::kMaxPieces + 1>,
               PositionIndex::kMaxPieces + 1>
        storedOffset_{};
    std::uint32_t storedTotal_ = 0;
    std::vector<std::uint8_t> table_;
    int solvedTotal_ = 0;
};

}  // namespace kelvara

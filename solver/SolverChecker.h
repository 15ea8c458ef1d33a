#pragma once

#include <cstdint>
#include <string>

#include "SolvedTable.h"

namespace kelvara {

struct SolverCheckReport {
    std::uint64_t checked = 0;
    std::uint64_t mismatches = 0;
    // Global index, stored and re-derived codes of the first mismatch.
    std::uint32_t firstIndex = 0;
    int firstStored = 0;
    int firstDerived = 0;

    bool Consistent() const { return checked > 0 && mismatches == 0; }
};

// Re-derives the value of every position of the solved slices (each number of the
// PositionIndex numbering, read through the entry of its representative) from its successors'
// values and compares: a position with no
// step is lost at once; one with a step into a lost position is won one ply after the fastest
// such loss; otherwise one with a step into a drawn position is drawn; otherwise it is lost
// one ply after the slowest of its successors' wins. A table that passes is exactly the
// game's values, distances included (induction on the distance).
class SolverChecker {
  public:
    // Code the entry of (mover, opponent) must hold, read from the successors' entries.
    static int Derive(const SolvedTable& solver, std::uint16_t mover, std::uint16_t opponent);

    static SolverCheckReport Check(const SolvedTable& solver, int threads = 2);
};

}  // namespace kelvara

#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "SolvedTable.h"

namespace kelvara {

class ChunkPool;

// Solves the whole game by retrograde analysis into the table it is (see SolvedTable).
//
// Captures only remove pieces, so the slices are solved in rising total piece count. The
// slices (m, o) and (o, m) with the same total form one group: their quiet steps lead into
// each other, while a capturing step lands in a group already solved. Only one representative
// of each class of positions equal under the board's rotations and reflections is solved and
// stored. Work is shared by threads in chunks (ChunkPool): the rows of a group to initialise,
// then the entries of each large level of the propagation.
class Solver : public SolvedTable {
  public:
    // Called after each group with the fraction of the entries solved so far (0..1].
    using Progress = std::function<void(double)>;

    // Retrograde solve of all groups with a total of at most maxTotal pieces, using up to
    // `threads` threads. Throws std::runtime_error if a distance does not fit the table byte.
    void Solve(int threads = 2, int maxTotal = kMaxTotal, const Progress& progress = {});
    // The plain method, for comparison: re-scan every open position of a group, deciding in
    // sweep k exactly the positions that end in k plies, until a sweep changes nothing.
    void SolveForwardSweep(int maxTotal = kMaxTotal, const Progress& progress = {});

    // Whether this processor has the bit instructions (pext, pdep, popcnt) Solve() uses when
    // allowed; without them, or with UseBitInstructions(false), it uses table look-ups. The
    // table is the same either way.
    static bool BitInstructionsAvailable();
    void UseBitInstructions(bool use) { bitInstructions_ = use; }

  private:
    struct Group;
    struct Queues;

    template <class Bits>
    void SolveGroup(int m, int o, ChunkPool& pool, std::vector<Queues>& queues,
                    std::array<std::uint16_t*, 2> records, std::array<std::uint8_t*, 2> floors);
    template <class Bits>
    void InitialiseRows(Group& group, int part, std::uint32_t rowBegin, std::uint32_t rowEnd,
                        Queues& queues);
    template <bool kShared, class Bits>
    void Propagate(Group& group, std::uint32_t entry, std::uint8_t code, Queues& queues);
    void SweepGroup(int m, int o);
    // Column of the representative's opponent set in the stored row of the mover's class.
    template <class Bits>
    std::uint32_t Column(const SetClass& mover, std::uint16_t opponent) const;

    bool bitInstructions_ = true;
};

}  // namespace kelvara

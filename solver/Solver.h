#pragma once

#include <cstdint>
#include <functional>

#include "SolvedTable.h"

namespace kelvara {

// Solves the whole game by retrograde analysis into the table it is (see SolvedTable).
//
// Captures only remove pieces, so the slices are solved in rising total piece count. The
// slices (m, o) and (o, m) with the same total form one group: their quiet steps lead into
// each other, while a capturing step lands in a group already solved. Only one representative
// of each class of positions equal under the board's rotations and reflections is solved; the
// other entries of a group are copied from their representatives once the group is done.
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

  private:
    struct Group;
    struct Marks;

    void SolveGroup(int m, int o, int threads, std::uint8_t* scratch, std::uint32_t scratchSlice);
    bool InitialiseSlice(Group& group, int part, int thread, Marks& marks);
    template <bool kShared>
    void Propagate(Group& group, int part, std::uint32_t local, std::uint8_t code, Marks& marks);
    void SweepGroup(int m, int o);
};

}  // namespace kelvara

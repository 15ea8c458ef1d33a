#include "Solver.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <utility>

#include "PositionRules.h"

namespace kelvara {

namespace {

// Counter byte of a position during the solve of its group: the number of quiet steps whose
// outcome is still open, and this flag once the position can no longer be lost (it has a step
// into a lost or drawn position).
constexpr std::uint8_t kCannotLose = 0x80;
constexpr int kMaxCode = 255;

bool IsLossCode(std::uint8_t code) {
    return (code & 1u) != 0;
}

}  // namespace

// Codes that some entry of the group holds, so that empty levels are skipped.
struct Solver::Marks {
    std::array<bool, kMaxCode + 1> pending{};
    bool overflow = false;

    void Mark(int code) {
        if (code > kMaxCode) {
            overflow = true;
        } else {
            pending[code] = true;
        }
    }
    void Merge(const Marks& other) {
        for (int c = 0; c <= kMaxCode; ++c) pending[c] = pending[c] || other.pending[c];
        overflow = overflow || other.overflow;
    }
};

struct Solver::Scratch {
    int m = 0, o = 0;
    bool overflow = false;
    // [0] for slice (m, o), [1] for slice (o, m) when it differs.
    std::array<std::vector<std::uint8_t>, 2> counter;
    // Loss code the position gets if every quiet step turns out won for the opponent: one
    // more than the highest code among its capturing steps (all of them won by the opponent).
    std::array<std::vector<std::uint8_t>, 2> lossFloor;

    int Part(int mm, int oo) const { return (mm == m && oo == o) ? 0 : 1; }
};

Solver::Solver() : index_(PositionIndex::Get()) {}

PositionValue Solver::ValueOf(std::uint16_t mover, std::uint16_t opponent) const {
    const int m = PositionIndex::popcount16(mover), o = PositionIndex::popcount16(opponent);
    if (m <= 1) return PositionValue::Loss(0);
    if (o <= 1) return PositionValue::Win(0);
    if (!PositionIndex::InRange(m) || !PositionIndex::InRange(o) || m + o > solvedTotal_) {
        throw std::logic_error("position outside the solved table");
    }
    return PositionValue::FromCode(table_[index_.Index(mover, opponent)]);
}

void Solver::Solve(int threads, int maxTotal, const Progress& progress) {
    table_.assign(index_.TotalSize(), 0);
    solvedTotal_ = 0;
    threads = std::max(1, threads);
    std::uint64_t done = 0;
    for (int total = kMinTotal; total <= std::min(maxTotal, kMaxTotal); ++total) {
        for (int m = PositionIndex::kMinPieces; m <= total / 2; ++m) {
            const int o = total - m;
            if (!PositionIndex::InRange(o)) continue;
            SolveGroup(m, o, threads);
            done += index_.SliceSize(m, o) + (m == o ? 0 : index_.SliceSize(o, m));
            if (progress) progress(static_cast<double>(done) / index_.TotalSize());
        }
        solvedTotal_ = total;
    }
}

bool Solver::InitialiseSlice(int m, int o, Scratch& scratch, std::uint32_t begin,
                             std::uint32_t end) {
    bool overflow = false;
    const int part = scratch.Part(m, o);
    std::uint8_t* counter = scratch.counter[part].data();
    std::uint8_t* lossFloor = scratch.lossFloor[part].data();
    std::uint8_t* table = table_.data() + index_.SliceOffset(m, o);
    const std::uint32_t per = index_.Binomial(PositionIndex::kPoints - m, o);
    for (std::uint32_t local = begin; local < end; ++local) {
        const std::uint16_t mover = index_.SetOfRank(m, local / per);
        const std::uint16_t opponent =
            index_.Spread(index_.SetOfRank(o, local % per), static_cast<std::uint16_t>(~mover));
        int quiet = 0, steps = 0;
        int win = kMaxCode + 1;  // best win code through a capture
        int floor = 0;
        bool draw = false;
        PositionRules::ForEachStep(
            mover, opponent, [&](int, int, int, std::uint16_t after, std::uint16_t opponentAfter) {
                ++steps;
                if (opponentAfter == opponent) {
                    ++quiet;
                    return;
                }
                if (PositionIndex::popcount16(opponentAfter) <= 1) {
                    win = std::min(win, 2);
                    return;
                }
                const int left = PositionIndex::popcount16(opponentAfter);
                const std::uint8_t child = table_[index_.SliceOffset(left, m) +
                                                  index_.LocalIndex(opponentAfter, after, left, m)];
                if (child == 0) {
                    draw = true;
                } else if (IsLossCode(child)) {
                    win = std::min(win, child + 1);
                } else {
                    floor = std::max(floor, child + 1);
                }
            });
        std::uint8_t flags = static_cast<std::uint8_t>(quiet);
        if (win <= kMaxCode) {
            table[local] = static_cast<std::uint8_t>(win);
            flags |= kCannotLose;
        } else if (draw) {
            flags |= kCannotLose;
        } else if (quiet == 0) {
            const int code = steps == 0 ? 1 : floor;
            if (code > kMaxCode) {
                overflow = true;
            } else {
                table[local] = static_cast<std::uint8_t>(code);
            }
        }
        counter[local] = flags;
        lossFloor[local] = static_cast<std::uint8_t>(std::min(floor, kMaxCode));
        if (floor > kMaxCode && win > kMaxCode && !draw) overflow = true;
    }
    return overflow;
}

void Solver::Propagate(int m, int o, std::uint16_t mover, std::uint16_t opponent, std::uint8_t code,
                       Scratch& scratch, Marks& marks) {
    // Predecessors sit in slice (o, m): the opponent moved last.
    const int part = scratch.Part(o, m);
    std::uint8_t* counter = scratch.counter[part].data();
    const std::uint8_t* lossFloor = scratch.lossFloor[part].data();
    std::uint8_t* table = table_.data() + index_.SliceOffset(o, m);
    const int next = code + 1;
    if (IsLossCode(code)) {
        PositionRules::ForEachQuietUnstep(mover, opponent, [&](std::uint16_t previous) {
            const std::uint32_t q = index_.LocalIndex(previous, mover, o, m);
            // Codes up to `code` are final; a larger one is a pending win that may improve.
            if (table[q] == 0 || table[q] > next) {
                table[q] = static_cast<std::uint8_t>(next);
                counter[q] |= kCannotLose;
                marks.Mark(next);
            }
        });
    } else {
        PositionRules::ForEachQuietUnstep(mover, opponent, [&](std::uint16_t previous) {
            const std::uint32_t q = index_.LocalIndex(previous, mover, o, m);
            if (counter[q] & kCannotLose) return;
            if (--counter[q] == 0) {
                const int lossCode = std::max<int>(lossFloor[q], next);
                table[q] = static_cast<std::uint8_t>(std::min(lossCode, kMaxCode));
                marks.Mark(lossCode);
            }
        });
    }
}

void Solver::SolveGroup(int m, int o, int threads) {
    Scratch scratch;
    scratch.m = m;
    scratch.o = o;
    std::vector<std::pair<int, int>> slices{{m, o}};
    if (m != o) slices.emplace_back(o, m);
    for (auto [sm, so] : slices) {
        const int part = scratch.Part(sm, so);
        scratch.counter[part].assign(index_.SliceSize(sm, so), 0);
        scratch.lossFloor[part].assign(index_.SliceSize(sm, so), 0);
    }
    // Counters and the values already fixed by captures; halves of a slice are independent.
    for (auto [sm, so] : slices) {
        const std::uint32_t size = index_.SliceSize(sm, so);
        if (threads >= 2) {
            const std::uint32_t half = size / 2;
            bool helperOverflow = false;
            std::thread helper([&] { helperOverflow = InitialiseSlice(sm, so, scratch, 0, half); });
            const bool overflow = InitialiseSlice(sm, so, scratch, half, size);
            helper.join();
            scratch.overflow = scratch.overflow || overflow || helperOverflow;
        } else {
            scratch.overflow = InitialiseSlice(sm, so, scratch, 0, size) || scratch.overflow;
        }
    }
    Marks marks;
    for (auto [sm, so] : slices) {
        const std::uint8_t* table = table_.data() + index_.SliceOffset(sm, so);
        for (std::uint32_t i = 0, n = index_.SliceSize(sm, so); i < n; ++i) {
            marks.pending[table[i]] = true;
        }
    }
    marks.pending[0] = false;
    // Level by level: every entry holding code c is final when level c is reached, because
    // propagation from level c only writes codes above c. Each level first collects the
    // entries of code c, then propagates them; the predecessors of one slice's entries lie in
    // the other slice, so the two slices of a group propagate on two threads without sharing.
    std::array<std::vector<std::uint32_t>, 2> frontier;
    const bool parallel = threads >= 2 && slices.size() == 2;
    for (int code = 1; code <= kMaxCode; ++code) {
        if (!marks.pending[code]) continue;
        auto collect = [&](std::size_t s) {
            const auto [sm, so] = slices[s];
            const std::uint8_t* table = table_.data() + index_.SliceOffset(sm, so);
            const std::uint8_t* end = table + index_.SliceSize(sm, so);
            frontier[s].clear();
            for (const std::uint8_t* p = table;
                 (p = static_cast<const std::uint8_t*>(std::memchr(p, code, end - p))); ++p) {
                frontier[s].push_back(static_cast<std::uint32_t>(p - table));
            }
        };
        auto propagate = [&](std::size_t s, Marks& out) {
            const auto [sm, so] = slices[s];
            const std::uint32_t per = index_.Binomial(PositionIndex::kPoints - sm, so);
            for (std::uint32_t local : frontier[s]) {
                const std::uint16_t mover = index_.SetOfRank(sm, local / per);
                const std::uint16_t opponent = index_.Spread(index_.SetOfRank(so, local % per),
                                                             static_cast<std::uint16_t>(~mover));
                Propagate(sm, so, mover, opponent, static_cast<std::uint8_t>(code), scratch, out);
            }
        };
        if (parallel) {
            std::thread helper([&] { collect(1); });
            collect(0);
            helper.join();
            Marks helperMarks;
            std::thread second([&] { propagate(1, helperMarks); });
            propagate(0, marks);
            second.join();
            marks.Merge(helperMarks);
        } else {
            for (std::size_t s = 0; s < slices.size(); ++s) {
                collect(s);
                propagate(s, marks);
            }
        }
    }
    if (marks.overflow || scratch.overflow) {
        throw std::runtime_error("position distance exceeds the table range");
    }
}

void Solver::SolveForwardSweep(int maxTotal, const Progress& progress) {
    table_.assign(index_.TotalSize(), 0);
    solvedTotal_ = 0;
    std::uint64_t done = 0;
    for (int total = kMinTotal; total <= std::min(maxTotal, kMaxTotal); ++total) {
        for (int m = PositionIndex::kMinPieces; m <= total / 2; ++m) {
            const int o = total - m;
            if (!PositionIndex::InRange(o)) continue;
            SweepGroup(m, o);
            done += index_.SliceSize(m, o) + (m == o ? 0 : index_.SliceSize(o, m));
            if (progress) progress(static_cast<double>(done) / index_.TotalSize());
        }
        solvedTotal_ = total;
    }
}

void Solver::SweepGroup(int m, int o) {
    std::vector<std::pair<int, int>> slices{{m, o}};
    if (m != o) slices.emplace_back(o, m);
    // Highest code a capture can reach: the solved slices, or a position left with one piece
    // (lost at once, code 1).
    int lowerMax = 1;
    for (std::uint8_t code : table_) lowerMax = std::max<int>(lowerMax, code);
    // Sweep k decides the positions that end in exactly k plies (code k + 1), reading the
    // quiet successors decided in earlier sweeps (codes up to k).
    for (int k = 0; k < kMaxCode; ++k) {
        bool changed = false;
        for (auto [sm, so] : slices) {
            std::uint8_t* table = table_.data() + index_.SliceOffset(sm, so);
            const std::uint32_t per = index_.Binomial(PositionIndex::kPoints - sm, so);
            for (std::uint32_t local = 0, n = index_.SliceSize(sm, so); local < n; ++local) {
                if (table[local] != 0) continue;
                const std::uint16_t mover = index_.SetOfRank(sm, local / per);
                const std::uint16_t opponent = index_.Spread(index_.SetOfRank(so, local % per),
                                                             static_cast<std::uint16_t>(~mover));
                int bestLoss = kMaxCode + 1, worstWin = 0;
                bool open = false;
                PositionRules::ForEachStep(
                    mover, opponent,
                    [&](int, int, int, std::uint16_t after, std::uint16_t opponentAfter) {
                        int child = 1;  // an opponent left with one piece has lost
                        if (PositionIndex::popcount16(opponentAfter) >= 2) {
                            child = table_[index_.Index(opponentAfter, after)];
                            if (opponentAfter == opponent && child > k) child = 0;
                        }
                        if (child == 0) {
                            open = true;
                        } else if (IsLossCode(static_cast<std::uint8_t>(child))) {
                            bestLoss = std::min(bestLoss, child);
                        } else {
                            worstWin = std::max(worstWin, child);
                        }
                    });
                int code = 0;
                if (bestLoss <= kMaxCode) {
                    code = bestLoss + 1;
                } else if (!open) {
                    code = worstWin + 1;
                }
                if (code == k + 1) {
                    table[local] = static_cast<std::uint8_t>(code);
                    changed = true;
                }
            }
        }
        if (!changed && k >= lowerMax) break;
    }
}

bool Solver::SetTable(std::vector<std::uint8_t> table, int solvedTotal) {
    if (table.size() != index_.TotalSize() || solvedTotal < 0 || solvedTotal > kMaxTotal) {
        return false;
    }
    table_ = std::move(table);
    solvedTotal_ = solvedTotal;
    return true;
}

SolverCensus Solver::Census() const {
    SolverCensus census;
    for (int m = PositionIndex::kMinPieces; m <= PositionIndex::kMaxPieces; ++m) {
        for (int o = PositionIndex::kMinPieces; o <= PositionIndex::kMaxPieces; ++o) {
            if (m + o > solvedTotal_) continue;
            const std::uint8_t* table = table_.data() + index_.SliceOffset(m, o);
            for (std::uint32_t i = 0, n = index_.SliceSize(m, o); i < n; ++i) {
                const std::uint8_t code = table[i];
                ++census.entries;
                if (code == 0) {
                    ++census.draws;
                } else if (IsLossCode(code)) {
                    ++census.losses;
                    census.longestLoss = std::max(census.longestLoss, code - 1);
                } else {
                    ++census.wins;
                    census.longestWin = std::max(census.longestWin, code - 1);
                }
            }
        }
    }
    return census;
}

}  // namespace kelvara

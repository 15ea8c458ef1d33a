#include "Solver.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <barrier>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <thread>
#include <type_traits>
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

// One group being solved: slice (m, o) is part 0, slice (o, m) part 1 when it differs.
struct Solver::Group {
    int m = 0, o = 0;
    int parts = 1;
    int threads = 1;
    std::array<int, 2> movers{}, opponents{};
    std::array<std::uint8_t*, 2> table{};
    std::array<std::uint32_t, 2> per{};
    // Counter byte of a representative during the solve: the number of distinct classes of
    // its quiet successors whose outcome is still open, and kCannotLose once the position can
    // no longer be lost (it has a step into a lost or drawn position).
    std::array<std::uint8_t*, 2> counter{};
    // Loss code the position gets if every quiet step turns out won for the opponent: one
    // more than the highest code among its capturing steps (all of them won by the opponent).
    std::array<std::uint8_t*, 2> lossFloor{};
    // Per thread: the codes seen, the entries of the current level (part in the top bit).
    std::vector<Marks> marks;
    std::vector<std::vector<std::uint32_t>> frontier;
    std::vector<char> overflow;
    int code = 0;

    int PartOf(int mm, int oo) const { return (mm == m && oo == o) ? 0 : 1; }
};

namespace {

constexpr std::uint32_t kPartBit = 0x80000000u;

// Sorts the first `n` values and moves the distinct ones to the front; returns their number.
int Distinct(std::uint32_t* values, int n) {
    std::sort(values, values + n);
    return static_cast<int>(std::unique(values, values + n) - values);
}

// True when no symmetry but the identity gives the set's smallest image, so that distinct
// positions with this set stay distinct in their representatives.
bool Asymmetric(std::uint8_t maps) {
    return (maps & (maps - 1)) == 0;
}

template <bool kShared>
std::uint8_t Load(const std::uint8_t& byte) {
    if constexpr (kShared) {
        return std::atomic_ref<const std::uint8_t>(byte).load(std::memory_order_relaxed);
    } else {
        return byte;
    }
}

template <bool kShared>
void Store(std::uint8_t& byte, std::uint8_t value) {
    if constexpr (kShared) {
        std::atomic_ref<std::uint8_t>(byte).store(value, std::memory_order_relaxed);
    } else {
        byte = value;
    }
}

}  // namespace

void Solver::Solve(int threads, int maxTotal, const Progress& progress) {
    table_.assign(storedTotal_, 0);
    solvedTotal_ = 0;
    threads = std::max(1, threads);
    // Counters and loss floors of the group being solved: two bytes per position of each of
    // its two slices, reused by every group and left uninitialised (see SolveGroup).
    std::uint32_t scratchSlice = 0;
    for (int m = PositionIndex::kMinPieces; m <= PositionIndex::kMaxPieces; ++m) {
        for (int o = PositionIndex::kMinPieces; o <= PositionIndex::kMaxPieces; ++o) {
            if (m + o <= maxTotal) {
                scratchSlice =
                    std::max(scratchSlice, static_cast<std::uint32_t>(canonicalRows_[m].size() *
                                                                      index_.Binomial(16 - m, o)));
            }
        }
    }
    const auto scratch = std::make_unique_for_overwrite<std::uint8_t[]>(4 * scratchSlice);
    std::uint64_t done = 0;
    for (int total = kMinTotal; total <= std::min(maxTotal, kMaxTotal); ++total) {
        for (int m = PositionIndex::kMinPieces; m <= total / 2; ++m) {
            const int o = total - m;
            if (!PositionIndex::InRange(o)) continue;
            SolveGroup(m, o, threads, scratch.get(), scratchSlice);
            done += index_.SliceSize(m, o) + (m == o ? 0 : index_.SliceSize(o, m));
            if (progress) progress(static_cast<double>(done) / index_.TotalSize());
        }
        solvedTotal_ = total;
    }
}

bool Solver::InitialiseSlice(Group& group, int part, int thread, Marks& marks) {
    bool overflow = false;
    const int m = group.movers[part], o = group.opponents[part];
    std::uint8_t* counter = group.counter[part];
    std::uint8_t* lossFloor = group.lossFloor[part];
    std::uint8_t* table = group.table[part];
    const std::uint32_t per = group.per[part];
    const auto& rows = canonicalRows_[m];
    for (std::size_t row = thread; row < rows.size(); row += group.threads) {
        const std::uint16_t mover = index_.SetOfRank(m, rows[row]);
        const std::uint8_t stabiliser = symmetry_.SmallestMaps(mover);
        const auto free = static_cast<std::uint16_t>(~mover);
        for (std::uint32_t column = 0; column < per; ++column) {
            const std::uint16_t opponent = index_.Spread(index_.SetOfRank(o, column), free);
            if (stabiliser != 1 && symmetry_.SmallestUnder(opponent, stabiliser) != opponent) {
                continue;
            }
            const std::uint32_t local = static_cast<std::uint32_t>(row) * per + column;
            // Every quiet step leads to a position whose mover set is `opponent`.
            const SetClass& child = ClassOf(opponent);
            // Distinct quiet steps lead to distinct classes unless `opponent` is symmetric,
            // so only then are the successors' representatives needed.
            const bool symmetricChild = !Asymmetric(child.maps);
            std::array<std::uint32_t, 24> quiet;
            int quietCount = 0, steps = 0;
            int win = kMaxCode + 1;  // best win code through a capture
            int floor = 0;
            bool draw = false;
            PositionRules::ForEachStep(
                mover, opponent,
                [&](int, int, int, std::uint16_t after, std::uint16_t opponentAfter) {
                    ++steps;
                    if (opponentAfter == opponent) {
                        if (symmetricChild) quiet[quietCount] = CanonicalLocal(child, after, o, m);
                        ++quietCount;
                        return;
                    }
                    const int left = PositionIndex::popcount16(opponentAfter);
                    if (left <= 1) {
                        win = std::min(win, 2);
                        return;
                    }
                    const std::uint8_t code = table_[storedOffset_[left][m] +
                                                     CanonicalLocal(opponentAfter, after, left, m)];
                    if (code == 0) {
                        draw = true;
                    } else if (IsLossCode(code)) {
                        win = std::min(win, code + 1);
                    } else {
                        floor = std::max(floor, code + 1);
                    }
                });
            const int open = symmetricChild ? Distinct(quiet.data(), quietCount) : quietCount;
            std::uint8_t flags = static_cast<std::uint8_t>(open);
            if (win <= kMaxCode) {
                table[local] = static_cast<std::uint8_t>(win);
                marks.Mark(win);
                flags |= kCannotLose;
            } else if (draw) {
                flags |= kCannotLose;
            } else if (open == 0) {
                const int code = steps == 0 ? 1 : floor;
                if (code > kMaxCode) {
                    overflow = true;
                } else {
                    table[local] = static_cast<std::uint8_t>(code);
                    marks.Mark(code);
                }
            }
            counter[local] = flags;
            lossFloor[local] = static_cast<std::uint8_t>(std::min(floor, kMaxCode));
            if (floor > kMaxCode && win > kMaxCode && !draw) overflow = true;
        }
    }
    return overflow;
}

template <bool kShared>
void Solver::Propagate(Group& group, int part, std::uint32_t local, std::uint8_t code,
                       Marks& marks) {
    const int m = group.movers[part], o = group.opponents[part];
    const std::uint32_t per = group.per[part];
    const std::uint16_t mover = index_.SetOfRank(m, canonicalRows_[m][local / per]);
    const std::uint16_t opponent =
        index_.Spread(index_.SetOfRank(o, local % per), static_cast<std::uint16_t>(~mover));
    // Predecessors sit in slice (o, m): the opponent moved last.
    const int back = group.PartOf(o, m);
    std::uint8_t* counter = group.counter[back];
    const std::uint8_t* lossFloor = group.lossFloor[back];
    std::uint8_t* table = group.table[back];
    const int next = code + 1;
    if (IsLossCode(code)) {
        PositionRules::ForEachQuietUnstep(mover, opponent, [&](std::uint16_t previous) {
            const std::uint32_t q = CanonicalLocal(previous, mover, o, m);
            // Codes up to `code` are final; a larger one is a pending win that may improve.
            const std::uint8_t old = Load<kShared>(table[q]);
            if (old == 0 || old > next) {
                Store<kShared>(table[q], static_cast<std::uint8_t>(next));
                if constexpr (kShared) {
                    std::atomic_ref<std::uint8_t>(counter[q])
                        .fetch_or(kCannotLose, std::memory_order_relaxed);
                } else {
                    counter[q] |= kCannotLose;
                }
                marks.Mark(next);
            }
        });
        return;
    }
    // A won position closes one open class of successors of each predecessor class, once
    // however many of its steps lead into this position's class.
    std::array<std::uint32_t, 24> previousClasses;
    int count = 0;
    PositionRules::ForEachQuietUnstep(mover, opponent, [&](std::uint16_t previous) {
        previousClasses[count++] = CanonicalLocal(previous, mover, o, m);
    });
    // Distinct predecessors can share a class only through a symmetry that keeps `mover`.
    if (!Asymmetric(symmetry_.SmallestMaps(mover))) count = Distinct(previousClasses.data(), count);
    for (int i = 0; i < count; ++i) {
        const std::uint32_t q = previousClasses[i];
        if (Load<kShared>(counter[q]) & kCannotLose) continue;
        std::uint8_t left = 0;
        if constexpr (kShared) {
            left = static_cast<std::uint8_t>(
                std::atomic_ref<std::uint8_t>(counter[q]).fetch_sub(1, std::memory_order_relaxed) -
                1);
        } else {
            left = --counter[q];
        }
        if (left == 0) {
            const int lossCode = std::max<int>(lossFloor[q], next);
            Store<kShared>(table[q], static_cast<std::uint8_t>(std::min(lossCode, kMaxCode)));
            marks.Mark(lossCode);
        }
    }
}

void Solver::SolveGroup(int m, int o, int threads, std::uint8_t* scratch,
                        std::uint32_t scratchSlice) {
    Group group;
    group.m = m;
    group.o = o;
    group.parts = m == o ? 1 : 2;
    group.threads = threads;
    group.movers = {m, o};
    group.opponents = {o, m};
    for (int part = 0; part < group.parts; ++part) {
        const int sm = group.movers[part], so = group.opponents[part];
        group.table[part] = table_.data() + storedOffset_[sm][so];
        group.per[part] = index_.Binomial(PositionIndex::kPoints - sm, so);
        // Only the representatives' bytes are used, and initialisation writes all of them.
        group.counter[part] = scratch + (2 * part) * scratchSlice;
        group.lossFloor[part] = scratch + (2 * part + 1) * scratchSlice;
    }
    group.marks.resize(threads);
    group.frontier.resize(threads);
    group.overflow.assign(threads, 0);

    // Level by level: every entry holding code c is final when level c is reached, because
    // propagation from level c only writes codes above c. Each level first collects the
    // entries of code c (each thread a share of the rows), then each thread propagates the
    // entries it collected.
    auto nextLevel = [&group]() noexcept {
        Marks all;
        for (const Marks& marks : group.marks) all.Merge(marks);
        int code = group.code + 1;
        while (code <= kMaxCode && !all.pending[code]) ++code;
        group.code = code;
    };
    std::barrier collected(threads);
    std::barrier levelDone(threads, nextLevel);
    auto work = [&](int thread, auto shared) {
        constexpr bool kShared = decltype(shared)::value;
        Marks& marks = group.marks[thread];
        bool overflow = false;
        for (int part = 0; part < group.parts; ++part) {
            overflow = InitialiseSlice(group, part, thread, marks) || overflow;
        }
        levelDone.arrive_and_wait();
        std::vector<std::uint32_t>& frontier = group.frontier[thread];
        while (group.code <= kMaxCode) {
            const auto code = static_cast<std::uint8_t>(group.code);
            frontier.clear();
            for (int part = 0; part < group.parts; ++part) {
                const std::uint32_t per = group.per[part];
                const auto& rows = canonicalRows_[group.movers[part]];
                const std::uint8_t* table = group.table[part];
                const std::uint32_t tag = part == 0 ? 0 : kPartBit;
                for (std::size_t row = thread; row < rows.size(); row += group.threads) {
                    const std::uint8_t* begin = table + row * per;
                    const std::uint8_t* end = begin + per;
                    for (const std::uint8_t* p = begin;
                         (p = static_cast<const std::uint8_t*>(std::memchr(p, code, end - p)));
                         ++p) {
                        frontier.push_back(static_cast<std::uint32_t>(p - table) | tag);
                    }
                }
            }
            collected.arrive_and_wait();
            for (std::uint32_t entry : frontier) {
                Propagate<kShared>(group, (entry & kPartBit) ? 1 : 0, entry & ~kPartBit, code,
                                   marks);
            }
            levelDone.arrive_and_wait();
        }
        group.overflow[thread] = overflow || marks.overflow;
    };
    std::vector<std::thread> helpers;
    for (int thread = 1; thread < threads; ++thread) {
        helpers.emplace_back([&, thread] { work(thread, std::true_type{}); });
    }
    if (threads > 1) {
        work(0, std::true_type{});
    } else {
        work(0, std::false_type{});
    }
    for (auto& helper : helpers) helper.join();
    for (char overflow : group.overflow) {
        if (overflow) throw std::runtime_error("position distance exceeds the table range");
    }
}

void Solver::SolveForwardSweep(int maxTotal, const Progress& progress) {
    table_.assign(storedTotal_, 0);
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
            std::uint8_t* table = table_.data() + storedOffset_[sm][so];
            const std::uint32_t per = index_.Binomial(PositionIndex::kPoints - sm, so);
            const auto& rows = canonicalRows_[sm];
            for (std::uint32_t local = 0, n = static_cast<std::uint32_t>(rows.size()) * per;
                 local < n; ++local) {
                if (table[local] != 0) continue;
                const std::uint16_t mover = index_.SetOfRank(sm, rows[local / per]);
                const std::uint16_t opponent = index_.Spread(index_.SetOfRank(so, local % per),
                                                             static_cast<std::uint16_t>(~mover));
                if (!symmetry_.IsCanonical(mover, opponent)) continue;
                int bestLoss = kMaxCode + 1, worstWin = 0;
                bool open = false;
                PositionRules::ForEachStep(
                    mover, opponent,
                    [&](int, int, int, std::uint16_t after, std::uint16_t opponentAfter) {
                        int child = 1;  // an opponent left with one piece has lost
                        if (PositionIndex::popcount16(opponentAfter) >= 2) {
                            child = table_[StoredIndex(opponentAfter, after)];
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

}  // namespace kelvara

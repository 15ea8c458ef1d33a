#include "Solver.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <stdexcept>
#include <utility>

#include "ChunkPool.h"
#include "PositionRules.h"

namespace kelvara {

namespace {

// Counter byte of a position during the solve of its group: the number of distinct classes of
// quiet successors whose outcome is still open, and this flag once the position can no longer
// be lost (it has a step into a lost or drawn position).
constexpr std::uint8_t kCannotLose = 0x80;
constexpr int kMaxCode = 255;

// Levels with fewer entries are propagated by one thread: sharing them costs more than it saves.
constexpr std::size_t kSharedLevel = 4096;
// Entries of a shared level per chunk, and table columns per chunk of initialisation.
constexpr std::size_t kLevelChunk = 512;
constexpr std::uint32_t kInitialiseChunk = 4096;

bool IsLossCode(std::uint8_t code) {
    return (code & 1u) != 0;
}

// An entry of the group being solved: its part (slice) in bit 31, kPendingBit in bit 30,
// stored row in bits 16..29, column (opponent set's rank) in bits 0..15.
constexpr std::uint32_t kPartBit = 0x80000000u;
// Set on a win queued by initialisation (through a capture): propagation may still find a
// faster one, so the entry's code is checked again when its level comes. Every other queued
// code is final when it is queued.
constexpr std::uint32_t kPendingBit = 0x40000000u;
constexpr std::uint32_t kRowMask = 0x3FFFu;

std::uint32_t Entry(int part, std::uint32_t row, std::uint32_t column) {
    return (part != 0 ? kPartBit : 0) | (row << 16) | column;
}

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

// The record of an entry while its group is solved: its code in the high byte, its counter
// byte (see kCannotLose) in the low byte, so that one access reads or changes both.
constexpr std::uint16_t CodeOf(std::uint16_t record) {
    return static_cast<std::uint16_t>(record >> 8);
}
constexpr std::uint16_t Record(int code, int counter) {
    return static_cast<std::uint16_t>((code << 8) | counter);
}

template <bool kShared>
std::uint16_t Load(const std::uint16_t& record) {
    if constexpr (kShared) {
        return std::atomic_ref<const std::uint16_t>(record).load(std::memory_order_relaxed);
    } else {
        return record;
    }
}

template <bool kShared>
void Store(std::uint16_t& record, std::uint16_t value) {
    if constexpr (kShared) {
        std::atomic_ref<std::uint16_t>(record).store(value, std::memory_order_relaxed);
    } else {
        record = value;
    }
}

// Makes the entry a win with `code` unless it already has that or a faster one, and marks it
// as one that cannot be lost; true for the one caller that changed it.
template <bool kShared>
bool LowerWin(std::uint16_t& record, int code) {
    auto better = [code](std::uint16_t r) { return CodeOf(r) == 0 || CodeOf(r) > code; };
    auto won = [code](std::uint16_t r) { return Record(code, (r & 0xFFu) | kCannotLose); };
    if constexpr (kShared) {
        std::atomic_ref<std::uint16_t> ref(record);
        std::uint16_t old = ref.load(std::memory_order_relaxed);
        while (better(old)) {
            if (ref.compare_exchange_weak(old, won(old), std::memory_order_relaxed)) return true;
        }
        return false;
    } else {
        if (!better(record)) return false;
        record = won(record);
        return true;
    }
}

// Closes one open class of successors; the counter that was there before.
template <bool kShared>
std::uint8_t CloseOne(std::uint16_t& record) {
    if constexpr (kShared) {
        return static_cast<std::uint8_t>(
            std::atomic_ref<std::uint16_t>(record).fetch_sub(1, std::memory_order_relaxed));
    } else {
        return static_cast<std::uint8_t>(record--);
    }
}

// Bit squeeze, spread and count: by the processor's own instructions (pext, pdep, popcnt) when
// it has them, checked at run time, else by PositionIndex's tables. The instructions are
// written out so that the rest of the program needs no special compiler flags.
struct TableBits {
    static std::uint16_t Squeeze(std::uint16_t x, std::uint16_t mask) {
        return PositionIndex::Get().Squeeze(x, mask);
    }
    static std::uint16_t Spread(std::uint16_t x, std::uint16_t mask) {
        return PositionIndex::Get().Spread(x, mask);
    }
    static int Count(std::uint16_t x) { return PositionIndex::popcount16(x); }
};

#if defined(__x86_64__)
struct InstructionBits {
    static std::uint16_t Squeeze(std::uint16_t x, std::uint16_t mask) {
        unsigned out;
        asm("pextl %2, %1, %0" : "=r"(out) : "r"(unsigned{x}), "r"(unsigned{mask}));
        return static_cast<std::uint16_t>(out);
    }
    static std::uint16_t Spread(std::uint16_t x, std::uint16_t mask) {
        unsigned out;
        asm("pdepl %2, %1, %0" : "=r"(out) : "r"(unsigned{x}), "r"(unsigned{mask}));
        return static_cast<std::uint16_t>(out);
    }
    static int Count(std::uint16_t x) {
        unsigned out;
        asm("popcntl %1, %0" : "=r"(out) : "r"(unsigned{x}));
        return static_cast<int>(out);
    }
};
#else
using InstructionBits = TableBits;
#endif

// One step of a row's mover set, with what it can capture: the step takes enemy[k] when the
// opponent's pieces on line[k] are exactly enemy[k] (two movers side by side, that enemy
// piece beyond one end, the fourth point empty).
struct RowStep {
    std::uint16_t to = 0;
    std::uint16_t after = 0;
    int patterns = 0;
    std::array<std::uint16_t, 4> line{};
    std::array<std::uint16_t, 4> enemy{};

    std::uint16_t Captured(std::uint16_t opponent) const {
        std::uint16_t taken = 0;
        for (int k = 0; k < patterns; ++k) {
            taken |= (opponent & line[k]) == enemy[k] ? enemy[k] : 0;
        }
        return taken;
    }
};

// Every step of a mover set, found once per row: a step's destination, its mover set after
// and its capture patterns do not depend on the opponent, only whether the destination is free.
struct RowSteps {
    std::array<RowStep, 24> steps;
    int count = 0;
    // Steps with capture patterns, by their place in `steps`.
    std::array<std::uint8_t, 24> capturing{};
    int capturingCount = 0;
    // Per direction: the destinations off the mover's own points.
    std::array<std::uint16_t, 4> destinations{};

    explicit RowSteps(std::uint16_t mover) {
        const auto& t = position_detail::kRuleTable;
        for (int d = 0; d < 4; ++d) {
            const int shift = t.stepShift[d];
            for (unsigned from = mover & t.stepFrom[d]; from != 0; from &= from - 1) {
                const int origin = __builtin_ctz(from);
                const int to = origin + shift;
                if ((mover >> to) & 1u) continue;
                destinations[d] = static_cast<std::uint16_t>(destinations[d] | (1u << to));
                RowStep& step = steps[count];
                step.to = static_cast<std::uint16_t>(1u << to);
                step.after = static_cast<std::uint16_t>((mover & ~(1u << origin)) | step.to);
                const int x = to & 3, y = to >> 2;
                AddPatterns(step, PositionRules::Column(step.after, x),
                            static_cast<std::uint16_t>(0x1111u << x), x, 4);
                AddPatterns(step, (step.after >> (4 * y)) & 0xFu,
                            static_cast<std::uint16_t>(0xFu << (4 * y)), 4 * y, 1);
                if (step.patterns > 0)
                    capturing[capturingCount++] = static_cast<std::uint8_t>(count);
                ++count;
            }
        }
    }

    // Legal steps against `opponent`: those whose destination it leaves free.
    template <class Bits>
    int Legal(std::uint16_t opponent) const {
        const auto free = static_cast<std::uint16_t>(~opponent);
        return Bits::Count(destinations[0] & free) + Bits::Count(destinations[1] & free) +
               Bits::Count(destinations[2] & free) + Bits::Count(destinations[3] & free);
    }

  private:
    // The line's point k is bit first + k * stride; `movers` are the mover's four bits on it.
    static void AddPatterns(RowStep& step, unsigned movers, std::uint16_t line, int first,
                            int stride) {
        const auto& t = position_detail::kRuleTable;
        for (int k = 0; k < 4; ++k) {
            if ((movers >> k) & 1u) continue;
            if (t.lineCapture[(movers << 4) | (1u << k)] < 0) continue;
            step.line[step.patterns] = line;
            step.enemy[step.patterns] = static_cast<std::uint16_t>(1u << (first + k * stride));
            ++step.patterns;
        }
    }
};

// The pieces of `stepper` onto which a step of its own would capture nothing from `victim`:
// those outside every row and column that shows a capture pattern (the stepper's two pieces
// side by side in it, one victim piece beyond them, the fourth point empty). Columns are read
// as the rows of the transposed sets.
std::uint16_t QuietArrivals(std::uint16_t stepper, std::uint16_t victim) {
    auto patterned = [](unsigned s, unsigned v, int line) {
        const unsigned key = (((s >> (4 * line)) & 0xFu) << 4) | ((v >> (4 * line)) & 0xFu);
        return position_detail::kRuleTable.lineCapture[key] >= 0;
    };
    unsigned quiet = stepper;
    for (int y = 0; y < 4; ++y) {
        if (patterned(stepper, victim, y)) quiet &= ~(0xFu << (4 * y));
    }
    const unsigned ts = PositionRules::Transposed(stepper), tv = PositionRules::Transposed(victim);
    for (int x = 0; x < 4; ++x) {
        if (patterned(ts, tv, x)) quiet &= ~(0x1111u << x);
    }
    return static_cast<std::uint16_t>(quiet);
}

// Next larger set with the same number of points (the next set in colex order).
std::uint16_t NextCombination(std::uint32_t set) {
    const std::uint32_t lowest = set & (~set + 1);
    const std::uint32_t ripple = set + lowest;
    return static_cast<std::uint16_t>(ripple | (((ripple ^ set) >> 2) >> __builtin_ctz(set)));
}

}  // namespace

// Entries waiting for their level, per code, of one thread; and whether a code overflowed.
struct Solver::Queues {
    std::array<std::vector<std::uint32_t>, kMaxCode + 1> level;
    bool overflow = false;

    void Push(int code, std::uint32_t entry) {
        if (code > kMaxCode) {
            overflow = true;
        } else {
            level[code].push_back(entry);
        }
    }
};

// One group being solved: slice (m, o) is part 0, slice (o, m) part 1 when it differs.
struct Solver::Group {
    int m = 0, o = 0;
    int parts = 1;
    std::array<int, 2> movers{}, opponents{};
    std::array<std::uint8_t*, 2> table{};
    std::array<std::uint32_t, 2> per{};
    // Record of each entry (see Record), indexed like the stored table.
    std::array<std::uint16_t*, 2> record{};
    // Loss code the position gets if every quiet step turns out won for the opponent: one
    // more than the highest code among its capturing steps (all of them won by the opponent).
    std::array<std::uint8_t*, 2> lossFloor{};

    int PartOf(int mm, int oo) const { return (mm == m && oo == o) ? 0 : 1; }
    std::uint32_t Local(std::uint32_t entry) const {
        const int part = (entry & kPartBit) ? 1 : 0;
        return ((entry >> 16) & kRowMask) * per[part] + (entry & 0xFFFFu);
    }
};

void Solver::Solve(int threads, int maxTotal, const Progress& progress) {
    table_.assign(storedTotal_, 0);
    solvedTotal_ = 0;
    // Records and loss floors of the group being solved: three bytes per stored entry of each
    // of its two slices, reused by every group and left uninitialised (see SolveGroup).
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
    const auto records = std::make_unique_for_overwrite<std::uint16_t[]>(2 * scratchSlice);
    const auto floors = std::make_unique_for_overwrite<std::uint8_t[]>(2 * scratchSlice);
    ChunkPool pool(std::max(1, threads));
    const bool instructions = bitInstructions_ && BitInstructionsAvailable();
    std::vector<Queues> queues(pool.Threads());
    std::uint64_t done = 0;
    for (int total = kMinTotal; total <= std::min(maxTotal, kMaxTotal); ++total) {
        for (int m = PositionIndex::kMinPieces; m <= total / 2; ++m) {
            const int o = total - m;
            if (!PositionIndex::InRange(o)) continue;
            const std::array<std::uint16_t*, 2> record{records.get(), records.get() + scratchSlice};
            const std::array<std::uint8_t*, 2> floor{floors.get(), floors.get() + scratchSlice};
            if (instructions) {
                SolveGroup<InstructionBits>(m, o, pool, queues, record, floor);
            } else {
                SolveGroup<TableBits>(m, o, pool, queues, record, floor);
            }
            done += index_.SliceSize(m, o) + (m == o ? 0 : index_.SliceSize(o, m));
            if (progress) progress(static_cast<double>(done) / index_.TotalSize());
        }
        solvedTotal_ = total;
    }
}

bool Solver::BitInstructionsAvailable() {
#if defined(__x86_64__)
    return __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
#else
    return false;
#endif
}

template <class Bits>
std::uint32_t Solver::Column(const SetClass& mover, std::uint16_t opponent) const {
    const std::uint16_t co = Asymmetric(mover.maps)
                                 ? symmetry_.Transform(opponent, __builtin_ctz(mover.maps))
                                 : symmetry_.SmallestUnder(opponent, mover.maps);
    return index_.Rank(Bits::Squeeze(co, static_cast<std::uint16_t>(~mover.smallest)));
}

template <class Bits>
void Solver::InitialiseRows(Group& group, int part, std::uint32_t rowBegin, std::uint32_t rowEnd,
                            Queues& queues) {
    const int m = group.movers[part], o = group.opponents[part];
    std::uint16_t* record = group.record[part];
    std::uint8_t* lossFloor = group.lossFloor[part];
    const std::uint32_t per = group.per[part];
    for (std::uint32_t row = rowBegin; row < rowEnd; ++row) {
        const std::uint16_t mover = rowSets_[m][row];
        const std::uint8_t stabiliser = symmetry_.SmallestMaps(mover);
        const auto free = static_cast<std::uint16_t>(~mover);
        const RowSteps steps(mover);
        std::uint32_t squeezed = (1u << o) - 1;
        for (std::uint32_t column = 0; column < per;
             ++column, squeezed = NextCombination(squeezed)) {
            const std::uint16_t opponent = Bits::Spread(static_cast<std::uint16_t>(squeezed), free);
            const std::uint32_t local = row * per + column;
            if (stabiliser != 1 && symmetry_.SmallestUnder(opponent, stabiliser) != opponent) {
                record[local] = 0;  // never read, stored as 0
                continue;
            }
            // Every quiet step leads to a position whose mover set is `opponent`.
            const SetClass& child = ClassOf(opponent);
            int win = kMaxCode + 1;  // best win code through a capture
            int floor = 0;
            bool draw = false;
            auto capture = [&](const RowStep& step, std::uint16_t taken) {
                const auto left = static_cast<std::uint16_t>(opponent & ~taken);
                const int count = Bits::Count(left);
                if (count <= 1) {
                    win = std::min(win, 2);
                    return;
                }
                const SetClass& c = ClassOf(left);
                const std::uint8_t code =
                    table_[storedOffset_[count][m] + c.row * index_.Binomial(16 - count, m) +
                           Column<Bits>(c, step.after)];
                if (code == 0) {
                    draw = true;
                } else if (IsLossCode(code)) {
                    win = std::min(win, code + 1);
                } else {
                    floor = std::max(floor, code + 1);
                }
            };
            const int legal = steps.Legal<Bits>(opponent);
            int open = 0;
            if (Asymmetric(child.maps)) {
                // Distinct quiet steps lead to distinct classes: only captures need looking at.
                int captures = 0;
                for (int k = 0; k < steps.capturingCount; ++k) {
                    const RowStep& step = steps.steps[steps.capturing[k]];
                    const std::uint16_t taken = step.Captured(opponent);
                    if (taken == 0) continue;
                    ++captures;
                    capture(step, taken);
                }
                open = legal - captures;
            } else {
                std::array<std::uint32_t, 24> quiet;
                for (int k = 0; k < steps.count; ++k) {
                    const RowStep& step = steps.steps[k];
                    if (opponent & step.to) continue;
                    const std::uint16_t taken = step.Captured(opponent);
                    if (taken != 0) {
                        capture(step, taken);
                    } else {
                        quiet[open++] = Column<Bits>(child, step.after);
                    }
                }
                open = Distinct(quiet.data(), open);
            }
            int flags = open, code = 0;
            if (win <= kMaxCode) {
                code = win;
                flags |= kCannotLose;
            } else if (draw) {
                flags |= kCannotLose;
            } else if (open == 0) {
                code = legal == 0 ? 1 : floor;
            }
            if (code != 0) {
                const std::uint32_t pending = win <= kMaxCode ? kPendingBit : 0;
                queues.Push(code, Entry(part, row, column) | pending);
            }
            record[local] = Record(std::min(code, kMaxCode), flags);
            lossFloor[local] = static_cast<std::uint8_t>(std::min(floor, kMaxCode));
            if (floor > kMaxCode && win > kMaxCode && !draw) queues.overflow = true;
        }
    }
}

template <bool kShared, class Bits>
void Solver::Propagate(Group& group, std::uint32_t entry, std::uint8_t code, Queues& queues) {
    const int part = (entry & kPartBit) ? 1 : 0;
    // An entry whose pending win was improved later waits at its better level instead.
    if ((entry & kPendingBit) != 0 &&
        CodeOf(Load<kShared>(group.record[part][group.Local(entry)])) != code) {
        return;
    }
    const int m = group.movers[part], o = group.opponents[part];
    const std::uint16_t mover = rowSets_[m][(entry >> 16) & kRowMask];
    const std::uint16_t opponent =
        Bits::Spread(index_.SetOfRank(o, entry & 0xFFFFu), static_cast<std::uint16_t>(~mover));
    // Predecessors sit in slice (o, m): the opponent moved last.
    const int back = group.PartOf(o, m);
    const std::uint32_t backTag = back != 0 ? kPartBit : 0;
    std::uint16_t* record = group.record[back];
    const std::uint8_t* lossFloor = group.lossFloor[back];
    const int next = code + 1;
    // The opponent's sets before its quiet steps into this position: gathered without
    // branches on the board's contents, since a piece's four origins are tested side by side.
    std::array<std::uint16_t, 24> sets;
    int count = 0;
    const auto empty = static_cast<std::uint16_t>(~(mover | opponent));
    // A step that captured came from a position with more mover pieces: only pieces outside
    // every line with a capture pattern can have stepped in quietly.
    for (unsigned pieces = QuietArrivals(opponent, mover); pieces != 0; pieces &= pieces - 1) {
        const int to = __builtin_ctz(pieces);
        const unsigned arrived = 1u << to;
        const unsigned stayed = opponent ^ arrived;
        const std::array<unsigned, 4> origins = {(arrived << 4) & empty, arrived >> 4 & empty,
                                                 ((arrived & 0xEEEEu) >> 1) & empty,
                                                 ((arrived & 0x7777u) << 1) & empty};
        for (unsigned origin : origins) {
            sets[count] = static_cast<std::uint16_t>(stayed | origin);
            count += origin != 0 ? 1 : 0;
        }
    }
    // Each predecessor's class, as an entry of the other part and as a stored index there. In
    // all of them `mover` is the opponent set, so its eight images are taken once, ahead.
    std::array<std::uint16_t, PositionSymmetry::kCount> images;
    for (int g = 0; g < PositionSymmetry::kCount; ++g) images[g] = symmetry_.Transform(mover, g);
    std::array<std::uint32_t, 24> previous, local;
    const std::uint32_t per = group.per[back];
    for (int i = 0; i < count; ++i) {
        const SetClass& c = ClassOf(sets[i]);
        std::uint16_t co = images[__builtin_ctz(c.maps)];
        if (!Asymmetric(c.maps)) {
            for (unsigned g = c.maps & (c.maps - 1); g != 0; g &= g - 1) {
                co = std::min(co, images[__builtin_ctz(g)]);
            }
        }
        const std::uint32_t column =
            index_.Rank(Bits::Squeeze(co, static_cast<std::uint16_t>(~c.smallest)));
        previous[i] = backTag | (std::uint32_t{c.row} << 16) | column;
        local[i] = c.row * per + column;
        __builtin_prefetch(&record[local[i]]);
    }
    if (IsLossCode(code)) {
        for (int i = 0; i < count; ++i) {
            // Codes up to `code` are final; a larger one is a pending win that may improve.
            if (LowerWin<kShared>(record[local[i]], next)) queues.Push(next, previous[i]);
        }
        return;
    }
    // A won position closes one open class of successors of each predecessor class, once
    // however many of its steps lead into this position's class. Distinct predecessors can
    // share a class only through a symmetry that keeps `mover`.
    if (!Asymmetric(symmetry_.SmallestMaps(mover))) {
        count = Distinct(previous.data(), count);
        for (int i = 0; i < count; ++i) local[i] = group.Local(previous[i]);
    }
    for (int i = 0; i < count; ++i) {
        const std::uint32_t q = local[i];
        // Within a level of wins nothing sets kCannotLose, so the flag read stays true.
        if (Load<kShared>(record[q]) & kCannotLose) continue;
        if (CloseOne<kShared>(record[q]) == 1) {
            // The last open class: lost, and no other thread touches the record again.
            const int lossCode = std::max<int>(lossFloor[q], next);
            Store<kShared>(record[q], Record(std::min(lossCode, kMaxCode), 0));
            queues.Push(lossCode, previous[i]);
        }
    }
}

template <class Bits>
void Solver::SolveGroup(int m, int o, ChunkPool& pool, std::vector<Queues>& queues,
                        std::array<std::uint16_t*, 2> records,
                        std::array<std::uint8_t*, 2> floors) {
    Group group;
    group.m = m;
    group.o = o;
    group.parts = m == o ? 1 : 2;
    group.movers = {m, o};
    group.opponents = {o, m};
    // Initialisation in chunks of whole rows: (part, first row, end row).
    std::vector<std::array<std::uint32_t, 3>> rowChunks;
    for (int part = 0; part < group.parts; ++part) {
        const int sm = group.movers[part], so = group.opponents[part];
        group.table[part] = table_.data() + storedOffset_[sm][so];
        group.per[part] = index_.Binomial(PositionIndex::kPoints - sm, so);
        // Initialisation writes every record, and the floor of every representative.
        group.record[part] = records[part];
        group.lossFloor[part] = floors[part];
        const auto rows = static_cast<std::uint32_t>(rowSets_[sm].size());
        const std::uint32_t step = std::max<std::uint32_t>(1, kInitialiseChunk / group.per[part]);
        for (std::uint32_t row = 0; row < rows; row += step) {
            rowChunks.push_back(
                {static_cast<std::uint32_t>(part), row, std::min(rows, row + step)});
        }
    }
    for (Queues& q : queues) q.overflow = false;
    pool.Run(static_cast<std::uint32_t>(rowChunks.size()), [&](int thread, std::uint32_t chunk) {
        const auto& [part, begin, end] = rowChunks[chunk];
        InitialiseRows<Bits>(group, static_cast<int>(part), begin, end, queues[thread]);
    });

    // Level by level: every entry holding code c is final when level c is reached, because
    // propagation from level c only writes codes above c. The entries of a level are those
    // queued at its code by any thread; a large level is shared out in chunks.
    std::vector<std::uint32_t> level;
    for (int code = 1; code <= kMaxCode; ++code) {
        level.clear();
        for (Queues& q : queues) {
            level.insert(level.end(), q.level[code].begin(), q.level[code].end());
            q.level[code].clear();
        }
        if (level.empty()) continue;
        const auto c = static_cast<std::uint8_t>(code);
        if (pool.Threads() == 1 || level.size() < kSharedLevel) {
            for (std::uint32_t entry : level) Propagate<false, Bits>(group, entry, c, queues[0]);
            continue;
        }
        const auto chunks =
            static_cast<std::uint32_t>((level.size() + kLevelChunk - 1) / kLevelChunk);
        pool.Run(chunks, [&](int thread, std::uint32_t chunk) {
            const std::size_t begin = chunk * kLevelChunk;
            const std::size_t end = std::min(level.size(), begin + kLevelChunk);
            for (std::size_t i = begin; i < end; ++i) {
                Propagate<true, Bits>(group, level[i], c, queues[thread]);
            }
        });
    }
    for (const Queues& q : queues) {
        if (q.overflow) throw std::runtime_error("position distance exceeds the table range");
    }
    for (int part = 0; part < group.parts; ++part) {
        const std::uint32_t size =
            static_cast<std::uint32_t>(rowSets_[group.movers[part]].size()) * group.per[part];
        const std::uint16_t* record = group.record[part];
        std::uint8_t* table = group.table[part];
        for (std::uint32_t i = 0; i < size; ++i)
            table[i] = static_cast<std::uint8_t>(CodeOf(record[i]));
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

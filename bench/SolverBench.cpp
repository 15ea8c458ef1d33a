#include <benchmark/benchmark.h>

#include "PerfectPlayer.h"
#include "PositionIndex.h"
#include "Solver.h"

namespace {

// Arguments: threads, and 1 for the processor's bit instructions (where it has them) or 0 for
// the portable table look-ups.
void BM_FullRetrogradeSolve(benchmark::State& state) {
    const int threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        kelvara::Solver solver;
        solver.UseBitInstructions(state.range(1) != 0);
        solver.Solve(threads);
        benchmark::DoNotOptimize(solver.Table().data());
    }
    // Two game positions (either colour to move) per table entry.
    state.counters["positions/s"] =
        benchmark::Counter(2.0 * kelvara::PositionIndex::Get().TotalSize() * state.iterations(),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullRetrogradeSolve)
    ->Args({1, 1})
    ->Args({2, 1})
    ->Args({1, 0})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Both methods on the slices of at most 8 pieces, where the sweep still finishes quickly.
void BM_RetrogradeUpTo8(benchmark::State& state) {
    for (auto _ : state) {
        kelvara::Solver solver;
        solver.Solve(1, 8);
        benchmark::DoNotOptimize(solver.Table().data());
    }
}
// The figures counted over a solved table, apart from the solve.
void BM_Census(benchmark::State& state) {
    kelvara::Solver solver;
    solver.Solve(2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(solver.Census().entries);
    }
}
BENCHMARK(BM_Census)->Iterations(3)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_RetrogradeUpTo8)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ForwardSweepUpTo8(benchmark::State& state) {
    for (auto _ : state) {
        kelvara::Solver solver;
        solver.SolveForwardSweep(8);
        benchmark::DoNotOptimize(solver.Table().data());
    }
}
BENCHMARK(BM_ForwardSweepUpTo8)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PerfectMove(benchmark::State& state) {
    static const kelvara::Solver solver = [] {
        kelvara::Solver s;
        s.Solve(2);
        return s;
    }();
    const kelvara::PerfectPlayer player(solver);
    for (auto _ : state) {
        benchmark::DoNotOptimize(player.PerfectMove("bbbbb..bw..wwwww", 0));
    }
}
BENCHMARK(BM_PerfectMove);

}  // namespace

BENCHMARK_MAIN();

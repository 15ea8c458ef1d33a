// Hints and analysis once the table is ready, and how long the table takes to be ready.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <mutex>
#include <random>
#include <vector>

#include "Board.h"
#include "BoardBridge.h"
#include "GameAnalysis.h"
#include "HintText.h"
#include "TableService.h"

namespace {

const kelvara::SolvedTable& Table() {
    static kelvara::TableService service(2);
    return *service.Wait();
}

// Mid-game boards with both sides to move and a game still going.
std::vector<std::pair<kelvara::Board, kelvara::CellCode>> Positions() {
    std::vector<std::pair<kelvara::Board, kelvara::CellCode>> positions;
    std::mt19937 rng(2026);
    while (positions.size() < 256) {
        kelvara::SolverPosition p;
        for (int point = 0; point < 16; ++point) {
            const unsigned r = rng() % 3;
            if (r == 0 && __builtin_popcount(p.black) < 6) p.black |= 1u << point;
            if (r == 1 && __builtin_popcount(p.white) < 6) p.white |= 1u << point;
        }
        p.side = positions.size() % 2 == 0 ? kelvara::Black : kelvara::White;
        const kelvara::Board board = kelvara::BoardBridge::ToBoard(p);
        if (board.Winner(p.side) == kelvara::Empty) positions.emplace_back(board, p.side);
    }
    return positions;
}

void BM_HintWithText(benchmark::State& state) {
    const kelvara::GameAnalysis analysis(Table());
    const auto positions = Positions();
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [board, side] = positions[i++ % positions.size()];
        kelvara::StepOutcome hint;
        analysis.Hint(board, side, hint);
        benchmark::DoNotOptimize(kelvara::HintText::Hint(hint));
    }
}
BENCHMARK(BM_HintWithText)->Unit(benchmark::kMicrosecond);

void BM_AnalyseWithLabels(benchmark::State& state) {
    const kelvara::GameAnalysis analysis(Table());
    const auto positions = Positions();
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [board, side] = positions[i++ % positions.size()];
        for (const kelvara::StepOutcome& step : analysis.Analyse(board, side)) {
            benchmark::DoNotOptimize(kelvara::HintText::Label(step.value));
        }
    }
}
BENCHMARK(BM_AnalyseWithLabels)->Unit(benchmark::kMicrosecond);

// From creating the service and starting it to the ready callback, as at program start.
void BM_TableReadyAfterStart(benchmark::State& state) {
    for (auto _ : state) {
        kelvara::TableService service(2);
        std::mutex mutex;
        std::condition_variable ready;
        bool done = false;
        service.OnReady([&] {
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
            ready.notify_all();
        });
        service.Start();
        std::unique_lock<std::mutex> lock(mutex);
        ready.wait(lock, [&] { return done; });
    }
}
BENCHMARK(BM_TableReadyAfterStart)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

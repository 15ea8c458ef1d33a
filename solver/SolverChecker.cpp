#include "SolverChecker.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "PositionRules.h"

namespace kelvara {

int SolverChecker::Derive(const SolvedTable& solver, std::uint16_t mover, std::uint16_t opponent) {
    int bestLoss = -1, worstWin = 0;
    bool draw = false, any = false;
    PositionRules::ForEachStep(
        mover, opponent, [&](int, int, int, std::uint16_t after, std::uint16_t opponentAfter) {
            any = true;
            const int child = solver.ValueOf(opponentAfter, after).Code();
            if (child == 0) {
                draw = true;
            } else if (child % 2 == 1) {
                bestLoss = bestLoss < 0 ? child : std::min(bestLoss, child);
            } else {
                worstWin = std::max(worstWin, child);
            }
        });
    if (!any) return 1;
    if (bestLoss >= 0) return bestLoss + 1;
    if (draw) return 0;
    return worstWin + 1;
}

SolverCheckReport SolverChecker::Check(const SolvedTable& solver, int threads) {
    const PositionIndex& index = PositionIndex::Get();
    threads = std::max(1, threads);
    std::vector<SolverCheckReport> reports(threads);
    auto work = [&](int part) {
        SolverCheckReport& report = reports[part];
        for (int m = PositionIndex::kMinPieces; m <= PositionIndex::kMaxPieces; ++m) {
            for (int o = PositionIndex::kMinPieces; o <= PositionIndex::kMaxPieces; ++o) {
                if (m + o > solver.SolvedTotal()) continue;
                const std::uint32_t size = index.SliceSize(m, o);
                const std::uint32_t begin = static_cast<std::uint64_t>(size) * part / threads;
                const std::uint32_t end = static_cast<std::uint64_t>(size) * (part + 1) / threads;
                for (std::uint32_t local = begin; local < end; ++local) {
                    std::uint16_t mover = 0, opponent = 0;
                    index.Unrank(m, o, local, mover, opponent);
                    const std::uint32_t global = index.SliceOffset(m, o) + local;
                    const int stored = solver.ValueOf(mover, opponent).Code();
                    const int derived = Derive(solver, mover, opponent);
                    ++report.checked;
                    if (stored != derived && report.mismatches++ == 0) {
                        report.firstIndex = global;
                        report.firstStored = stored;
                        report.firstDerived = derived;
                    }
                }
            }
        }
    };
    std::vector<std::thread> helpers;
    for (int part = 1; part < threads; ++part) helpers.emplace_back(work, part);
    work(0);
    for (auto& helper : helpers) helper.join();
    SolverCheckReport total;
    for (const auto& report : reports) {
        if (report.mismatches > 0 && total.mismatches == 0) {
            total.firstIndex = report.firstIndex;
            total.firstStored = report.firstStored;
            total.firstDerived = report.firstDerived;
        }
        total.checked += report.checked;
        total.mismatches += report.mismatches;
    }
    return total;
}

}  // namespace kelvara

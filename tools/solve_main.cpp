// kelvara-solve: solves the game by retrograde analysis and reports the figures.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "BoardText.h"
#include "PerfectPlayer.h"
#include "PositionIndex.h"
#include "Solver.h"
#include "SolverChecker.h"

using namespace kelvara;

namespace {

void Usage() {
    std::puts(
        "usage: kelvara-solve [options]\n"
        "  --stats            solve and print the figures (the default)\n"
        "  --threads N        threads for the solve (default 2)\n"
        "  --naive            also run the forward-sweep solve and compare\n"
        "  --check            re-derive every entry from its successors\n"
        "  --write FILE       write the table (header line, then one byte per entry)\n"
        "Values and perfect steps of single positions: kelvara-engine, commands value and\n"
        "go perfect.");
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool WriteTable(const SolvedTable& solver, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    const auto& table = solver.Table();
    out << "kelvara-table 2 " << table.size() << "\n";
    out.write(reinterpret_cast<const char*>(table.data()),
              static_cast<std::streamsize>(table.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    int threads = 2;
    bool naive = false, check = false;
    std::string writePath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--stats") {
        } else if (arg == "--naive") {
            naive = true;
        } else if (arg == "--check") {
            check = true;
        } else if (arg == "--threads" && i + 1 < argc) {
            threads = std::atoi(argv[++i]);
            if (threads < 1 || threads > 64) {
                std::fprintf(stderr, "kelvara-solve: bad thread count\n");
                return 2;
            }
        } else if (arg == "--write" && i + 1 < argc) {
            writePath = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        } else {
            Usage();
            return 2;
        }
    }

    Solver solver;
    const auto start = std::chrono::steady_clock::now();
    try {
        solver.Solve(threads);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelvara-solve: %s\n", e.what());
        return 1;
    }
    const double solveSeconds = Seconds(start);
    const long peak = PeakKilobytes();
    PerfectPlayer player(solver);

    const auto censusStart = std::chrono::steady_clock::now();
    const SolverCensus census = solver.Census();
    const double censusSeconds = Seconds(censusStart);
    const std::uint64_t positions = 2 * census.entries;
    std::printf("threads              %d\n", threads);
    std::printf("solve time           %.3f s\n", solveSeconds);
    std::printf("census time          %.3f s\n", censusSeconds);
    std::printf("peak memory          %.1f MB\n", peak / 1024.0);
    std::printf("positions            %llu (%llu entries, one per colour)\n",
                static_cast<unsigned long long>(positions),
                static_cast<unsigned long long>(census.entries));
    std::printf("stored               %llu bytes (one row per symmetry class of mover sets)\n",
                static_cast<unsigned long long>(solver.StoredSize()));
    std::printf("throughput           %.1f million positions/s\n", positions / solveSeconds / 1e6);
    std::printf("won                  %llu\n", static_cast<unsigned long long>(2 * census.wins));
    std::printf("lost                 %llu\n", static_cast<unsigned long long>(2 * census.losses));
    std::printf("drawn                %llu\n", static_cast<unsigned long long>(2 * census.draws));
    const std::string startBoard = BoardToText(Board());
    std::printf("start, black to move %s (first step %s)\n",
                player.ValueText(startBoard, 0).c_str(), player.PerfectMove(startBoard, 0).c_str());
    std::printf(
        "longest forced win   %d plies, e.g. %s black to move\n", census.longestWin,
        PerfectPlayer::BoardText(census.longestWinMover, census.longestWinOpponent).c_str());
    std::printf("longest loss         %d plies\n", census.longestLoss);

    int status = 0;
    if (naive) {
        Solver plain;
        const auto naiveStart = std::chrono::steady_clock::now();
        plain.SolveForwardSweep();
        const double naiveSeconds = Seconds(naiveStart);
        const bool same = plain.Table() == solver.Table();
        std::printf(
            "forward sweep        %.3f s (1 thread), %.1fx the retrograde time, tables %s\n",
            naiveSeconds, naiveSeconds / solveSeconds, same ? "identical" : "DIFFER");
        if (!same) status = 1;
    }
    if (check) {
        const auto checkStart = std::chrono::steady_clock::now();
        const SolverCheckReport report = SolverChecker::Check(solver, threads);
        std::printf("check                %llu entries re-derived, %llu mismatches (%.3f s)\n",
                    static_cast<unsigned long long>(report.checked),
                    static_cast<unsigned long long>(report.mismatches), Seconds(checkStart));
        if (!report.Consistent()) {
            std::printf("first mismatch       entry %u stored %d derived %d\n", report.firstIndex,
                        report.firstStored, report.firstDerived);
            status = 1;
        }
    }
    if (!writePath.empty()) {
        if (!WriteTable(solver, writePath)) {
            std::fprintf(stderr, "kelvara-solve: cannot write %s\n", writePath.c_str());
            return 1;
        }
        std::printf("table written to     %s\n", writePath.c_str());
    }
    return status;
}

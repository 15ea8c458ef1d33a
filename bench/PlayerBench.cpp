// Benchmarks of the computer player. At start a 100 MB experience file is written to a fresh
// temporary folder (only its last line fits the looked-up position); it is removed at the end.
// The same file is also counted with `grep -c`, in turns with the first look-up, and the ratios
// of the first look-up and of a look-up on the unchanged file to it are printed (the number of
// rounds in KELVARA_GREP_ROUNDS, 15 by default).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "Board.h"
#include "BoardText.h"
#include "ComputerPlayer.h"
#include "ExperienceStore.h"

using namespace kelvara;

namespace {

constexpr std::size_t kExperienceBytes = 100u << 20;
// The position after black's first step (2, 1) up, and the entry that answers it.
const char* const kLookedUpBoard = "b.bbbb.bw..wwwww";
const char* const kFittingEntry = "202222021001111113R";
const char* const kNoExperience = "/nonexistent/kelvara/experience.dat";

std::filesystem::path gDir;
std::string gExperience;

// Deterministic black: the legal step at a place in scan order that turns with the ply.
std::optional<MoveRecord> PlainBlackStep(const Board& board, int ply) {
    const StepList steps = board.LegalSteps(Black);
    if (steps.empty()) return std::nullopt;
    return steps[(ply * 7) % steps.size()];
}

// One game of the computer (white, search only) against the plain black; returns the plies.
int SelfPlayGame(const ComputerPlayer& player, int opening) {
    ComputerPlayer computer = player;
    Board board;
    CellCode toMove = Black;
    int ply = 0;
    for (; ply < 300 && board.Winner(toMove) == Empty; ++ply) {
        const std::optional<MoveRecord> move =
            toMove == Black ? PlainBlackStep(board, ply + opening) : computer.ChooseMove(board);
        if (!move) break;
        board.ApplyMove(toMove, *move);
        toMove = Enemy(toMove);
    }
    return ply;
}

// Mid-game positions with white to move, collected from self-play.
std::vector<Board> MidGamePositions() {
    std::vector<Board> positions;
    for (int opening = 0; opening < 8; ++opening) {
        Board board;
        CellCode toMove = Black;
        for (int ply = 0; ply < 40 && board.Winner(toMove) == Empty; ++ply) {
            const std::optional<MoveRecord> move = toMove == Black
                                                       ? PlainBlackStep(board, ply + opening)
                                                       : ComputerPlayer::SearchMove(board);
            if (!move) break;
            if (toMove == White && ply >= 5 && board.whitePieces >= 4 && board.blackPieces >= 3)
                positions.push_back(board);
            board.ApplyMove(toMove, *move);
            toMove = Enemy(toMove);
        }
    }
    return positions;
}

// The computer's turn as the game makes it: the stored answers of the game's own file looked up
// first (none fits these positions), then the search.
void BM_ChooseMove(benchmark::State& state) {
    std::vector<Board> positions = MidGamePositions();
    if (positions.empty()) {
        state.SkipWithError("no mid-game positions");
        return;
    }
    ComputerPlayer player(KELVARA_GAME_EXPERIENCE);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(player.ChooseMove(positions[i]));
        if (++i == positions.size()) i = 0;
    }
    state.counters["positions"] = static_cast<double>(positions.size());
}
BENCHMARK(BM_ChooseMove);

// The search alone, without the file.
void BM_SearchMove(benchmark::State& state) {
    std::vector<Board> positions = MidGamePositions();
    if (positions.empty()) {
        state.SkipWithError("no mid-game positions");
        return;
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputerPlayer::SearchMove(positions[i]));
        if (++i == positions.size()) i = 0;
    }
}
BENCHMARK(BM_SearchMove);

bool LooksUpTheLastLine(const ExperienceStore& store, const Board& board) {
    MoveRecord move;
    return store.LookUpExperience(board, White, move) && move == MoveRecord{1, 3, Right};
}

// The first look-up on the file: a fresh store looks through it for the fitting line and
// starts indexing it behind the answer (the store's end stops that).
void BM_LookUpExperience100MB(benchmark::State& state) {
    Board board;
    BoardFromText(kLookedUpBoard, board);
    for (auto _ : state) {
        const ExperienceStore store(gExperience);
        if (!LooksUpTheLastLine(store, board)) {
            state.SkipWithError("the last line did not fit");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kExperienceBytes));
}
BENCHMARK(BM_LookUpExperience100MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first two look-ups: the second waits for the index the first started.
void BM_LookUpExperienceTwice100MB(benchmark::State& state) {
    Board board;
    BoardFromText(kLookedUpBoard, board);
    for (auto _ : state) {
        const ExperienceStore store(gExperience);
        if (!LooksUpTheLastLine(store, board) || !LooksUpTheLastLine(store, board)) {
            state.SkipWithError("the last line did not fit");
            return;
        }
    }
}
BENCHMARK(BM_LookUpExperienceTwice100MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every later turn on the unchanged file: the file is opened and compared, not read.
void BM_LookUpExperienceAgain(benchmark::State& state) {
    Board board;
    BoardFromText(kLookedUpBoard, board);
    const ExperienceStore store(gExperience);
    if (!LooksUpTheLastLine(store, board) || !LooksUpTheLastLine(store, board)) {
        state.SkipWithError("the last line did not fit");
        return;
    }
    const std::size_t reads = store.FileReads();
    for (auto _ : state) {
        if (!LooksUpTheLastLine(store, board)) {
            state.SkipWithError("the last line did not fit");
            return;
        }
    }
    if (store.FileReads() != reads) state.SkipWithError("the unchanged file was read again");
}
BENCHMARK(BM_LookUpExperienceAgain)->Unit(benchmark::kMicrosecond)->UseRealTime();

// `grep -c` of the fitting entry on the file, as a whole process; false unless it counts one.
bool GrepCountsOne() {
    const std::string command =
        std::string("grep -c '^") + kFittingEntry + "' '" + gExperience + "'";
    std::FILE* out = popen(command.c_str(), "r");
    char text[32] = {};
    const bool read = out != nullptr && std::fgets(text, sizeof text, out) != nullptr;
    if (out != nullptr) pclose(out);
    return read && std::atoi(text) == 1;
}

void BM_GrepCountSameFile(benchmark::State& state) {
    for (auto _ : state) {
        if (!GrepCountsOne()) {
            state.SkipWithError("grep -c did not count the one line");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kExperienceBytes));
}
BENCHMARK(BM_GrepCountSameFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SelfPlayGame(benchmark::State& state) {
    const ComputerPlayer player(kNoExperience);
    int opening = 0;
    std::int64_t plies = 0;
    for (auto _ : state) {
        plies += SelfPlayGame(player, opening);
        opening = (opening + 1) % 8;
    }
    state.counters["plies/game"] =
        benchmark::Counter(static_cast<double>(plies) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_SelfPlayGame)->Unit(benchmark::kMicrosecond);

// Lines that fit the looked-up position except at one point (so a reader has to compare up to
// that point), then the one fitting entry as the last line. CR LF line ends.
bool WriteExperienceFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    std::mt19937 rng(12345);
    const std::string pattern(kFittingEntry, 16);
    std::string block;
    std::size_t written = 0;
    const std::string last = std::string(kFittingEntry) + "\r\n";
    while (written + last.size() < kExperienceBytes) {
        std::string line = pattern;
        const std::size_t at = rng() % 16;
        line[at] = line[at] == '0'   ? "12"[rng() % 2]
                   : line[at] == '1' ? "02"[rng() % 2]
                                     : "01"[rng() % 2];
        line += "43L\r\n";
        if (written + line.size() + last.size() > kExperienceBytes) break;
        block += line;
        written += line.size();
        if (block.size() >= (1u << 20)) {
            std::fwrite(block.data(), 1, block.size(), f);
            block.clear();
        }
    }
    block += last;
    const bool ok = std::fwrite(block.data(), 1, block.size(), f) == block.size();
    return std::fclose(f) == 0 && ok;
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// "min median max" of the values.
std::string Spread(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = (values[(n - 1) / 2] + values[n / 2]) / 2;
    char text[96];
    std::snprintf(text, sizeof text, "%.4g %.4g %.4g", values.front(), median, values.back());
    return text;
}

// grep -c and the first look-up on the same file in turns, each round in the other order, so
// that both see the same load of a busy machine; then the look-up on the unchanged file. Prints
// min, median and max of the times and of the ratios of each round.
bool CompareWithGrep(int rounds) {
    Board board;
    BoardFromText(kLookedUpBoard, board);
    const ExperienceStore kept(gExperience);
    // The second look-up waits for the index the first started.
    if (!LooksUpTheLastLine(kept, board) || !LooksUpTheLastLine(kept, board)) return false;
    const std::size_t readsBefore = kept.FileReads();
    std::vector<double> grepMs, firstMs, againMs, firstRatio, againRatio;
    for (int round = 0; round < rounds; ++round) {
        double grep = 0, first = 0;
        for (int turn = 0; turn < 2; ++turn) {
            const auto start = std::chrono::steady_clock::now();
            if ((turn == round % 2)) {
                if (!GrepCountsOne()) return false;
                grep = MillisecondsSince(start);
            } else {
                const ExperienceStore fresh(gExperience);
                if (!LooksUpTheLastLine(fresh, board)) return false;
                first = MillisecondsSince(start);
            }
        }
        constexpr int kAgain = 1000;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kAgain; ++i) {
            if (!LooksUpTheLastLine(kept, board)) return false;
        }
        const double again = MillisecondsSince(start) / kAgain;
        grepMs.push_back(grep);
        firstMs.push_back(first);
        againMs.push_back(again);
        firstRatio.push_back(first / grep);
        againRatio.push_back(again / grep);
    }
    if (kept.FileReads() != readsBefore) return false;
    std::printf("on the same 100 MB file, %d rounds side by side (min median max):\n", rounds);
    std::printf("  grep -c                        %s ms\n", Spread(grepMs).c_str());
    std::printf("  first experience look-up       %s ms, ratio %s\n", Spread(firstMs).c_str(),
                Spread(firstRatio).c_str());
    std::printf("  look-up on the unchanged file  %s ms, ratio %s\n", Spread(againMs).c_str(),
                Spread(againRatio).c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = (std::filesystem::temp_directory_path() / "kelvara-bench-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    gDir = dir;
    gExperience = (gDir / "experience.dat").string();
    bool written = WriteExperienceFile(gExperience);
    // An hour old, so that the store keeps what it read of it (a file modified in the last
    // seconds is read again at every look-up).
    std::error_code aged;
    std::filesystem::last_write_time(
        gExperience, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1), aged);
    written = written && !aged;

    int status = 0;
    if (!written) {
        std::fprintf(stderr, "cannot write %s\n", gExperience.c_str());
        status = 1;
    } else {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        const char* rounds = std::getenv("KELVARA_GREP_ROUNDS");
        if (!CompareWithGrep(rounds != nullptr ? std::max(1, std::atoi(rounds)) : 15)) {
            std::fprintf(stderr, "the look-up or grep -c did not find the last line once\n");
            status = 1;
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(gDir, ignored);
    return status;
}

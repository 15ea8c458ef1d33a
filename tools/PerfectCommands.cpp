#include "PerfectCommands.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "BoardBridge.h"
#include "BoardText.h"
#include "GameAnalysis.h"
#include "LevelSetting.h"
#include "PuzzleMaker.h"

namespace kelvara {

namespace {

constexpr const char* kTooManyPieces =
    "error: the table holds positions with at most 6 pieces a side";

// The table and the level chosen with "level"; one player per colour, made on first use so
// that a seeded level draws its own sequence for the whole game.
struct State {
    explicit State(const SolvedTable* solved)
        : table(solved ? std::make_unique<TableService>(*solved)
                       : std::make_unique<TableService>()) {}

    std::unique_ptr<TableService> table;
    Level level = LevelSetting::kDefault;
    std::uint32_t seed = 1;
    std::array<std::unique_ptr<MoveChooser>, 2> players;

    const SolvedTable& Solved() {
        const SolvedTable* solver = table->Wait();
        if (solver == nullptr) throw std::runtime_error("the table could not be built");
        return *solver;
    }
};

// A seed word: 0 to 4294967295; false on anything else.
bool ParseSeed(std::string_view word, std::uint32_t& seed) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), seed);
    return error == std::errc() && end == word.data() + word.size();
}

bool FitsTable(EngineProtocol& e) {
    SolverPosition position;
    return BoardBridge::ToPosition(e.CurrentBoard(), e.SideToMove(), position);
}

std::string PerfectGo(State& state, EngineProtocol& e) {
    if (!FitsTable(e)) return kTooManyPieces;
    StepOutcome hint;
    if (!GameAnalysis(state.Solved()).Hint(e.CurrentBoard(), e.SideToMove(), hint)) {
        return "bestmove none";
    }
    return "bestmove " + Board::FormatMove(hint.move);
}

std::string LevelGo(State& state, EngineProtocol& e, const EngineProtocol::Args& args) {
    if (state.level == Level::Classic) return e.Go(args);
    if (LevelSetting::NeedsTable(state.level) && !FitsTable(e)) return kTooManyPieces;
    auto& player = state.players[e.SideToMove() == Black ? 0 : 1];
    if (!player) {
        player = LevelSetting::MakePlayer(state.level, e.SideToMove(), state.seed, *state.table,
                                          e.Player().Experience().Path());
    }
    const std::optional<MoveRecord> chosen = player->ChooseMove(e.CurrentBoard());
    if (!chosen) return "bestmove none";
    return "bestmove " + Board::FormatMove(*chosen);
}

}  // namespace

PerfectCommands::TableAccess PerfectCommands::Install(EngineProtocol& engine,
                                                      const SolvedTable* solved) {
    auto state = std::make_shared<State>(solved);

    engine.AddCommand("value", [state](EngineProtocol& e, const EngineProtocol::Args& args) {
        if (!args.empty()) return std::string("error: value takes no argument");
        PositionValue value;
        if (!FitsTable(e)) return std::string(kTooManyPieces);
        GameAnalysis(state->Solved()).Value(e.CurrentBoard(), e.SideToMove(), value);
        return value.Text();
    });

    engine.AddCommand("go", [state](EngineProtocol& e, const EngineProtocol::Args& args) {
        if (!args.empty() && (args.size() != 1 || args[0] != "perfect"))
            return std::string("error: go takes no argument or \"perfect\"");
        if (e.GameOver()) return std::string("bestmove none");
        return args.empty() ? LevelGo(*state, e, args) : PerfectGo(*state, e);
    });

    engine.AddCommand("hint", [state](EngineProtocol& e, const EngineProtocol::Args& args) {
        if (!args.empty()) return std::string("error: hint takes no argument");
        if (!FitsTable(e)) return std::string(kTooManyPieces);
        StepOutcome hint;
        if (!GameAnalysis(state->Solved()).Hint(e.CurrentBoard(), e.SideToMove(), hint)) {
            return std::string("hint none");
        }
        return "hint " + Board::FormatMove(hint.move) + " " + hint.value.Text();
    });

    engine.AddCommand("analyse", [state](EngineProtocol& e, const EngineProtocol::Args& args) {
        if (!args.empty()) return std::string("error: analyse takes no argument");
        if (!FitsTable(e)) return std::string(kTooManyPieces);
        std::string answer;
        for (const StepOutcome& step :
             GameAnalysis(state->Solved()).Analyse(e.CurrentBoard(), e.SideToMove())) {
            if (!answer.empty()) answer += ", ";
            answer += Board::FormatMove(step.move) + " " + step.value.Text();
        }
        return answer.empty() ? std::string("none") : answer;
    });

    engine.AddCommand("level", [state](EngineProtocol&, const EngineProtocol::Args& args) {
        if (args.empty() || args.size() > 2)
            return std::string("error: level takes a level and an optional seed");
        Level level = Level::Classic;
        if (!LevelSetting::FromWord(std::string(args[0]), level))
            return std::string("error: level must be beginner, classic, expert or perfect");
        std::uint32_t seed = 1;
        if (args.size() == 2 && !ParseSeed(args[1], seed))
            return std::string("error: seed must be a number from 0 to 4294967295");
        state->level = level;
        state->seed = seed;
        state->players = {};
        return std::string("ok");
    });

    engine.AddCommand("puzzle", [state](EngineProtocol&, const EngineProtocol::Args& args) {
        if (args.empty() || args.size() > 2)
            return std::string("error: puzzle takes a grade and an optional seed");
        if (args[0].size() != 1 || args[0][0] < '1' || args[0][0] > '4')
            return std::string("error: grade must be 1, 2, 3 or 4");
        std::uint32_t seed = 1;
        if (args.size() == 2 && !ParseSeed(args[1], seed))
            return std::string("error: seed must be a number from 0 to 4294967295");
        const int grade = args[0][0] - '0';
        const std::optional<Puzzle> puzzle = PuzzleMaker(state->Solved()).Make(grade, seed);
        if (!puzzle) return "error: no puzzle of grade " + std::string(args[0]) + " found";
        return "puzzle " + BoardToText(puzzle->board) + (puzzle->side == Black ? " b " : " w ") +
               puzzle->value.Text();
    });
    return [state]() -> const SolvedTable& { return state->Solved(); };
}

}  // namespace kelvara

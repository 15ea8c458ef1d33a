#include "PerfectCommands.h"

#include <memory>

#include "BoardText.h"
#include "PerfectPlayer.h"

namespace kelvara {

namespace {

// Owns the table when the engine solves it itself.
struct Table {
    const Solver* solved = nullptr;
    std::unique_ptr<Solver> own;

    const Solver& Get() {
        if (solved == nullptr) {
            own = std::make_unique<Solver>();
            own->Solve();
            solved = own.get();
        }
        return *solved;
    }
};

constexpr const char* kTooManyPieces =
    "error: the table holds positions with at most 6 pieces a side";

}  // namespace

void PerfectCommands::Install(EngineProtocol& engine, const Solver* solved) {
    auto table = std::make_shared<Table>();
    table->solved = solved;

    engine.AddCommand("value", [table](EngineProtocol& e, const EngineProtocol::Args& args) {
        if (!args.empty()) return std::string("error: value takes no argument");
        const PerfectPlayer player(table->Get());
        const std::string text = player.ValueText(BoardToText(e.CurrentBoard()), e.SideToMove());
        return text.empty() ? std::string(kTooManyPieces) : text;
    });

    engine.AddCommand("go", [table](EngineProtocol& e, const EngineProtocol::Args& args) {
        if (args.empty()) return e.Go(args);
        if (args.size() != 1 || args[0] != "perfect")
            return std::string("error: go takes no argument or \"perfect\"");
        const PerfectPlayer player(table->Get());
        const std::string move = player.PerfectMove(BoardToText(e.CurrentBoard()), e.SideToMove());
        if (move.empty()) return std::string(kTooManyPieces);
        return "bestmove " + move;
    });
}

}  // namespace kelvara

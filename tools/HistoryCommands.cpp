#include "HistoryCommands.h"

#include <memory>
#include <string>

#include "PositionHistory.h"

namespace kelvara {

namespace {

bool Succeeded(const std::string& answer) {
    return answer.rfind("ok", 0) == 0;
}

}  // namespace

void HistoryCommands::Install(EngineProtocol& engine) {
    auto history = std::make_shared<PositionHistory>();

    const EngineProtocol::Handler play = engine.FindCommand("play");
    engine.AddCommand("play", [history, play](EngineProtocol& e, const EngineProtocol::Args& args) {
        const Board before = e.CurrentBoard();
        const CellCode side = e.SideToMove();
        std::string answer = play(e, args);
        if (Succeeded(answer)) history->Record(before, side);
        return answer;
    });
    for (const char* name : {"start", "position"}) {
        const EngineProtocol::Handler original = engine.FindCommand(name);
        engine.AddCommand(name,
                          [history, original](EngineProtocol& e, const EngineProtocol::Args& args) {
                              std::string answer = original(e, args);
                              if (Succeeded(answer)) history->Clear();
                              return answer;
                          });
    }

    engine.AddCommand("undo", [history](EngineProtocol& e, const EngineProtocol::Args& args) {
        if (!args.empty()) return std::string("error: undo takes no argument");
        Board board = e.CurrentBoard();
        CellCode side = e.SideToMove();
        if (!history->Undo(board, side)) return std::string("error: no ply to take back");
        e.SetPosition(board, side);
        return std::string("ok");
    });
    engine.AddCommand("redo", [history](EngineProtocol& e, const EngineProtocol::Args& args) {
        if (!args.empty()) return std::string("error: redo takes no argument");
        Board board = e.CurrentBoard();
        CellCode side = e.SideToMove();
        if (!history->Redo(board, side)) return std::string("error: no ply to replay");
        e.SetPosition(board, side);
        return std::string("ok");
    });
}

}  // namespace kelvara

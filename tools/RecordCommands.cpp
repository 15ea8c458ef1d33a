#include "RecordCommands.h"

#include <memory>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "BoardBridge.h"
#include "BoardText.h"
#include "GameRecordFile.h"
#include "GameReview.h"

namespace kelvara {

namespace {

// The game since "start" or "position": where it began, the plies on the board and those
// taken back, and the tags of the record it was loaded from (names, date, any other).
struct Game {
    Board start;
    CellCode startSide = Black;
    std::vector<MoveRecord> played;
    std::vector<MoveRecord> undone;
    std::vector<RecordTag> tags;
};

bool Succeeded(const std::string& answer) {
    return answer.rfind("ok", 0) == 0;
}

// The file name: every argument, joined by single spaces.
std::string FileName(const EngineProtocol::Args& args) {
    std::string name;
    for (const std::string_view arg : args) {
        if (!name.empty()) name += ' ';
        name += arg;
    }
    return name;
}

std::string Save(const Game& game, EngineProtocol& e, const std::string& path) {
    GameRecordFile record;
    record.tags = game.tags;
    record.SetStartPosition(game.start, game.startSide);
    record.moves = game.played;
    const CellCode winner = e.CurrentBoard().Winner(e.SideToMove());
    record.SetTag("Result", winner == Black ? "1-0" : winner == White ? "0-1" : "*");
    std::string error;
    if (!AtomicFile::Write(path, record.Write(), error)) return "error: " + path + ": " + error;
    return "ok";
}

std::string Load(Game& game, EngineProtocol& e, const std::string& path) {
    RecordError error;
    const auto record = GameRecordFile::ReadFile(path, error);
    if (!record) {
        if (error.line == 0) return "error: " + path + ": " + error.Reason();
        return "error: " + path + ":" + std::to_string(error.line) + ": " + error.Reason();
    }
    // The record's moves are legal, so every command below succeeds.
    Board start;
    CellCode side = Black;
    record->StartPosition(start, side);
    e.Handle("position " + BoardToText(start) + (side == Black ? " b" : " w"));
    for (const MoveRecord& move : record->moves) e.Handle("play " + Board::FormatMove(move));
    // Saved again, the game keeps its names and other tags; where it starts and how it ended
    // are written from the game itself.
    for (const RecordTag& tag : record->tags)
        if (tag.name != "Position" && tag.name != "Result") game.tags.push_back(tag);
    return "ok " + std::to_string(record->moves.size());
}

std::string Review(const Game& game, const SolvedTable& table) {
    SolverPosition position;
    if (!BoardBridge::ToPosition(game.start, game.startSide, position))
        return "error: the table holds positions with at most 6 pieces a side";
    std::string answer = "review";
    const GameReview review(table, game.start, game.startSide, game.played);
    for (std::size_t i = 0; i < review.Plies().size(); ++i) {
        const PlyReview& ply = review.Plies()[i];
        answer += i == 0 ? " " : ", ";
        answer += Board::FormatMove(ply.move) + " " + ply.before.Text();
        if (ply.mistake) answer += " ?";
    }
    return answer;
}

}  // namespace

void RecordCommands::Install(EngineProtocol& engine, PerfectCommands::TableAccess table) {
    auto game = std::make_shared<Game>();

    // Follows the commands that change the game, each only when it succeeded.
    auto follow = [&engine](
                      const char* name,
                      std::function<void(EngineProtocol&, const EngineProtocol::Args&)> after) {
        const EngineProtocol::Handler original = engine.FindCommand(name);
        engine.AddCommand(name,
                          [original, after](EngineProtocol& e, const EngineProtocol::Args& args) {
                              std::string answer = original(e, args);
                              if (Succeeded(answer)) after(e, args);
                              return answer;
                          });
    };
    for (const char* name : {"start", "position"}) {
        follow(name, [game](EngineProtocol& e, const EngineProtocol::Args&) {
            *game = Game{e.CurrentBoard(), e.SideToMove(), {}, {}, {}};
        });
    }
    follow("play", [game](EngineProtocol&, const EngineProtocol::Args& args) {
        MoveRecord move;
        ParseMoveText(args[0], move);
        game->played.push_back(move);
        game->undone.clear();
    });
    follow("undo", [game](EngineProtocol&, const EngineProtocol::Args&) {
        game->undone.push_back(game->played.back());
        game->played.pop_back();
    });
    follow("redo", [game](EngineProtocol&, const EngineProtocol::Args&) {
        game->played.push_back(game->undone.back());
        game->undone.pop_back();
    });

    engine.AddCommand("save", [game](EngineProtocol& e, const EngineProtocol::Args& args) {
        if (args.empty()) return std::string("error: save takes a file name");
        return Save(*game, e, FileName(args));
    });
    engine.AddCommand("load", [game](EngineProtocol& e, const EngineProtocol::Args& args) {
        if (args.empty()) return std::string("error: load takes a file name");
        return Load(*game, e, FileName(args));
    });
    engine.AddCommand("review", [game, table](EngineProtocol&, const EngineProtocol::Args& args) {
        if (!args.empty()) return std::string("error: review takes no argument");
        return Review(*game, table());
    });
}

}  // namespace kelvara

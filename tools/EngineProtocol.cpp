#include "EngineProtocol.h"

#include <algorithm>
#include <optional>

#include "BoardText.h"

namespace kelvara {

namespace {

EngineProtocol::Args SplitWords(std::string_view line) {
    EngineProtocol::Args words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

std::string ArgumentCountError(std::size_t expected) {
    switch (expected) {
        case 0:
            return "error: takes no argument";
        case 1:
            return "error: takes one argument";
        default:
            return "error: takes " + std::to_string(expected) + " arguments";
    }
}

// Two decimal digits, column then row.
bool ParsePoint(std::string_view text, int& x, int& y) {
    if (text.size() != 2 || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9')
        return false;
    x = text[0] - '0';
    y = text[1] - '0';
    return true;
}

std::string PointText(int x, int y) {
    return std::to_string(x) + std::to_string(y);
}

}  // namespace

EngineProtocol::EngineProtocol(std::string experiencePath) : player_(std::move(experiencePath)) {
    // Member handlers; further commands can be added with AddCommand.
    using Member = std::string (EngineProtocol::*)(const Args&);
    const std::pair<const char*, Member> table[] = {
        {"start", &EngineProtocol::Start},
        {"position", &EngineProtocol::Position},
        {"board", &EngineProtocol::ShowBoard},
        {"legal", &EngineProtocol::Legal},
        {"play", &EngineProtocol::Play},
        {"go", &EngineProtocol::Go},
        {"score", &EngineProtocol::Score},
        {"eval", &EngineProtocol::Eval},
        {"threatened", &EngineProtocol::Threatened},
        {"gain", &EngineProtocol::Gain},
        {"result", &EngineProtocol::Result},
        {"perft", &EngineProtocol::PerftCommand},
        {"quit", &EngineProtocol::Quit},
    };
    for (const auto& entry : table) {
        const Member member = entry.second;
        AddCommand(entry.first, [member](EngineProtocol& self, const Args& args) {
            return (self.*member)(args);
        });
    }
}

void EngineProtocol::AddCommand(std::string name, Handler handler) {
    for (auto& entry : commands_) {
        if (entry.first == name) {
            entry.second = std::move(handler);
            return;
        }
    }
    commands_.emplace_back(std::move(name), std::move(handler));
}

EngineProtocol::Handler EngineProtocol::FindCommand(std::string_view name) const {
    for (const auto& entry : commands_) {
        if (entry.first == name) return entry.second;
    }
    return {};
}

void EngineProtocol::SetPosition(const Board& board, CellCode side) {
    board_ = board;
    sideToMove_ = side;
}

std::string EngineProtocol::Handle(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    Args words = SplitWords(line);
    if (words.empty()) return "error: empty line";
    const std::string_view name = words.front();
    words.erase(words.begin());
    for (auto& entry : commands_) {
        if (entry.first == name) return entry.second(*this, words);
    }
    return "error: unknown command";
}

void EngineProtocol::Serve(LineReader& input,
                           const std::function<void(const std::string&)>& output) {
    std::string line;
    for (;;) {
        const LineReader::Result got = input.Next(line);
        if (got == LineReader::Result::End) return;
        output(got == LineReader::Result::TooLong ? "error: line too long" : Handle(line));
        if (quit_) return;
    }
}

std::string EngineProtocol::Start(const Args& args) {
    if (!args.empty()) return ArgumentCountError(0);
    board_.ResetBoard();
    board_.blackPieces = 6;
    board_.whitePieces = 6;
    sideToMove_ = Black;
    return "ok";
}

std::string EngineProtocol::Position(const Args& args) {
    if (args.size() != 2) return ArgumentCountError(2);
    CellCode side = Black;
    if (!SideFromText(args[1], side)) return "error: side must be b or w";
    Board parsed = board_;
    if (!BoardFromText(args[0], parsed)) return "error: board must be 16 characters of b, w and .";
    board_ = parsed;
    sideToMove_ = side;
    return "ok";
}

std::string EngineProtocol::ShowBoard(const Args& args) {
    if (!args.empty()) return ArgumentCountError(0);
    return BoardToText(board_) + (sideToMove_ == Black ? " b" : " w");
}

std::string EngineProtocol::Legal(const Args& args) {
    if (!args.empty()) return ArgumentCountError(0);
    if (GameOver()) return "none";
    std::vector<std::string> steps;
    for (const MoveRecord& step : board_.LegalSteps(sideToMove_))
        steps.push_back(Board::FormatMove(step));
    if (steps.empty()) return "none";
    std::sort(steps.begin(), steps.end());
    std::string answer;
    for (const std::string& s : steps) {
        if (!answer.empty()) answer += ' ';
        answer += s;
    }
    return answer;
}

std::string EngineProtocol::Play(const Args& args) {
    if (args.size() != 1) return ArgumentCountError(1);
    MoveRecord step;
    if (!ParseMoveText(args[0], step)) return "error: bad move text";
    if (GameOver()) return "error: the game is over";
    if (!board_.IsLegalStep(sideToMove_, step)) return "error: not a legal step";
    const CaptureList taken = board_.ApplyMove(sideToMove_, step);
    sideToMove_ = Enemy(sideToMove_);
    if (taken.empty()) return "ok -";
    std::string answer = "ok";
    for (const BoardPoint p : taken) answer += ' ' + PointText(PointX(p), PointY(p));
    return answer;
}

std::string EngineProtocol::Go(const Args& args) {
    if (!args.empty()) return ArgumentCountError(0);
    if (GameOver()) return "bestmove none";
    if (sideToMove_ != White) return "error: the computer plays white and black is to move";
    const std::optional<MoveRecord> chosen = player_.ChooseMove(board_);
    if (!chosen) return "bestmove none";
    return "bestmove " + Board::FormatMove(*chosen);
}

std::string EngineProtocol::Score(const Args& args) {
    if (args.size() != 1) return ArgumentCountError(1);
    MoveRecord step;
    if (!ParseMoveText(args[0], step)) return "error: bad move text";
    if (board_.Code(step.fromX, step.fromY) != White)
        return "error: no white piece on " + PointText(step.fromX, step.fromY);
    int toX = 0, toY = 0;
    StepTarget(step.fromX, step.fromY, step.direction, toX, toY);
    return std::to_string(ComputerPlayer::ScoreStep(board_, step.fromX, step.fromY, toX, toY));
}

std::string EngineProtocol::Eval(const Args& args) {
    if (!args.empty()) return ArgumentCountError(0);
    return std::to_string(ComputerPlayer::PositionScore(board_));
}

std::string EngineProtocol::Threatened(const Args& args) {
    if (args.size() != 1) return ArgumentCountError(1);
    int x = 0, y = 0;
    if (!ParsePoint(args[0], x, y)) return "error: point must be two digits xy";
    if (!OnGrid(x, y)) return "error: point off the grid";
    const std::int32_t code = board_.Code(x, y);
    if (code != Black && code != White) return "error: no piece on " + PointText(x, y);
    return ComputerPlayer::IsThreatened(board_, x, y, static_cast<CellCode>(code)) ? "yes" : "no";
}

std::string EngineProtocol::Gain(const Args& args) {
    if (args.size() != 2) return ArgumentCountError(2);
    int x = 0, y = 0;
    if (!ParsePoint(args[0], x, y)) return "error: point must be two digits xy";
    // The ring around the grid (0 and 5) is allowed: a trial step may end there.
    if (x >= Board::kSize || y >= Board::kSize) return "error: point off the board";
    CellCode side = Black;
    if (!SideFromText(args[1], side)) return "error: side must be b or w";
    return std::to_string(ComputerPlayer::CaptureGain(board_, x, y, side));
}

std::string EngineProtocol::Result(const Args& args) {
    if (!args.empty()) return ArgumentCountError(0);
    switch (board_.Winner(sideToMove_)) {
        case Black:
            return "black";
        case White:
            return "white";
        default:
            return "none";
    }
}

std::uint64_t EngineProtocol::Perft(const Board& board, CellCode toMove, int depth) {
    if (depth <= 0) return 1;
    if (board.Winner(toMove) != Empty) return 0;
    const StepList steps = board.LegalSteps(toMove);
    if (depth == 1) return steps.size();
    std::uint64_t count = 0;
    for (const MoveRecord& step : steps) {
        Board next = board;
        next.ApplyMove(toMove, step);
        count += Perft(next, Enemy(toMove), depth - 1);
    }
    return count;
}

std::string EngineProtocol::PerftCommand(const Args& args) {
    if (args.size() != 1) return ArgumentCountError(1);
    const std::string_view text = args[0];
    int depth = 0;
    if (text.empty() || text.size() > 2)
        return "error: depth must be 0 to " + std::to_string(kMaxPerftDepth);
    for (char c : text) {
        if (c < '0' || c > '9')
            return "error: depth must be 0 to " + std::to_string(kMaxPerftDepth);
        depth = depth * 10 + (c - '0');
    }
    if (depth > kMaxPerftDepth)
        return "error: depth must be 0 to " + std::to_string(kMaxPerftDepth);
    return std::to_string(Perft(board_, sideToMove_, depth));
}

std::string EngineProtocol::Quit(const Args& args) {
    if (!args.empty()) return ArgumentCountError(0);
    quit_ = true;
    return "ok";
}

}  // namespace kelvara

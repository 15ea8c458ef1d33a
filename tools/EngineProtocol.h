#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Board.h"
#include "ComputerPlayer.h"
#include "LineReader.h"

namespace kelvara {

// The line protocol of kelvara-engine: one command line in, one answer line out. Holds a board
// and the side to move, and answers with the computer player's view of them. Commands:
//   start | position <board> <b|w> | board | legal | play <move> | go | score <move> | eval
//   threatened <xy> | gain <xy> <b|w> | result | perft <depth> | quit
// Board text is 16 characters 'b', 'w', '.' in either case (bottom row first); move text is
// like 21U.
// Malformed input answers "error: <why>" and changes nothing.
class EngineProtocol {
  public:
    using Args = std::vector<std::string_view>;
    // Gets the arguments after the command word; returns the answer line.
    using Handler = std::function<std::string(EngineProtocol&, const Args&)>;

    static constexpr int kMaxPerftDepth = 12;

    // Stored answers from set/experience.dat in the working directory.
    EngineProtocol() : EngineProtocol(ExperienceStore::kDefaultPath) {}
    explicit EngineProtocol(std::string experiencePath);
    EngineProtocol(const EngineProtocol&) = delete;
    EngineProtocol& operator=(const EngineProtocol&) = delete;

    // One line without its line end (a trailing CR is ignored); words are separated by spaces
    // or tabs. Returns the answer without a line end.
    std::string Handle(std::string_view line);
    bool QuitRequested() const { return quit_; }

    // Answers every line of `input` with one call of `output` (the answer without its line
    // end) until the input ends or "quit" is handled. A line longer than the reader's bound
    // is answered with an error and passed over.
    void Serve(LineReader& input, const std::function<void(const std::string&)>& output);

    // Adds a command, or replaces the one of the same name.
    void AddCommand(std::string name, Handler handler);
    // The handler of a command, empty when there is none (for wrapping it in a new one).
    Handler FindCommand(std::string_view name) const;

    Board& CurrentBoard() { return board_; }
    CellCode SideToMove() const { return sideToMove_; }
    // The position is won or lost by the end-of-game rule: nothing moves any more.
    bool GameOver() const { return board_.Winner(sideToMove_) != Empty; }
    // Puts the pieces and counts of `board` on the engine's board, with `side` to move.
    void SetPosition(const Board& board, CellCode side);
    ComputerPlayer& Player() { return player_; }

    // Sequences of `depth` legal steps from the board with `toMove` to move; a finished game
    // has no further step.
    static std::uint64_t Perft(const Board& board, CellCode toMove, int depth);

    // The classic computer's choice for white ("go" without arguments).
    std::string Go(const Args& args);

  private:
    std::string Start(const Args& args);
    std::string Position(const Args& args);
    std::string ShowBoard(const Args& args);
    std::string Legal(const Args& args);
    std::string Play(const Args& args);
    std::string Score(const Args& args);
    std::string Eval(const Args& args);
    std::string Threatened(const Args& args);
    std::string Gain(const Args& args);
    std::string Result(const Args& args);
    std::string PerftCommand(const Args& args);
    std::string Quit(const Args& args);

    std::vector<std::pair<std::string, Handler>> commands_;
    Board board_;
    CellCode sideToMove_ = Black;
    ComputerPlayer player_;
    bool quit_ = false;
};

}  // namespace kelvara

#pragma once

#include <vector>

#include "Board.h"
#include "BoardTypes.h"

namespace kelvara {

// The positions before the plies played so far and after the plies taken back, for undo and
// redo: a ply taken back can be replayed until a new ply is played.
class PositionHistory {
  public:
    struct Position {
        Board board;
        CellCode side = Black;
    };

    // Before a new ply: remembers the position it starts from and drops what was taken back.
    void Record(const Board& board, CellCode side);
    // Takes the last ply back: `board` and `side` become the position before it. False, leaving
    // both, when no ply is left.
    bool Undo(Board& board, CellCode& side);
    // Replays the last ply taken back; false when there is none.
    bool Redo(Board& board, CellCode& side);
    void Clear();

    std::size_t Played() const { return past_.size(); }
    std::size_t TakenBack() const { return future_.size(); }

  private:
    static bool Step(std::vector<Position>& from, std::vector<Position>& to, Board& board,
                     CellCode& side);

    std::vector<Position> past_;
    std::vector<Position> future_;
};

}  // namespace kelvara

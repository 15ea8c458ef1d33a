#pragma once

#include <cstdint>

#include "Board.h"
#include "BoardTypes.h"

namespace kelvara {

// The solver's position: the point sets of both colours (bit 4*(y-1)+(x-1) for point (x, y))
// and the side to move (0 black, 1 white).
struct SolverPosition {
    std::uint16_t black = 0;
    std::uint16_t white = 0;
    CellCode side = Black;

    std::uint16_t Mover() const { return side == Black ? black : white; }
    std::uint16_t Opponent() const { return side == Black ? white : black; }

    friend bool operator==(const SolverPosition&, const SolverPosition&) = default;
};

// Where the game core meets the solver: a Board and a side to the solver's point sets and back,
// a solver step (point index and direction) to a MoveRecord and back. No text on the way.
class BoardBridge {
  public:
    // The playing points of `board` with `side` to move. False when the side is not Black or
    // White, or when a colour has more pieces than the table holds (6).
    static bool ToPosition(const Board& board, CellCode side, SolverPosition& position);
    // A board holding exactly the pieces of the position, counts taken from the sets.
    static Board ToBoard(const SolverPosition& position);

    // The record of the step from point index `from` (0..15) in `direction` (Up..Right).
    static MoveRecord ToMove(int from, int direction);
    // Point index and direction of a record; false when it names no playing point or no step
    // direction.
    static bool FromMove(const MoveRecord& move, int& from, int& direction);
};

}  // namespace kelvara

#pragma once

#include "Board.h"
#include "BoardTypes.h"

namespace kelvara {

// Why a game cannot start from a set-up position. A game only ever loses pieces, so a side
// has at most six; a side with one piece or none, or a side to move without a step, has
// already lost.
enum class SetupProblem {
    None,
    NoPieces,       // a side has no piece at all
    LonePiece,      // a side has a single piece
    TooManyPieces,  // a side has more than six pieces
    MoverBlocked,   // the side to move has no step
    NoSideToMove,   // the side to move is neither black nor white
    NotLocal,       // a network game, which always starts from the usual position
};

// The first problem of `position` (its cells; the counts are not trusted) with `toMove` to
// move, or None.
SetupProblem FindSetupProblem(const Board& position, CellCode toMove);

}  // namespace kelvara

#pragma once

#include "Board.h"

namespace kelvara {

// The computer's choice of a white move. May make trial steps on `board` but leaves it as it
// found it. Writes `move` and returns true, or returns false (leaving `move`) when it has none.
class MoveChooser {
  public:
    virtual ~MoveChooser() = default;
    virtual bool ChooseMove(Board& board, MoveRecord& move) = 0;
};

}  // namespace kelvara

#pragma once

#include "Board.h"

namespace kelvara {

// The computer's choice of a white move. May make trial steps on `board` but leaves it as it
// found it. Writes `move` and returns true, or returns false (leaving `move`) when it has none.
class MoveChooser {
  public:
    virtual ~MoveChooser() = default;
    virtual bool ChooseMove(Board& board, MoveRecord& move) = 0;
    // Whether ChooseMove can answer now without waiting for anything (a table still being
    // built, say). A session leaves the computer's turn pending until it can.
    virtual bool ReadyToChoose() const { return true; }
};

}  // namespace kelvara

#pragma once

#include <optional>

#include "Board.h"

namespace kelvara {

// The computer's choice of a move on the given board; nothing when it has none.
class MoveChooser {
  public:
    virtual ~MoveChooser() = default;
    virtual std::optional<MoveRecord> ChooseMove(const Board& board) = 0;
    // Whether ChooseMove can answer now without waiting for anything (a table still being
    // built, say). A session leaves the computer's turn pending until it can.
    virtual bool ReadyToChoose() const { return true; }
};

}  // namespace kelvara

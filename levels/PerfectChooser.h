#pragma once

#include <optional>

#include "Board.h"
#include "MoveChooser.h"
#include "TableService.h"

namespace kelvara {

// The perfect player as the computer's opponent: fastest win, slowest loss, or a step that
// keeps the draw, for either colour. Waits for the table when it is not ready yet (a window
// asks the service first and calls only once it is).
class PerfectChooser : public MoveChooser {
  public:
    explicit PerfectChooser(TableService& table, CellCode side = White)
        : table_(table), side_(side) {}

    // Nothing when the side has no step, the game is over or the table could not be built.
    std::optional<MoveRecord> ChooseMove(const Board& board) override;

  private:
    TableService& table_;
    CellCode side_;
};

}  // namespace kelvara

#pragma once

#include "EngineProtocol.h"
#include "Solver.h"

namespace kelvara {

// Adds the solved-game commands to the engine front end:
//   value      -> "win N", "loss N" or "draw" for the side to move (N plies with best play)
//   go perfect -> "bestmove <move>" or "bestmove none", for either side, from the table
// "go" without arguments stays the classic computer player. The table is solved in memory the
// first time it is needed (a few seconds), unless an already solved one is handed in.
class PerfectCommands {
  public:
    static void Install(EngineProtocol& engine, const Solver* solved = nullptr);
};

}  // namespace kelvara

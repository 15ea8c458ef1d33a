#pragma once

#include <functional>
#include <memory>

#include "EngineProtocol.h"
#include "SolvedTable.h"
#include "TableService.h"

namespace kelvara {

// Adds the solved-game commands and the computer's levels to the engine front end:
//   value       -> "win N", "loss N" or "draw" for the side to move (N plies with best play)
//   go perfect  -> "bestmove <move>" or "bestmove none", for either side, from the table
//   hint        -> "hint <move> win N" / "hint <move> loss N" / "hint <move> draw": the step of
//                  "go perfect" and the value of the position; "hint none" without a step
//   analyse     -> every legal step with its outcome for the side that makes it, in scan
//                  order: "21U draw, 31U loss 12", or "none"
//   level <beginner|classic|expert|perfect> [seed] -> "ok": what "go" plays from then on
//   puzzle <1|2|3|4> [seed] -> "puzzle <board> <b|w> win N": a position reached by play where
//                  exactly one step wins, N within the grade; the position is not changed
//   go          -> the level's step for the side to move; classic (the default) is the
//                  classic computer player and plays white only
// The table is solved in memory the first time it is needed, unless an already solved one is
// handed in. Returns the way to that table for other commands (it waits for the solve and
// throws when the table could not be built).
class PerfectCommands {
  public:
    using TableAccess = std::function<const SolvedTable&()>;
    static TableAccess Install(EngineProtocol& engine, const SolvedTable* solved = nullptr);
};

}  // namespace kelvara

#pragma once

#include "EngineProtocol.h"

namespace kelvara {

// Adds taking back and replaying plies to the engine front end:
//   undo -> "ok" with the position before the last ply, or "error: ..." when none is left
//   redo -> "ok" replaying the last ply taken back, or "error: ..." when there is none
// Every ply of "play" is recorded; a new ply drops the plies taken back; "start" and
// "position" clear the history. Install after the commands it wraps (play, start, position).
class HistoryCommands {
  public:
    static void Install(EngineProtocol& engine);
};

}  // namespace kelvara

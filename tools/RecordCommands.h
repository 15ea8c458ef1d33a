#pragma once

#include "EngineProtocol.h"
#include "PerfectCommands.h"

namespace kelvara {

// Adds game records and their review to the engine front end:
//   save FILE  -> "ok": the plies since "start" or "position" written as a record, atomically
//   load FILE  -> "ok N": the file's game replaces the engine's, its N plies taken back and
//                 replayed by undo and redo; "error: FILE:LINE: reason" keeps the game before
//   review     -> "review" and an item per ply since the start, separated by ", ": the move,
//                 the mover's outcome before the step and " ?" where the step made it worse:
//                 "review 21U draw, 13R draw, 22U draw ?, 43L win 17"
// Install after HistoryCommands: it follows play, start, position, undo and redo.
class RecordCommands {
  public:
    static void Install(EngineProtocol& engine, PerfectCommands::TableAccess table);
};

}  // namespace kelvara

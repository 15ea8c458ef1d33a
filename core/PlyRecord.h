#pragma once

#include <cstdint>

#include "BoardTypes.h"
#include "CaptureList.h"

namespace kelvara {

// One step of a game as it was played: who moved, the step, the points of the pieces it took
// (in the order the capture rule took them) and both piece counts before it. Enough to take
// the step back exactly and to play it again.
struct PlyRecord {
    CellCode side = Black;
    MoveRecord step;
    CaptureList captured;
    std::int32_t blackPiecesBefore = 6;
    std::int32_t whitePiecesBefore = 6;

    friend bool operator==(const PlyRecord&, const PlyRecord&) = default;
};

}  // namespace kelvara

#pragma once

#include <string>

#include "GameAnalysis.h"
#include "PositionValue.h"

namespace kelvara {

// The window's texts for hints and analysis.
//
// Distances on screen count the player's own steps, the suggested step included: a win in
// p plies takes (p + 1) / 2 steps of the winner, the last one ending the game; a loss in p
// plies lets the loser make p / 2 more steps before the opponent ends it. The engine front end
// and PositionValue::Text() write plies instead.
class HintText {
  public:
    // Own steps of the side whose value this is: (plies + 1) / 2; 0 for a draw.
    static int OwnSteps(const PositionValue& value);

    // "提示：43L，必胜（还需 4 步）", "提示：12R，和棋", "提示：21U，必败（可坚持 5 步）".
    static std::string Hint(const StepOutcome& hint);
    // "提示：无棋可走": the side to move has no step (the game is over).
    static std::string NoStep();
    // "提示：正在准备棋局数据，请稍候……": the table is still being built.
    static std::string Preparing();
    // Short label of a step's outcome for the analysis on the board: "胜4", "和", "负5".
    static std::string Label(const PositionValue& value);
};

}  // namespace kelvara

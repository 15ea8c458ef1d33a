#pragma once

// The parts of the hint line and the short labels of the analysis on the board.

namespace kelvara::hint_texts {

// Hint line: prefix, step, outcome and, for a win or a loss, the count of own steps.
inline constexpr const char* kHintPrefix = "提示：";
inline constexpr const char* kHintWin = "，必胜（还需 ";
inline constexpr const char* kHintDraw = "，和棋";
inline constexpr const char* kHintLoss = "，必败（可坚持 ";
inline constexpr const char* kHintStepsSuffix = " 步）";
inline constexpr const char* kHintPreparing = "提示：正在准备棋局数据，请稍候……";
inline constexpr const char* kHintNoStep = "提示：无棋可走";

// Labels on the board, followed by the count of own steps for a win or a loss.
inline constexpr const char* kLabelWin = "胜";
inline constexpr const char* kLabelDraw = "和";
inline constexpr const char* kLabelLoss = "负";

}  // namespace kelvara::hint_texts

#pragma once

#include "Translation.h"

// The hint line and the short labels of the analysis on the board: %1 is the step, %n the count
// of own steps.

namespace kelvara::hint_texts {

inline constexpr const char* kContext = "HintText";

inline constexpr const char* kHintWin = KELVARA_TEXT_N("HintText", "提示：%1，必胜（还需 %n 步）");
inline constexpr const char* kHintDraw = KELVARA_TEXT("HintText", "提示：%1，和棋");
inline constexpr const char* kHintLoss =
    KELVARA_TEXT_N("HintText", "提示：%1，必败（可坚持 %n 步）");
inline constexpr const char* kHintPreparing =
    KELVARA_TEXT("HintText", "提示：正在准备棋局数据，请稍候……");
inline constexpr const char* kHintNoStep = KELVARA_TEXT("HintText", "提示：无棋可走");

// Labels on the board, with the count of own steps for a win or a loss.
inline constexpr const char* kLabelWin = KELVARA_TEXT("HintText", "胜%1");
inline constexpr const char* kLabelDraw = KELVARA_TEXT("HintText", "和");
inline constexpr const char* kLabelLoss = KELVARA_TEXT("HintText", "负%1");

}  // namespace kelvara::hint_texts

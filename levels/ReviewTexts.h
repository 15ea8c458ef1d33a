#pragma once

#include "Translation.h"

// The review's texts: a flagged ply and the game's summary.

namespace kelvara::review_texts {

inline constexpr const char* kContext = "GameReview";

// "第 7 步 22U 失误：胜 → 和；应走 31R，胜（9 步）": %1 the ply, %2 its step, %3 and %4 the
// outcome before and after, %5 the better step, %6 its outcome and %n its count of own steps.
inline constexpr const char* kFlagSteps =
    KELVARA_TEXT_N("GameReview", "第 %1 步 %2 失误：%3 → %4；应走 %5，%6（%n 步）");
// The same when the better step draws.
inline constexpr const char* kFlag =
    KELVARA_TEXT("GameReview", "第 %1 步 %2 失误：%3 → %4；应走 %5，%6");
// "第 5 步 12R：胜（9 步）", what a ply that was no mistake led to: %1 the ply, %2 its step,
// %3 the mover's outcome and %n its count of own steps.
inline constexpr const char* kPlySteps = KELVARA_TEXT_N("GameReview", "第 %1 步 %2：%3（%n 步）");
// The same when the step draws.
inline constexpr const char* kPlyOutcome = KELVARA_TEXT("GameReview", "第 %1 步 %2：%3");
// "第 5 步 12R", where the table does not know the outcome.
inline constexpr const char* kPly = KELVARA_TEXT("GameReview", "第 %1 步 %2");
inline constexpr const char* kWin = KELVARA_TEXT("GameReview", "胜");
inline constexpr const char* kDraw = KELVARA_TEXT("GameReview", "和");
inline constexpr const char* kLoss = KELVARA_TEXT("GameReview", "负");

// "复盘：黑方失误 1 次，白方失误 2 次；第 7 步定局"
inline constexpr const char* kSummary =
    KELVARA_TEXT("GameReview", "复盘：黑方失误 %1 次，白方失误 %2 次；第 %3 步定局");
inline constexpr const char* kNoMistakes = KELVARA_TEXT("GameReview", "复盘：双方均无失误");

}  // namespace kelvara::review_texts

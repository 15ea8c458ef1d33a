#pragma once

// The parts of the review's texts: a flagged ply and the game's summary.

namespace kelvara::review_texts {

// "第 7 步 22U 失误：胜 → 和；应走 31R，胜（9 步）"
inline constexpr const char* kPlyPrefix = "第 ";
inline constexpr const char* kPlySuffix = " 步 ";
inline constexpr const char* kMistake = " 失误：";
// "第 5 步 12R：胜（9 步）"
inline constexpr const char* kOutcome = "：";
inline constexpr const char* kArrow = " → ";
inline constexpr const char* kBetter = "；应走 ";
inline constexpr const char* kComma = "，";
inline constexpr const char* kStepsOpen = "（";
inline constexpr const char* kStepsClose = " 步）";
inline constexpr const char* kWin = "胜";
inline constexpr const char* kDraw = "和";
inline constexpr const char* kLoss = "负";

// "复盘：黑方失误 1 次，白方失误 2 次；第 7 步定局"
inline constexpr const char* kSummaryPrefix = "复盘：";
inline constexpr const char* kBlackMistakes = "黑方失误 ";
inline constexpr const char* kWhiteMistakes = " 次，白方失误 ";
inline constexpr const char* kTimes = " 次";
inline constexpr const char* kDecidedPrefix = "；第 ";
inline constexpr const char* kDecidedSuffix = " 步定局";
inline constexpr const char* kNoMistakes = "双方均无失误";

}  // namespace kelvara::review_texts

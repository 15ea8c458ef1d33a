#pragma once

#include "Translation.h"

// The names of the computer's levels, as the menu shows them and the settings file may give
// them.

namespace kelvara::level_texts {

inline constexpr const char* kContext = "LevelSetting";

inline constexpr const char* kBeginner = KELVARA_TEXT("LevelSetting", "入门");
inline constexpr const char* kClassic = KELVARA_TEXT("LevelSetting", "经典");
inline constexpr const char* kExpert = KELVARA_TEXT("LevelSetting", "高手");
inline constexpr const char* kPerfect = KELVARA_TEXT("LevelSetting", "完美");

}  // namespace kelvara::level_texts

#pragma once

// The names of the computer's levels, as the menu shows them and the settings file may give
// them.

namespace kelvara::level_texts {

inline constexpr const char* kBeginner = "入门";
inline constexpr const char* kClassic = "经典";
inline constexpr const char* kExpert = "高手";
inline constexpr const char* kPerfect = "完美";

}  // namespace kelvara::level_texts

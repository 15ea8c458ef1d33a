#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "BoardTypes.h"
#include "MoveChooser.h"
#include "TableService.h"

namespace kelvara {

// The computer's levels, weakest first. Classic, the default, is the computer player of the
// stored answers and the one-step search.
enum class Level { Beginner, Classic, Expert, Perfect };

// Naming, choosing and building the computer's levels.
//
// In set/kelvara.ini the level is key `level` of section "AI": one of beginner, classic,
// expert, perfect (letters in either case) or the level's Chinese name (its Title); a missing
// key or any other value is classic.
class LevelSetting {
  public:
    static constexpr Level kDefault = Level::Classic;

    // The level a settings value names, kDefault for anything else (SettingsFile's markers for
    // a missing key or file included).
    static Level FromSetting(const std::string& value);
    // The engine front end's word: beginner, classic, expert or perfect; false otherwise.
    static bool FromWord(const std::string& word, Level& level);
    static std::string Word(Level level);
    // The level's Chinese name: 入门, 经典, 高手, 完美 (also a settings value).
    static std::string Title(Level level);
    // The name the menu shows, in the user's language.
    static std::string ShownTitle(Level level);

    // Only these wait for the solved table.
    static bool NeedsTable(Level level) {
        return level == Level::Expert || level == Level::Perfect;
    }

    // The computer player of a level for `side`. Classic reads its stored answers from
    // `experiencePath` and plays white only (its evaluation is white's); the other levels play
    // either side. Beginner and expert draw from `seed`. The table service must outlive the
    // player.
    static std::unique_ptr<MoveChooser> MakePlayer(Level level, CellCode side, std::uint32_t seed,
                                                   TableService& table,
                                                   const std::string& experiencePath);
};

}  // namespace kelvara

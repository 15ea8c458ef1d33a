#include "LevelSetting.h"

#include "BeginnerPlayer.h"
#include "ComputerPlayer.h"
#include "ExpertPlayer.h"
#include "LevelTexts.h"
#include "PerfectChooser.h"

namespace kelvara {

namespace {

constexpr Level kAll[] = {Level::Beginner, Level::Classic, Level::Expert, Level::Perfect};

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

bool LevelSetting::FromWord(const std::string& word, Level& level) {
    for (Level candidate : kAll) {
        if (Word(candidate) == word) {
            level = candidate;
            return true;
        }
    }
    return false;
}

Level LevelSetting::FromSetting(const std::string& value) {
    Level level = kDefault;
    if (FromWord(Lower(value), level)) return level;
    for (Level candidate : kAll) {
        if (Title(candidate) == value) return candidate;
    }
    return kDefault;
}

std::string LevelSetting::Word(Level level) {
    switch (level) {
        case Level::Beginner:
            return "beginner";
        case Level::Classic:
            return "classic";
        case Level::Expert:
            return "expert";
        case Level::Perfect:
            break;
    }
    return "perfect";
}

std::string LevelSetting::Title(Level level) {
    switch (level) {
        case Level::Beginner:
            return level_texts::kBeginner;
        case Level::Classic:
            return level_texts::kClassic;
        case Level::Expert:
            return level_texts::kExpert;
        case Level::Perfect:
            break;
    }
    return level_texts::kPerfect;
}

std::unique_ptr<MoveChooser> LevelSetting::MakePlayer(Level level, CellCode side,
                                                      std::uint32_t seed, TableService& table,
                                                      const std::string& experiencePath) {
    switch (level) {
        case Level::Beginner:
            return std::make_unique<BeginnerPlayer>(seed, side);
        case Level::Classic:
            return std::make_unique<ComputerPlayer>(experiencePath);
        case Level::Expert:
            return std::make_unique<ExpertPlayer>(table, seed, side);
        case Level::Perfect:
            break;
    }
    return std::make_unique<PerfectChooser>(table, side);
}

std::string LevelSetting::ShownTitle(Level level) {
    return Translation::Text(level_texts::kContext, Title(level).c_str());
}

}  // namespace kelvara

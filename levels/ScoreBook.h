#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "GameKind.h"
#include "LevelSetting.h"

namespace kelvara {

// Won, lost and unfinished games of one kind (and level) of play.
struct ScoreLine {
    std::uint32_t wins = 0;
    std::uint32_t losses = 0;
    std::uint32_t unfinished = 0;

    friend bool operator==(const ScoreLine&, const ScoreLine&) = default;
};

// The player's score: games against the computer per level, two-player and network games, and
// puzzles solved. Kept as a small text file, one line per counter:
//   kelvara-score 1
//   one <beginner|classic|expert|perfect> <wins> <losses> <unfinished>
//   two <wins> <losses> <unfinished>
//   network <wins> <losses> <unfinished>
//   puzzles <solved>
// Lines may come in any order; a missing line counts zero.
class ScoreBook {
  public:
    static constexpr std::size_t kMaxFileBytes = 4096;

    enum class LoadResult { Read, Missing, SetAside };

    ScoreLine& Games(GameKind kind, Level level = LevelSetting::kDefault);
    const ScoreLine& Games(GameKind kind, Level level = LevelSetting::kDefault) const;
    std::uint32_t& PuzzlesSolved() { return puzzles_; }
    std::uint32_t PuzzlesSolved() const { return puzzles_; }
    void Reset() { *this = ScoreBook(); }

    std::string Text() const;
    // False, leaving the book unchanged, on any fault: a wrong first line, an unknown or
    // repeated line, a number out of range, a text over kMaxFileBytes.
    bool FromText(std::string_view text);

    // Reads `path`. A missing file is an empty book; a file that cannot be read as a score is
    // renamed to `setAside` (path + ".bad", or the first free ".bad.N") and the book left
    // empty, so that it is reported once and never read again.
    LoadResult Load(const std::string& path, std::string& setAside);
    // Writes the book atomically; false with the reason in `error`.
    bool Save(const std::string& path, std::string& error) const;

    friend bool operator==(const ScoreBook&, const ScoreBook&) = default;

  private:
    static constexpr int kLevels = 4;
    ScoreLine onePlayer_[kLevels];
    ScoreLine twoPlayers_;
    ScoreLine network_;
    std::uint32_t puzzles_ = 0;
};

}  // namespace kelvara

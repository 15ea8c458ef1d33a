#pragma once

#include <optional>

#include "BoardTypes.h"
#include "GameKind.h"
#include "LevelSetting.h"
#include "ScoreBook.h"

namespace kelvara {

// One game to add to the score.
struct ScoreEntry {
    enum class Result { Win, Loss, Unfinished };
    GameKind kind = GameKind::OnePlayer;
    Level level = LevelSetting::kDefault;
    Result result = Result::Unfinished;

    void AddTo(ScoreBook& book) const;
    friend bool operator==(const ScoreEntry&, const ScoreEntry&) = default;
};

// Decides when a game of the window enters the score, and how: once, when it ends (won or
// lost; a game that ended without a winner, the peer gone, is unfinished), or as unfinished
// when it is left with steps played before its end (another game started, the window closed).
// A game taken back after its end and ended again is not counted twice. Games that are not
// the player's own play (a puzzle, a game opened from a record) never count.
//
// Won and lost are the local player's: against the computer black's, in a network game the
// colour this machine plays, and between two players at one machine black's.
class ScoreTally {
  public:
    // A new game takes the board; what it counts as is told by the calls that follow.
    void NewGame() { *this = ScoreTally(); }
    void SetCounted(bool counted) { counted_ = counted; }
    // A step of the game was played: `kind` and `level` are the game's (the level matters
    // against the computer only).
    void StepPlayed(GameKind kind, Level level);
    // The game has ended; `winner` Empty when nobody won. `localSide` is the colour this
    // machine plays in a network game.
    std::optional<ScoreEntry> Ended(GameKind kind, Level level, CellCode winner,
                                    CellCode localSide);
    // The game is left (a new one starts, the window closes) while it has not ended.
    std::optional<ScoreEntry> Left();

  private:
    bool counted_ = true;
    bool done_ = false;
    bool stepped_ = false;
    GameKind kind_ = GameKind::OnePlayer;
    Level level_ = LevelSetting::kDefault;
};

}  // namespace kelvara

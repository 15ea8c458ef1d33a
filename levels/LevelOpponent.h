#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "LevelSetting.h"
#include "MoveChooser.h"
#include "TableService.h"

namespace kelvara {

// The computer's white player of a level other than classic, as the window's session uses it:
// the level's player, which is ready to choose only once the solved table is there when the
// level needs it, so that the session leaves the computer's turn pending instead of blocking.
// A table that could not be built counts as ready: the player then reports no move.
class LevelOpponent : public MoveChooser {
  public:
    LevelOpponent(Level level, std::uint32_t seed, TableService& table);

    std::optional<MoveRecord> ChooseMove(const Board& board) override;
    bool ReadyToChoose() const override;

    Level GetLevel() const { return level_; }

  private:
    Level level_;
    TableService& table_;
    std::unique_ptr<MoveChooser> player_;
};

}  // namespace kelvara

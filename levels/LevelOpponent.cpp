#include "LevelOpponent.h"

#include "ExperienceStore.h"

namespace kelvara {

LevelOpponent::LevelOpponent(Level level, std::uint32_t seed, TableService& table)
    : level_(level),
      table_(table),
      player_(LevelSetting::MakePlayer(level, White, seed, table,
                                       std::string(ExperienceStore::kDefaultPath))) {}

std::optional<MoveRecord> LevelOpponent::ChooseMove(const Board& board) {
    return player_->ChooseMove(board);
}

bool LevelOpponent::ReadyToChoose() const {
    if (!LevelSetting::NeedsTable(level_)) return true;
    return table_.Ready() || table_.CurrentState() == TableService::State::Failed;
}

}  // namespace kelvara

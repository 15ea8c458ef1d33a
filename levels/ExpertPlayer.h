#pragma once

#include <cstdint>
#include <optional>
#include <random>

#include "Board.h"
#include "MoveChooser.h"
#include "TableService.h"

namespace kelvara {

// Strong but fallible, for either colour: the perfect step, except that now and then (seeded)
// it slips and makes another legal step picked at random, which may throw a won game away or
// let a drawn one be lost. Waits for the table like the perfect player.
class ExpertPlayer : public MoveChooser {
  public:
    // Chance (out of 100) of a slip at each step.
    static constexpr int kSlipPercent = 10;

    ExpertPlayer(TableService& table, std::uint32_t seed, CellCode side = White)
        : table_(table), rng_(seed), side_(side) {}

    std::optional<MoveRecord> ChooseMove(const Board& board) override;

  private:
    TableService& table_;
    std::mt19937 rng_;
    CellCode side_;
};

}  // namespace kelvara

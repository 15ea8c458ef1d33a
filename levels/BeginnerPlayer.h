#pragma once

#include <cstdint>
#include <optional>
#include <random>

#include "Board.h"
#include "MoveChooser.h"

namespace kelvara {

// A beatable opponent for either colour: scores every legal step with the classic evaluation
// and picks one at random, the better steps more often, with now and then a step picked
// without looking at the scores at all. Seeded, so a game can be replayed.
class BeginnerPlayer : public MoveChooser {
  public:
    // Chance (out of 100) that a step is picked with no regard to its score.
    static constexpr int kCarelessPercent = 25;

    explicit BeginnerPlayer(std::uint32_t seed, CellCode side = White) : rng_(seed), side_(side) {}

    // A legal step of the side; nothing only when the side has none.
    std::optional<MoveRecord> ChooseMove(const Board& board) override;

    // The classic score of a legal step of `side` (the evaluation seen from that side).
    static std::int32_t ScoreFor(const Board& board, CellCode side, const MoveRecord& step);

  private:
    std::mt19937 rng_;
    CellCode side_;
};

}  // namespace kelvara

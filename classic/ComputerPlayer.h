#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "Board.h"
#include "ExperienceStore.h"
#include "MoveChooser.h"

namespace kelvara {

// The computer's white player: a stored answer when one fits, else a one-step search that
// scores every white step by what it would take plus the weights of the white pieces it leaves
// unthreatened. Deterministic; trial steps are made on a copy of the board.
class ComputerPlayer : public MoveChooser {
  public:
    static constexpr std::int32_t kNoStep = -2000;
    // The weight of a cell of the ring, where a trial step may end.
    static constexpr std::int32_t kRingWeight = -1000;

    // Stored answers from set/experience.dat in the working directory.
    ComputerPlayer() = default;
    explicit ComputerPlayer(std::string experiencePath) : experience_(std::move(experiencePath)) {}

    // Stored answer first, then the search; nothing when neither gives a step.
    std::optional<MoveRecord> ChooseMove(const Board& board) override;
    // The search alone: the first step in scan order with the highest score above 0.
    static std::optional<MoveRecord> SearchMove(const Board& board);

    const ExperienceStore& Experience() const { return experience_; }

    // Weight of cell (x, y) of the 6x6 array: on a playing point the number of its neighbours
    // on the grid (2 to 4), on the ring kRingWeight.
    static constexpr std::int32_t Weight(int x, int y) {
        if (!OnGrid(x, y)) return kRingWeight;
        return (x > 1) + (x < 4) + (y > 1) + (y < 4);
    }

    // Score of the white step from playing point (fromX, fromY) to cell (toX, toY), which may be
    // a ring cell; kNoStep when the destination is not empty, the points are not neighbours or
    // the from-point holds no white piece.
    static std::int32_t ScoreStep(const Board& board, int fromX, int fromY, int toX, int toY);

    // Whether the enemy can take the piece of `side` on playing point (x, y) with one step.
    static bool IsThreatened(const Board& board, int x, int y, CellCode side);

    // Summed weights of the enemy pieces the capture rule would take in the column of x and the
    // row of y with `side` moving; (x, y) is any cell of the 6x6 array. Nothing is removed.
    static std::int32_t CaptureGain(const Board& board, int x, int y, CellCode side);

    // Weights of the white pieces that are not threatened; a white piece on the ring (only
    // during a trial) counts its -1000.
    static std::int32_t PositionScore(const Board& board);

  private:
    ExperienceStore experience_;
};

}  // namespace kelvara

#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "Board.h"
#include "ExperienceStore.h"
#include "MoveChooser.h"

namespace kelvara {

// The computer's white player: a stored answer when one fits, else a one-step search that
// scores every white step by what it would take plus the weights of the white pieces it leaves
// unthreatened. Deterministic; trial steps are made on the given board and taken back.
class ComputerPlayer : public MoveChooser {
  public:
    static constexpr std::int32_t kNoStep = -2000;

    // Stored answers from set/experience.dat in the working directory.
    ComputerPlayer() = default;
    explicit ComputerPlayer(std::string experiencePath) : experience_(std::move(experiencePath)) {}

    // Stored answer first, then the search. False, leaving `move`, when neither gives a step.
    bool ChooseMove(Board& board, MoveRecord& move) override;
    // The search alone: the first step in scan order with the highest score above 0.
    static bool SearchMove(Board& board, MoveRecord& move);

    const ExperienceStore& Experience() const { return experience_; }

    // Score of the white step from playing point (fromX, fromY) to cell (toX, toY), which may be
    // a ring cell; kNoStep when the destination is not empty, the points are not neighbours or
    // the from-point holds no white piece. The board is the same after the call.
    static std::int32_t ScoreStep(Board& board, int fromX, int fromY, int toX, int toY);

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

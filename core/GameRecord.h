#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "GameKind.h"
#include "PlyRecord.h"

namespace kelvara {

// The steps of one game in the order they were played, with a cursor that undo moves back
// and redo forward: the plies before it are on the board, those after it can be replayed.
// A plain value; the session keeps one per game.
class GameRecord {
  public:
    void Clear();
    // Records a step played now. The steps that could have been replayed are dropped.
    void Add(PlyRecord ply);

    std::span<const PlyRecord> Played() const { return {plies_.data(), played_}; }
    std::span<const PlyRecord> Replayable() const {
        return std::span<const PlyRecord>(plies_).subspan(played_);
    }
    bool Empty() const { return plies_.empty(); }

    // How many plies one undo takes back and one redo replays in a game of `kind`: one,
    // except against the computer, where the player's step and the answer go together so
    // that the player is to move afterwards. 0 when there is nothing to do.
    std::size_t UndoCount(GameKind kind) const;
    std::size_t RedoCount(GameKind kind) const;

    // Moves the cursor one ply back (forward) and returns that ply; only where Played()
    // (Replayable()) is not empty.
    const PlyRecord& StepBack();
    const PlyRecord& StepForward();

    friend bool operator==(const GameRecord&, const GameRecord&) = default;

  private:
    std::vector<PlyRecord> plies_;
    std::size_t played_ = 0;
};

}  // namespace kelvara

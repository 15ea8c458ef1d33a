#include "GameRecord.h"

#include <utility>

namespace kelvara {

void GameRecord::Clear() {
    plies_.clear();
    played_ = 0;
}

void GameRecord::Add(PlyRecord ply) {
    plies_.resize(played_);
    plies_.push_back(std::move(ply));
    played_ = plies_.size();
}

std::size_t GameRecord::UndoCount(GameKind kind) const {
    if (played_ == 0) return 0;
    if (kind != GameKind::OnePlayer) return 1;
    // Back to the player's turn: the computer's answer, if any, and the player's step.
    std::size_t n = played_;
    if (plies_[n - 1].side == White) --n;
    if (n == 0 || plies_[n - 1].side != Black) return 0;
    return played_ - (n - 1);
}

std::size_t GameRecord::RedoCount(GameKind kind) const {
    const std::size_t left = plies_.size() - played_;
    if (left == 0) return 0;
    if (kind != GameKind::OnePlayer) return 1;
    if (plies_[played_].side != Black) return 0;
    return left >= 2 && plies_[played_ + 1].side == White ? 2 : 1;
}

const PlyRecord& GameRecord::StepBack() {
    return plies_[--played_];
}

const PlyRecord& GameRecord::StepForward() {
    return plies_[played_++];
}

}  // namespace kelvara

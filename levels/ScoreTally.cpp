#include "ScoreTally.h"

namespace kelvara {

void ScoreEntry::AddTo(ScoreBook& book) const {
    ScoreLine& line = book.Games(kind, level);
    std::uint32_t& counter = result == Result::Win    ? line.wins
                             : result == Result::Loss ? line.losses
                                                      : line.unfinished;
    if (counter < UINT32_MAX) ++counter;
}

void ScoreTally::StepPlayed(GameKind kind, Level level) {
    stepped_ = true;
    kind_ = kind;
    level_ = level;
}

std::optional<ScoreEntry> ScoreTally::Ended(GameKind kind, Level level, CellCode winner,
                                            CellCode localSide) {
    if (done_ || !counted_) return std::nullopt;
    done_ = true;
    ScoreEntry entry{kind, level, ScoreEntry::Result::Unfinished};
    const CellCode local = kind == GameKind::Network ? localSide : Black;
    if (winner == Black || winner == White)
        entry.result = winner == local ? ScoreEntry::Result::Win : ScoreEntry::Result::Loss;
    return entry;
}

std::optional<ScoreEntry> ScoreTally::Left() {
    if (done_ || !counted_ || !stepped_) return std::nullopt;
    done_ = true;
    return ScoreEntry{kind_, level_, ScoreEntry::Result::Unfinished};
}

}  // namespace kelvara

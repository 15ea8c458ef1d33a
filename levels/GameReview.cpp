#include "GameReview.h"

#include "HintText.h"
#include "ReviewTexts.h"

namespace kelvara {

namespace {

using Kind = PositionValue::Kind;

int Grade(const PositionValue& value) {
    return value.kind() == Kind::Win ? 2 : value.kind() == Kind::Draw ? 1 : 0;
}

std::string Word(const PositionValue& value) {
    return value.kind() == Kind::Win    ? review_texts::kWin
           : value.kind() == Kind::Draw ? review_texts::kDraw
                                        : review_texts::kLoss;
}

}  // namespace

PositionValue PlyReview::BlackAfter() const {
    if (side == Black || after.kind() == Kind::Draw) return after;
    return after.kind() == Kind::Win ? PositionValue::Loss(after.plies())
                                     : PositionValue::Win(after.plies());
}

GameReview::GameReview(const SolvedTable& solved, const Board& start, CellCode side,
                       const std::vector<MoveRecord>& moves) {
    const GameAnalysis analysis(solved);
    Board board = start;
    for (const MoveRecord& move : moves) {
        PlyReview ply;
        ply.side = side;
        ply.move = move;
        ply.known = analysis.Value(board, side, ply.before) && analysis.Hint(board, side, ply.best);
        board.ApplyMove(side, move);
        PositionValue next;
        if (ply.known && analysis.Value(board, Enemy(side), next)) {
            ply.after = next.ForSideThatStepped();
            ply.mistake = Grade(ply.after) < Grade(ply.before);
        } else {
            ply = PlyReview();
            ply.side = side;
            ply.move = move;
        }
        plies_.push_back(ply);
        side = Enemy(side);
    }
}

int GameReview::Mistakes(CellCode side) const {
    int count = 0;
    for (const PlyReview& ply : plies_) count += ply.mistake && ply.side == side;
    return count;
}

int GameReview::DecidedAt() const {
    for (int i = static_cast<int>(plies_.size()) - 1; i >= 0; --i) {
        if (plies_[i].mistake) return i;
    }
    return -1;
}

std::string GameReview::FlagText(int index) const {
    if (index < 0 || index >= static_cast<int>(plies_.size()) || !plies_[index].mistake) return {};
    namespace t = review_texts;
    const PlyReview& ply = plies_[index];
    std::string text = t::kPlyPrefix + std::to_string(index + 1) + t::kPlySuffix +
                       Board::FormatMove(ply.move) + t::kMistake + Word(ply.before) + t::kArrow +
                       Word(ply.after) + t::kBetter + Board::FormatMove(ply.best.move) + t::kComma +
                       Word(ply.best.value);
    if (ply.best.value.kind() != Kind::Draw)
        text += t::kStepsOpen + std::to_string(HintText::OwnSteps(ply.best.value)) + t::kStepsClose;
    return text;
}

std::string GameReview::PlyText(int index) const {
    if (index < 0 || index >= static_cast<int>(plies_.size())) return {};
    const PlyReview& ply = plies_[index];
    if (ply.mistake) return FlagText(index);
    namespace t = review_texts;
    std::string text =
        t::kPlyPrefix + std::to_string(index + 1) + t::kPlySuffix + Board::FormatMove(ply.move);
    if (!ply.known) return text;
    text += t::kOutcome + Word(ply.after);
    if (ply.after.kind() != Kind::Draw)
        text += t::kStepsOpen + std::to_string(HintText::OwnSteps(ply.after)) + t::kStepsClose;
    return text;
}

std::string GameReview::Summary() const {
    namespace t = review_texts;
    const int black = Mistakes(Black);
    const int white = Mistakes(White);
    if (black + white == 0) return std::string(t::kSummaryPrefix) + t::kNoMistakes;
    return t::kSummaryPrefix + (t::kBlackMistakes + std::to_string(black)) + t::kWhiteMistakes +
           std::to_string(white) + t::kTimes + t::kDecidedPrefix + std::to_string(DecidedAt() + 1) +
           t::kDecidedSuffix;
}

}  // namespace kelvara

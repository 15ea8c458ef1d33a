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
    return Translation::Text(review_texts::kContext, value.kind() == Kind::Win ? review_texts::kWin
                                                     : value.kind() == Kind::Draw
                                                         ? review_texts::kDraw
                                                         : review_texts::kLoss);
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
    const bool draw = ply.best.value.kind() == Kind::Draw;
    const std::string pattern =
        draw ? Translation::Text(t::kContext, t::kFlag)
             : Translation::Text(t::kContext, t::kFlagSteps, HintText::OwnSteps(ply.best.value));
    return Translation::Fill(
        pattern, {std::to_string(index + 1), Board::FormatMove(ply.move), Word(ply.before),
                  Word(ply.after), Board::FormatMove(ply.best.move), Word(ply.best.value)});
}

std::string GameReview::PlyText(int index) const {
    if (index < 0 || index >= static_cast<int>(plies_.size())) return {};
    const PlyReview& ply = plies_[index];
    if (ply.mistake) return FlagText(index);
    namespace t = review_texts;
    const std::string plyNumber = std::to_string(index + 1);
    const std::string step = Board::FormatMove(ply.move);
    if (!ply.known)
        return Translation::Fill(Translation::Text(t::kContext, t::kPly), {plyNumber, step});
    const std::string pattern =
        ply.after.kind() == Kind::Draw
            ? Translation::Text(t::kContext, t::kPlyOutcome)
            : Translation::Text(t::kContext, t::kPlySteps, HintText::OwnSteps(ply.after));
    return Translation::Fill(pattern, {plyNumber, step, Word(ply.after)});
}

std::string GameReview::Summary() const {
    namespace t = review_texts;
    const int black = Mistakes(Black);
    const int white = Mistakes(White);
    if (black + white == 0) return Translation::Text(t::kContext, t::kNoMistakes);
    return Translation::Fill(
        Translation::Text(t::kContext, t::kSummary),
        {std::to_string(black), std::to_string(white), std::to_string(DecidedAt() + 1)});
}

}  // namespace kelvara

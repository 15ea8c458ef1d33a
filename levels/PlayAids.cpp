#include "PlayAids.h"

#include "HintText.h"

namespace kelvara {

namespace {

BoardPoint Target(const MoveRecord& step) {
    int toX = 0, toY = 0;
    if (!StepTarget(step.fromX, step.fromY, step.direction, toX, toY) || !OnGrid(toX, toY))
        return 0;
    return MakePoint(toX, toY);
}

}  // namespace

bool PlayAids::LocalMayMove(const TurnView& turn) {
    return AidsOffered(turn.kind) && turn.phase == TurnPhase::LocalTurn &&
           (turn.sideToMove == Black || turn.sideToMove == White) && turn.board != nullptr;
}

BoardMark::Tone PlayAids::ToneOf(const PositionValue& value) {
    switch (value.kind()) {
        case PositionValue::Kind::Win:
            return BoardMark::Tone::Win;
        case PositionValue::Kind::Loss:
            return BoardMark::Tone::Loss;
        case PositionValue::Kind::Draw:
            break;
    }
    return BoardMark::Tone::Draw;
}

std::vector<BoardMark> PlayAids::StepMarks(const PlyRecord& ply) {
    std::vector<BoardMark> marks;
    const BoardPoint to = Target(ply.step);
    if (to == 0 || !OnGrid(ply.step.fromX, ply.step.fromY)) return marks;
    BoardMark from;
    from.kind = BoardMark::Kind::LastFrom;
    from.point = MakePoint(ply.step.fromX, ply.step.fromY);
    marks.push_back(from);
    BoardMark dest;
    dest.kind = BoardMark::Kind::LastTo;
    dest.point = to;
    dest.from = from.point;
    dest.side = ply.side;
    marks.push_back(dest);
    for (BoardPoint p : ply.captured) {
        BoardMark taken;
        taken.kind = BoardMark::Kind::Taken;
        taken.point = p;
        taken.side = Enemy(ply.side);
        marks.push_back(taken);
    }
    return marks;
}

std::vector<BoardMark> PlayAids::HintMarks(const StepOutcome& hint) {
    std::vector<BoardMark> marks;
    const BoardPoint to = Target(hint.move);
    if (to == 0) return marks;
    BoardMark from;
    from.kind = BoardMark::Kind::HintFrom;
    from.point = MakePoint(hint.move.fromX, hint.move.fromY);
    from.tone = ToneOf(hint.value);
    marks.push_back(from);
    BoardMark dest = from;
    dest.kind = BoardMark::Kind::HintTo;
    dest.from = from.point;
    dest.point = to;
    marks.push_back(dest);
    return marks;
}

std::vector<BoardMark> PlayAids::AnalysisMarks(const std::vector<StepOutcome>& steps) {
    std::vector<BoardMark> marks;
    std::vector<BoardMark> targets;
    std::vector<int> bestRank;
    for (const StepOutcome& step : steps) {
        const BoardPoint to = Target(step.move);
        if (to == 0) continue;
        BoardMark mark;
        mark.kind = BoardMark::Kind::StepOutcome;
        mark.point = to;
        mark.from = MakePoint(step.move.fromX, step.move.fromY);
        mark.tone = ToneOf(step.value);
        mark.label = HintText::Label(step.value);
        marks.push_back(mark);

        const int rank = step.value.Rank();
        std::size_t k = 0;
        while (k < targets.size() && targets[k].point != to) ++k;
        if (k == targets.size()) {
            BoardMark target;
            target.kind = BoardMark::Kind::TargetOutcome;
            target.point = to;
            target.tone = mark.tone;
            targets.push_back(target);
            bestRank.push_back(rank);
        } else if (rank > bestRank[k]) {
            targets[k].tone = mark.tone;
            bestRank[k] = rank;
        }
    }
    marks.insert(marks.end(), targets.begin(), targets.end());
    return marks;
}

void PlayAids::SetLastStep(const PlyRecord* last) {
    last_ = last != nullptr ? StepMarks(*last) : std::vector<BoardMark>{};
}

void PlayAids::NewGame() {
    last_.clear();
    hint_.clear();
    analysis_.clear();
}

void PlayAids::StepPlayed(const PlyRecord& ply) {
    SetLastStep(&ply);
    hint_.clear();
    analysis_.clear();
}

bool PlayAids::Refresh(const TurnView& turn, const SolvedTable* table) {
    std::vector<BoardMark> next;
    if (analysisOn_ && table != nullptr && LocalMayMove(turn)) {
        next = AnalysisMarks(GameAnalysis(*table).Analyse(*turn.board, turn.sideToMove));
    }
    if (next == analysis_) return false;
    analysis_ = std::move(next);
    return true;
}

bool PlayAids::AnalysisWaiting(const TurnView& turn, const SolvedTable* table) const {
    return analysisOn_ && table == nullptr && LocalMayMove(turn);
}

std::string PlayAids::AskHint(const TurnView& turn, const SolvedTable* table) {
    hint_.clear();
    if (!LocalMayMove(turn)) return {};
    if (table == nullptr) return HintText::Preparing();
    StepOutcome hint;
    if (!GameAnalysis(*table).Hint(*turn.board, turn.sideToMove, hint)) return HintText::NoStep();
    hint_ = HintMarks(hint);
    return HintText::Hint(hint);
}

std::vector<BoardMark> PlayAids::Marks() const {
    std::vector<BoardMark> marks = last_;
    marks.insert(marks.end(), analysis_.begin(), analysis_.end());
    marks.insert(marks.end(), hint_.begin(), hint_.end());
    return marks;
}

}  // namespace kelvara

#include "BoardKeyboard.h"

#include <cctype>

#include "Board.h"
#include "BoardText.h"
#include "GameSession.h"

namespace kelvara {

BoardKeyboard::Result BoardKeyboard::Press(Key key, const std::string& text) {
    switch (key) {
        case Key::Left:
            return Step(-1, 0);
        case Key::Right:
            return Step(1, 0);
        case Key::Up:
            return Step(0, 1);
        case Key::Down:
            return Step(0, -1);
        case Key::Pick:
            if (!typed_.empty()) return PlayTyped();
            return Pick();
        case Key::Back:
            if (lifted_ == 0 && typed_.empty()) return Result::Ignored;
            if (lifted_ != 0) focus_ = lifted_;
            lifted_ = 0;
            typed_.clear();
            return Result::Changed;
        case Key::Erase:
            if (typed_.empty()) return Result::Ignored;
            typed_.pop_back();
            return Result::Changed;
        case Key::Other:
            break;
    }
    // A move typed as the lists write it: two digits 1-4, then one of L R U D.
    if (text.size() != 1) return Result::Ignored;
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    const bool digit = c >= '1' && c <= '4';
    const bool letter = c == 'L' || c == 'R' || c == 'U' || c == 'D';
    if (!(typed_.size() < 2 ? digit : typed_.size() == 2 && letter)) return Result::Ignored;
    typed_ += c;
    return Result::Changed;
}

BoardKeyboard::Result BoardKeyboard::Step(int dx, int dy) {
    typed_.clear();
    if (!shown_) {
        shown_ = true;
        return Result::Changed;
    }
    // While a piece is lifted the ring goes only to the points beside it.
    const BoardPoint from = lifted_ != 0 ? lifted_ : focus_;
    const int x = PointX(from) + dx;
    const int y = PointY(from) + dy;
    if (!OnGrid(x, y)) return Result::Ignored;
    focus_ = MakePoint(x, y);
    return Result::Changed;
}

BoardKeyboard::Result BoardKeyboard::Pick() {
    shown_ = true;
    if (lifted_ == 0) {
        if (!session_.MayLift(PointX(focus_), PointY(focus_))) return Result::Refused;
        lifted_ = focus_;
        return Result::Changed;
    }
    if (focus_ == lifted_) {  // dropped where it was lifted: put back
        lifted_ = 0;
        return Result::Changed;
    }
    MoveRecord step;
    const BoardPoint from = lifted_;
    lifted_ = 0;
    if (Board::MakeMove(from, focus_, step) && session_.PlayLocalStep(step) == LocalStep::Taken)
        return Result::Played;
    focus_ = from;
    return Result::Refused;
}

BoardKeyboard::Result BoardKeyboard::PlayTyped() {
    MoveRecord step;
    const bool read = typed_.size() == 3 && ParseMoveText(typed_, step);
    typed_.clear();
    lifted_ = 0;
    if (!read || session_.PlayLocalStep(step) != LocalStep::Taken) return Result::Refused;
    int toX = 0;
    int toY = 0;
    if (StepTarget(step.fromX, step.fromY, step.direction, toX, toY)) focus_ = MakePoint(toX, toY);
    return Result::Played;
}

void BoardKeyboard::Reset() {
    if (lifted_ != 0) focus_ = lifted_;
    lifted_ = 0;
    typed_.clear();
}

std::vector<BoardMark> BoardKeyboard::Marks() const {
    std::vector<BoardMark> marks;
    if (!shown_) return marks;
    if (lifted_ != 0) {
        BoardMark lifted;
        lifted.kind = BoardMark::Kind::KeyLifted;
        lifted.point = lifted_;
        marks.push_back(lifted);
    }
    BoardMark ring;
    ring.kind = BoardMark::Kind::KeyFocus;
    ring.point = focus_;
    ring.label = typed_;
    marks.push_back(ring);
    return marks;
}

}  // namespace kelvara

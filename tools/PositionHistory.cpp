#include "PositionHistory.h"

namespace kelvara {

void PositionHistory::Record(const Board& board, CellCode side) {
    past_.push_back(Position{board, side});
    future_.clear();
}

bool PositionHistory::Step(std::vector<Position>& from, std::vector<Position>& to, Board& board,
                           CellCode& side) {
    if (from.empty()) return false;
    to.push_back(Position{board, side});
    board = from.back().board;
    side = from.back().side;
    from.pop_back();
    return true;
}

bool PositionHistory::Undo(Board& board, CellCode& side) {
    return Step(past_, future_, board, side);
}

bool PositionHistory::Redo(Board& board, CellCode& side) {
    return Step(future_, past_, board, side);
}

void PositionHistory::Clear() {
    past_.clear();
    future_.clear();
}

}  // namespace kelvara

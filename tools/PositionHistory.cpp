#include "PositionHistory.h"

namespace kelvara {

namespace {

// The pieces and counts only: a board's capture observer stays with the board it belongs to.
void CopyPieces(const Board& from, Board& to) {
    to.cells = from.cells;
    to.blackPieces = from.blackPieces;
    to.whitePieces = from.whitePieces;
}

}  // namespace

void PositionHistory::Record(const Board& board, CellCode side) {
    Position position;
    CopyPieces(board, position.board);
    position.side = side;
    past_.push_back(position);
    future_.clear();
}

bool PositionHistory::Step(std::vector<Position>& from, std::vector<Position>& to, Board& board,
                           CellCode& side) {
    if (from.empty()) return false;
    Position current;
    CopyPieces(board, current.board);
    current.side = side;
    to.push_back(current);
    CopyPieces(from.back().board, board);
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

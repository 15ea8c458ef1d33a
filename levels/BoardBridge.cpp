#include "BoardBridge.h"

#include "PositionIndex.h"

namespace kelvara {

bool BoardBridge::ToPosition(const Board& board, CellCode side, SolverPosition& position) {
    if (side != Black && side != White) return false;
    SolverPosition result;
    result.side = side;
    for (int point = 0; point < PositionIndex::kPoints; ++point) {
        const auto bit = static_cast<std::uint16_t>(1u << point);
        switch (board.Code(point % 4 + 1, point / 4 + 1)) {
            case Black:
                result.black |= bit;
                break;
            case White:
                result.white |= bit;
                break;
            default:
                break;
        }
    }
    if (PositionIndex::popcount16(result.black) > PositionIndex::kMaxPieces ||
        PositionIndex::popcount16(result.white) > PositionIndex::kMaxPieces) {
        return false;
    }
    position = result;
    return true;
}

Board BoardBridge::ToBoard(const SolverPosition& position) {
    Board board;
    for (int point = 0; point < PositionIndex::kPoints; ++point) {
        const auto bit = static_cast<std::uint16_t>(1u << point);
        CellCode code = Empty;
        if (position.black & bit) code = Black;
        if (position.white & bit) code = White;
        board.cells[Board::Index(point % 4 + 1, point / 4 + 1)].code = code;
    }
    board.blackPieces = PositionIndex::popcount16(position.black);
    board.whitePieces = PositionIndex::popcount16(position.white);
    return board;
}

MoveRecord BoardBridge::ToMove(int from, int direction) {
    return MoveRecord{from % 4 + 1, from / 4 + 1, direction};
}

bool BoardBridge::FromMove(const MoveRecord& move, int& from, int& direction) {
    if (!OnGrid(move.fromX, move.fromY) || move.direction < Up || move.direction > Right) {
        return false;
    }
    from = 4 * (move.fromY - 1) + (move.fromX - 1);
    direction = move.direction;
    return true;
}

}  // namespace kelvara

#include "Board.h"

#include <cstdio>

namespace kelvara {

namespace {

constexpr std::int32_t kRingWeight = -1000;

int NeighbourCount(int x, int y) {
    int n = 0;
    if (x > 1) ++n;
    if (x < 4) ++n;
    if (y > 1) ++n;
    if (y < 4) ++n;
    return n;
}

CellCode StartCode(int x, int y) {
    if (y == 1 || (y == 2 && (x == 1 || x == 4))) return Black;
    if (y == 4 || (y == 3 && (x == 1 || x == 4))) return White;
    return Empty;
}

}  // namespace

void Board::ResetBoard() {
    for (int x = 0; x < kSize; ++x) {
        for (int y = 0; y < kSize; ++y) {
            BoardCell& cell = cells[Index(x, y)];
            if (OnGrid(x, y)) {
                cell.code = StartCode(x, y);
                cell.weight = NeighbourCount(x, y);
            } else {
                cell.code = Empty;
                cell.weight = kRingWeight;
            }
        }
    }
}

CellCode Board::PieceAt(BoardPoint p) const {
    const int x = PointX(p);
    const int y = PointY(p);
    if (!OnGrid(x, y)) return Empty;
    return static_cast<CellCode>(Code(x, y));
}

bool Board::MakeMove(BoardPoint from, BoardPoint to, MoveRecord& move) {
    const int fx = PointX(from), fy = PointY(from);
    const int tx = PointX(to), ty = PointY(to);
    move.fromX = fx;
    move.fromY = fy;
    move.direction = None;
    if (fx == tx) {
        if (fy == ty + 1)
            move.direction = Down;
        else if (fy == ty - 1)
            move.direction = Up;
    } else if (fy == ty) {
        if (fx == tx + 1)
            move.direction = Left;
        else if (fx == tx - 1)
            move.direction = Right;
    }
    return move.direction != None;
}

void Board::ApplyMove(CellCode side, int fromX, int fromY, int direction) {
    if (side != Black && side != White) return;
    int toX = 0, toY = 0;
    if (StepTarget(fromX, fromY, direction, toX, toY)) {
        if (!OnGrid(fromX, fromY) || !OnGrid(toX, toY)) return;
        cells[Index(toX, toY)].code = side;
        cells[Index(fromX, fromY)].code = Empty;
        CheckCaptures(side, toX, toY);
    } else if (OnGrid(fromX, fromY)) {
        CheckCaptures(side, fromX, fromY);
    }
}

bool Board::CaptureInLine(CellCode side, const int (&xs)[4], const int (&ys)[4]) {
    const CellCode enemy = Enemy(side);
    std::int32_t c[4];
    for (int i = 0; i < 4; ++i) c[i] = Code(xs[i], ys[i]);
    int taken = -1;
    if (c[0] == Empty && c[1] == side && c[2] == side && c[3] == enemy)
        taken = 3;
    else if (c[0] == Empty && c[1] == enemy && c[2] == side && c[3] == side)
        taken = 1;
    else if (c[0] == side && c[1] == side && c[2] == enemy && c[3] == Empty)
        taken = 2;
    else if (c[0] == enemy && c[1] == side && c[2] == side && c[3] == Empty)
        taken = 0;
    if (taken < 0) return false;
    cells[Index(xs[taken], ys[taken])].code = Empty;
    if (side == Black)
        --whitePieces;
    else
        --blackPieces;
    if (observer_ != nullptr) observer_->PieceCaptured(xs[taken], ys[taken]);
    return true;
}

int Board::CheckCaptures(CellCode side, int x, int y) {
    if ((side != Black && side != White) || !OnGrid(x, y)) return 0;
    int taken = 0;
    const int column[4] = {x, x, x, x};
    const int rows[4] = {1, 2, 3, 4};
    if (CaptureInLine(side, column, rows)) ++taken;
    const int cols[4] = {1, 2, 3, 4};
    const int row[4] = {y, y, y, y};
    if (CaptureInLine(side, cols, row)) ++taken;
    return taken;
}

void Board::StepPiece(CellCode side, int fromX, int fromY, int direction) {
    int toX = 0, toY = 0;
    if (!StepTarget(fromX, fromY, direction, toX, toY)) return;
    // Trial steps start on a playing point and may end on the ring; nothing else is written.
    if (fromX < 0 || fromX >= kSize || fromY < 0 || fromY >= kSize) return;
    if (toX < 0 || toX >= kSize || toY < 0 || toY >= kSize) return;
    cells[Index(toX, toY)].code = side;
    cells[Index(fromX, fromY)].code = Empty;
}

std::string Board::FormatMove(const MoveRecord& move) {
    static const char* const kLetters[4] = {"U", "D", "L", "R"};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d%d", move.fromX, move.fromY);
    std::string text(buf);
    text += (move.direction >= Up && move.direction <= Right) ? kLetters[move.direction] : "ERR";
    return text;
}

bool Board::IsLegalStep(CellCode side, const MoveRecord& move) const {
    if (side != Black && side != White) return false;
    if (!OnGrid(move.fromX, move.fromY)) return false;
    if (Code(move.fromX, move.fromY) != side) return false;
    int toX = 0, toY = 0;
    if (!StepTarget(move.fromX, move.fromY, move.direction, toX, toY)) return false;
    return OnGrid(toX, toY) && Code(toX, toY) == Empty;
}

bool Board::HasLegalStep(CellCode side) const {
    for (int x = 1; x <= 4; ++x) {
        for (int y = 1; y <= 4; ++y) {
            if (Code(x, y) != side) continue;
            for (int d = Up; d <= Right; ++d) {
                if (IsLegalStep(side, MoveRecord{x, y, d})) return true;
            }
        }
    }
    return false;
}

CellCode Board::Winner(CellCode toMove) const {
    if (blackPieces <= 1) return White;
    if (whitePieces <= 1) return Black;
    if ((toMove == Black || toMove == White) && !HasLegalStep(toMove)) return Enemy(toMove);
    return Empty;
}

int Board::CountPieces(CellCode side) const {
    int n = 0;
    for (int x = 1; x <= 4; ++x)
        for (int y = 1; y <= 4; ++y)
            if (Code(x, y) == side) ++n;
    return n;
}

}  // namespace kelvara

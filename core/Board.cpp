#include "Board.h"

#include <cstdio>

namespace kelvara {

namespace {

CellCode StartCode(int x, int y) {
    if (y == 1 || (y == 2 && (x == 1 || x == 4))) return Black;
    if (y == 4 || (y == 3 && (x == 1 || x == 4))) return White;
    return Empty;
}

}  // namespace

void Board::ResetBoard() {
    for (int x = 0; x < kSize; ++x) {
        for (int y = 0; y < kSize; ++y) {
            cells[Index(x, y)].code = OnGrid(x, y) ? StartCode(x, y) : Empty;
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

CaptureList Board::ApplyMove(CellCode side, int fromX, int fromY, int direction) {
    if (side != Black && side != White) return {};
    int toX = 0, toY = 0;
    if (StepTarget(fromX, fromY, direction, toX, toY)) {
        if (!OnGrid(fromX, fromY) || !OnGrid(toX, toY)) return {};
        cells[Index(toX, toY)].code = side;
        cells[Index(fromX, fromY)].code = Empty;
        return CheckCaptures(side, toX, toY);
    }
    if (OnGrid(fromX, fromY)) return CheckCaptures(side, fromX, fromY);
    return {};
}

int Board::ColumnCapture(CellCode side, int x) const {
    return CapturedInLine({Code(x, 1), Code(x, 2), Code(x, 3), Code(x, 4)}, side);
}

int Board::RowCapture(CellCode side, int y) const {
    return CapturedInLine({Code(1, y), Code(2, y), Code(3, y), Code(4, y)}, side);
}

void Board::TakePiece(CellCode side, int x, int y) {
    cells[Index(x, y)].code = Empty;
    if (side == Black)
        --whitePieces;
    else
        --blackPieces;
}

CaptureList Board::CheckCaptures(CellCode side, int x, int y) {
    CaptureList taken;
    if (const int row = ColumnCapture(side, x)) {
        TakePiece(side, x, row);
        taken.push_back(MakePoint(x, row));
    }
    if (const int column = RowCapture(side, y)) {
        TakePiece(side, column, y);
        taken.push_back(MakePoint(column, y));
    }
    return taken;
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

StepList Board::LegalSteps(CellCode side, const StepOrder& order) const {
    StepList steps;
    if (side != Black && side != White) return steps;
    for (int x = 1; x <= 4; ++x) {
        for (int y = 1; y <= 4; ++y) {
            if (Code(x, y) != side) continue;
            for (const Direction d : order) {
                const MoveRecord step{x, y, d};
                if (IsLegalStep(side, step)) steps.push_back(step);
            }
        }
    }
    return steps;
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

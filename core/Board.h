#pragma once

#include <array>
#include <string>

#include "BoardTypes.h"
#include "CaptureList.h"
#include "StepList.h"

namespace kelvara {

// The 4x4 playing points inside a ring of sentinel cells: a 6x6 array indexed x * 6 + y,
// so that a read one step away from any playing point stays inside the array.
class Board {
  public:
    static constexpr int kSize = 6;
    static constexpr int Index(int x, int y) { return x * kSize + y; }

    std::array<BoardCell, kSize * kSize> cells{};
    std::int32_t blackPieces = 6;
    std::int32_t whitePieces = 6;

    Board() { ResetBoard(); }

    // Writes all 36 cells with the starting position (the ring empty); leaves the counts.
    void ResetBoard();

    CellCode PieceAt(BoardPoint p) const;
    // Code of cell (x, y); x and y must lie in 0..5.
    std::int32_t Code(int x, int y) const { return cells[Index(x, y)].code; }

    static bool MakeMove(BoardPoint from, BoardPoint to, MoveRecord& move);

    // The step of `side` followed by the captures at its destination; returns the points of
    // the pieces taken. A direction outside Up..Right moves nothing and examines the lines
    // through the from-point. A step from or onto a cell off the grid does nothing.
    CaptureList ApplyMove(CellCode side, int fromX, int fromY, int direction);
    CaptureList ApplyMove(CellCode side, const MoveRecord& m) {
        return ApplyMove(side, m.fromX, m.fromY, m.direction);
    }

    // The capture rule on one line read at positions 1..4, `side` moving: two adjacent pieces
    // of the side, an enemy piece right beyond one end of the pair and the fourth point empty.
    // Returns the position (1..4) of the enemy piece taken, or 0 when the line takes nothing.
    static constexpr int CapturedInLine(const std::array<std::int32_t, 4>& line, CellCode side) {
        const CellCode enemy = Enemy(side);
        if (line[0] == Empty && line[1] == side && line[2] == side && line[3] == enemy) return 4;
        if (line[0] == Empty && line[1] == enemy && line[2] == side && line[3] == side) return 2;
        if (line[0] == side && line[1] == side && line[2] == enemy && line[3] == Empty) return 3;
        if (line[0] == enemy && line[1] == side && line[2] == side && line[3] == Empty) return 1;
        return 0;
    }
    // The row (1..4) of the piece that the capture rule takes in column x, or 0; and the
    // column of the piece it takes in row y. x and y lie in 0..5; nothing is removed.
    int ColumnCapture(CellCode side, int x) const;
    int RowCapture(CellCode side, int y) const;

    static std::string FormatMove(const MoveRecord& move);

    // A step that the rules allow `side` to make: own piece on a playing point, empty
    // playing point one step away.
    bool IsLegalStep(CellCode side, const MoveRecord& move) const;
    // Every legal step of `side`: pieces by rising column, within a column by rising row, the
    // steps of one piece in `order`. Empty for a side other than Black or White.
    StepList LegalSteps(CellCode side, const StepOrder& order = kCodeOrder) const;
    bool HasLegalStep(CellCode side) const { return !LegalSteps(side).empty(); }
    // Winner by the end-of-game rule (pieces, black first; then a side to move without a
    // step loses), or Empty while the game goes on. `toMove` may be Empty.
    CellCode Winner(CellCode toMove) const;

    // Piece counts recomputed from the cells (the counts must always agree with them).
    int CountPieces(CellCode side) const;

  private:
    // Capture rule on the column and then the row through (x, y), a playing point; the row
    // is read as the column's capture left it.
    CaptureList CheckCaptures(CellCode side, int x, int y);
    // Takes the enemy piece on (x, y) off the board for a capture by `side`.
    void TakePiece(CellCode side, int x, int y);
};

}  // namespace kelvara

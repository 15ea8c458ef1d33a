#pragma once

#include <array>
#include <string>

#include "BoardTypes.h"
#include "CaptureObserver.h"

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

    // Writes all 36 cells with the starting position and the point weights; leaves the counts.
    void ResetBoard();

    CellCode PieceAt(BoardPoint p) const;
    // Code of cell (x, y); x and y must lie in 0..5.
    std::int32_t Code(int x, int y) const { return cells[Index(x, y)].code; }
    std::int32_t Weight(int x, int y) const { return cells[Index(x, y)].weight; }

    static bool MakeMove(BoardPoint from, BoardPoint to, MoveRecord& move);

    // The step of `side` followed by the captures at its destination. A direction outside
    // Up..Right moves nothing and examines the lines through the from-point. A from-point or
    // destination outside the array is never touched: such a call does nothing.
    void ApplyMove(CellCode side, int fromX, int fromY, int direction);
    void ApplyMove(CellCode side, const MoveRecord& m) {
        ApplyMove(side, m.fromX, m.fromY, m.direction);
    }

    // Capture rule on the column and then the row through (x, y), a playing point.
    // Returns the number of pieces taken.
    int CheckCaptures(CellCode side, int x, int y);

    // Step without captures for trial moves; the destination may be a ring cell.
    void StepPiece(CellCode side, int fromX, int fromY, int direction);
    void StepPiece(CellCode side, const MoveRecord& m) {
        StepPiece(side, m.fromX, m.fromY, m.direction);
    }

    static std::string FormatMove(const MoveRecord& move);

    // A step that the rules allow `side` to make: own piece on a playing point, empty
    // playing point one step away.
    bool IsLegalStep(CellCode side, const MoveRecord& move) const;
    bool HasLegalStep(CellCode side) const;
    // Winner by the end-of-game rule (pieces, black first; then a side to move without a
    // step loses), or Empty while the game goes on. `toMove` may be Empty.
    CellCode Winner(CellCode toMove) const;

    // Piece counts recomputed from the cells (the counts must always agree with them).
    int CountPieces(CellCode side) const;

    void SetCaptureObserver(CaptureObserver* observer) { observer_ = observer; }

  private:
    bool CaptureInLine(CellCode side, const int (&xs)[4], const int (&ys)[4]);

    CaptureObserver* observer_ = nullptr;
};

}  // namespace kelvara

#include "DragController.h"

#include <QRect>

#include "BoardCanvas.h"
#include "GameSession.h"
#include "ScenePicture.h"

namespace kelvara {
namespace {

QRect ToQRect(const PixelRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

DragController::DragController(BoardCanvas& canvas, GameSession& session, const ScenePicture& black,
                               const ScenePicture& white)
    : canvas_(canvas), session_(session), black_(black), white_(white) {}

void DragController::DrawPiece(int column, int row, CellCode side) {
    if (side != Black && side != White) return;
    canvas_.DrawPicture(ToQRect(geometry::PieceSquare(column, row)),
                        side == Black ? &black_ : &white_);
}

void DragController::Press(int px, int py) {
    if (dragging_) Settle();
    const BoardPoint point = geometry::PointAtPixel(px, py);
    if (point == 0 || !session_.MayLift(PointX(point), PointY(point))) return;
    selected_ = point;
    buttonDown_ = true;
    dragging_ = true;
    dragRect_ = geometry::PieceSquare(PointX(point), PointY(point));
    dragSide_ = session_.SideToMove();
}

void DragController::Move(int px, int py, bool leftButtonHeld) {
    if (dragging_ && !leftButtonHeld) {
        Settle();
        return;
    }
    if (!dragging_ || !buttonDown_ || !(0 < px && px < 400 && py < 400)) return;
    EraseDragSquare();
    dragRect_ = PixelRect{px - 10, py - 10, px + 10, py + 10};
    canvas_.DrawPicture(ToQRect(dragRect_), dragSide_ == Black ? &black_ : &white_);
}

void DragController::Release(int px, int py) {
    buttonDown_ = false;
    if (!dragging_) return;
    EraseDragSquare();
    dragging_ = false;
    const BoardPoint target = geometry::PointAtPixel(px, py);
    MoveRecord step;
    if (target != 0 && Board::MakeMove(selected_, target, step) &&
        session_.SideToMove() == dragSide_ && session_.PlayLocalStep(step) == LocalStep::Taken)
        return;
    DrawPiece(PointX(selected_), PointY(selected_), dragSide_);
}

void DragController::Settle() {
    if (!dragging_) return;
    EraseDragSquare();
    DrawPiece(PointX(selected_), PointY(selected_), dragSide_);
    dragging_ = false;
    buttonDown_ = false;
}

void DragController::Cancel() {
    if (dragging_) canvas_.Erase(ToQRect(dragRect_));
    dragging_ = false;
    buttonDown_ = false;
}

void DragController::EraseDragSquare() {
    canvas_.Erase(ToQRect(dragRect_));
    // The dragged picture may have passed over other pieces: put back what lay under it, so
    // that a drag never wipes a piece off the screen. The lifted piece stays lifted.
    const auto overlaps = [](const PixelRect& a, const PixelRect& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    };
    const Board& board = session_.CurrentBoard();
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) {
            const CellCode code = static_cast<CellCode>(board.Code(i, j));
            if (MakePoint(i, j) == selected_ || code == Empty) continue;
            if (overlaps(geometry::PieceSquare(i, j), dragRect_)) DrawPiece(i, j, code);
        }
    }
}

TurnCursor DragController::CursorFor(const GameSession& session) {
    switch (session.Phase()) {
        case TurnPhase::Animating:
            return TurnCursor::Unchanged;
        case TurnPhase::LocalTurn:
            if (session.SideToMove() == Black) return TurnCursor::BlackHand;
            if (session.SideToMove() == White) return TurnCursor::WhiteHand;
            return TurnCursor::Default;
        default:
            return TurnCursor::Default;
    }
}

}  // namespace kelvara

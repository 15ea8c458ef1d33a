#include "SetupProblem.h"

namespace kelvara {

SetupProblem FindSetupProblem(const Board& position, CellCode toMove) {
    static constexpr int kMostPieces = 6;
    const int black = position.CountPieces(Black);
    const int white = position.CountPieces(White);
    if (black == 0 || white == 0) return SetupProblem::NoPieces;
    if (black == 1 || white == 1) return SetupProblem::LonePiece;
    if (black > kMostPieces || white > kMostPieces) return SetupProblem::TooManyPieces;
    if (toMove != Black && toMove != White) return SetupProblem::NoSideToMove;
    if (!position.HasLegalStep(toMove)) return SetupProblem::MoverBlocked;
    return SetupProblem::None;
}

}  // namespace kelvara

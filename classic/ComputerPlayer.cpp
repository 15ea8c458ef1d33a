#include "ComputerPlayer.h"

namespace kelvara {

namespace {

// One row or column of the grid read by position 1..4, with the two cells beside each position
// off the line (one of them a ring cell on an edge line).
class GridLine {
  public:
    GridLine(const Board& board, bool isRow, int fixed)
        : board_(board), isRow_(isRow), fixed_(fixed) {}

    std::int32_t At(int k) const {
        return isRow_ ? board_.Code(k, fixed_) : board_.Code(fixed_, k);
    }
    bool Beside(int k, std::int32_t code) const {
        if (isRow_) return board_.Code(k, fixed_ - 1) == code || board_.Code(k, fixed_ + 1) == code;
        return board_.Code(fixed_ - 1, k) == code || board_.Code(fixed_ + 1, k) == code;
    }

  private:
    const Board& board_;
    bool isRow_;
    int fixed_;
};

// The forms in which one enemy step makes the line take the piece at position p: an enemy
// stepping along the line from the far end, or into the line from a point beside it.
bool ThreatInLine(const GridLine& line, int p, CellCode enemy) {
    const auto e = [&](int k) { return line.At(k) == enemy; };
    const auto o = [&](int k) { return line.At(k) == Empty; };
    const auto beside = [&](int k) { return line.Beside(k, enemy); };
    switch (p) {
        case 1:
            return (e(2) && o(3) && e(4)) || (e(2) && o(3) && o(4) && beside(3)) ||
                   (o(2) && e(3) && o(4) && beside(2));
        case 2:
            return (o(1) && e(3) && o(4) && beside(4)) || (o(1) && o(3) && e(4) && beside(3));
        case 3:
            return (e(1) && o(2) && o(4) && beside(2)) || (o(1) && e(2) && o(4) && beside(1));
        case 4:
            return (e(1) && o(2) && e(3)) || (o(1) && o(2) && e(3) && beside(2)) ||
                   (o(1) && e(2) && o(3) && beside(3));
        default:
            return false;
    }
}

bool InArray(int x, int y) {
    return x >= 0 && x < Board::kSize && y >= 0 && y < Board::kSize;
}

}  // namespace

bool ComputerPlayer::IsThreatened(const Board& board, int x, int y, CellCode side) {
    if (!OnGrid(x, y) || (side != Black && side != White)) return false;
    const CellCode enemy = Enemy(side);
    return ThreatInLine(GridLine(board, true, y), x, enemy) ||
           ThreatInLine(GridLine(board, false, x), y, enemy);
}

std::int32_t ComputerPlayer::CaptureGain(const Board& board, int x, int y, CellCode side) {
    if (!InArray(x, y) || (side != Black && side != White)) return 0;
    std::int32_t gain = 0;
    if (const int row = board.ColumnCapture(side, x)) gain += Weight(x, row);
    if (const int column = board.RowCapture(side, y)) gain += Weight(column, y);
    return gain;
}

std::int32_t ComputerPlayer::PositionScore(const Board& board) {
    std::int32_t sum = 0;
    for (int x = 0; x < Board::kSize; ++x) {
        for (int y = 0; y < Board::kSize; ++y) {
            if (board.Code(x, y) != White) continue;
            const std::int32_t weight = Weight(x, y);
            if (weight < 0 || !IsThreatened(board, x, y, White)) sum += weight;
        }
    }
    return sum;
}

std::int32_t ComputerPlayer::ScoreStep(const Board& board, int fromX, int fromY, int toX, int toY) {
    if (!InArray(toX, toY) || board.Code(toX, toY) != Empty) return kNoStep;
    MoveRecord step;
    if (!Board::MakeMove(MakePoint(fromX, fromY), MakePoint(toX, toY), step)) return kNoStep;
    if (!OnGrid(fromX, fromY) || board.Code(fromX, fromY) != White) return kNoStep;

    // The trial step moves the piece only: what it would take is counted, not removed, and
    // a piece stepped onto the ring weighs the score down.
    Board trial = board;
    trial.cells[Board::Index(toX, toY)].code = White;
    trial.cells[Board::Index(fromX, fromY)].code = Empty;
    return CaptureGain(trial, toX, toY, White) + PositionScore(trial);
}

std::optional<MoveRecord> ComputerPlayer::SearchMove(const Board& board) {
    // Only legal steps can score above 0: a step onto the ring scores below -900 and one onto
    // an occupied point kNoStep. The generator's order decides ties, since only a strictly
    // higher score replaces the step kept.
    std::int32_t best = 0;
    std::optional<MoveRecord> move;
    for (const MoveRecord& step : board.LegalSteps(White, kSearchOrder)) {
        int toX = 0, toY = 0;
        StepTarget(step.fromX, step.fromY, step.direction, toX, toY);
        const std::int32_t score = ScoreStep(board, step.fromX, step.fromY, toX, toY);
        if (score > best) {
            best = score;
            move = step;
        }
    }
    return move;
}

std::optional<MoveRecord> ComputerPlayer::ChooseMove(const Board& board) {
    MoveRecord stored;
    if (experience_.LookUpExperience(board, White, stored)) return stored;
    return SearchMove(board);
}

}  // namespace kelvara

#include "BeginnerPlayer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "ComputerPlayer.h"

namespace kelvara {

namespace {

// The board with the colours swapped, so that the white-only evaluation judges black's steps.
Board Swapped(const Board& board) {
    Board swapped = board;
    for (auto& cell : swapped.cells) {
        if (cell.code == Black) {
            cell.code = White;
        } else if (cell.code == White) {
            cell.code = Black;
        }
    }
    std::swap(swapped.blackPieces, swapped.whitePieces);
    return swapped;
}

// A uniform number in [0, 1) from the generator's raw output (the same on every library).
double Uniform(std::mt19937& rng) {
    return static_cast<double>(rng()) / 4294967296.0;
}

// Scores differ by 2 to 4 per piece taken or put at risk: one such piece makes a step about
// three times as likely.
constexpr double kTemperature = 3.0;

}  // namespace

std::int32_t BeginnerPlayer::ScoreFor(const Board& board, CellCode side, const MoveRecord& step) {
    const Board view = side == White ? board : Swapped(board);
    int toX = 0, toY = 0;
    StepTarget(step.fromX, step.fromY, step.direction, toX, toY);
    return ComputerPlayer::ScoreStep(view, step.fromX, step.fromY, toX, toY);
}

std::optional<MoveRecord> BeginnerPlayer::ChooseMove(const Board& board) {
    std::vector<MoveRecord> steps;
    std::vector<double> scores;
    for (const MoveRecord& step : board.LegalSteps(side_, kSearchOrder)) {
        steps.push_back(step);
        scores.push_back(ScoreFor(board, side_, step));
    }
    if (steps.empty()) return std::nullopt;
    if (Uniform(rng_) * 100 < kCarelessPercent) return steps[rng_() % steps.size()];
    const double best = *std::max_element(scores.begin(), scores.end());
    std::vector<double> weights(scores.size());
    double sum = 0;
    for (std::size_t i = 0; i < scores.size(); ++i) {
        weights[i] = std::exp((scores[i] - best) / kTemperature);
        sum += weights[i];
    }
    double pick = Uniform(rng_) * sum;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        pick -= weights[i];
        if (pick < 0) return steps[i];
    }
    return steps.back();
}

}  // namespace kelvara

#pragma once

#include <string>
#include <utility>
#include <vector>

#include "Board.h"
#include "GameSession.h"
#include "GameView.h"

namespace kelvara::test {

// A GameView that keeps what the session shows, for tests without a window. A step's slide
// is over at once unless `holdSlides` is set; FinishSlide() then ends it.
struct RecordingView : GameView {
    GameSession* session = nullptr;
    bool holdSlides = false;

    std::string match, status, clock;
    std::vector<std::string> black, white;
    bool timerRunning = false;
    int timerStops = 0;
    int positionsShown = 0;
    std::vector<std::pair<int, int>> erasedPieces;  // every captured point, in order
    std::vector<std::string> animations;            // "w13R": side and step of each slide

    void SetMatchLine(const std::string& t) override { match = t; }
    void SetStatusLine(const std::string& t) override { status = t; }
    void SetClockText(const std::string& t) override { clock = t; }
    void AppendHistory(CellCode side, const std::string& m) override {
        (side == Black ? black : white).push_back(m);
    }
    void RemoveLastHistory(CellCode side) override {
        std::vector<std::string>& list = side == Black ? black : white;
        if (!list.empty()) list.pop_back();
    }
    void ClearHistory() override {
        black.clear();
        white.clear();
    }
    void StartClockTimer() override { timerRunning = true; }
    void StopClockTimer() override {
        timerRunning = false;
        ++timerStops;
    }
    void PositionChanged() override { ++positionsShown; }
    void StepApplied(const PlyRecord& ply) override {
        for (BoardPoint p : ply.captured) erasedPieces.emplace_back(PointX(p), PointY(p));
    }
    void AnimateStep(const PlyRecord& ply) override {
        animations.push_back(std::string(ply.side == Black ? "b" : "w") +
                             Board::FormatMove(ply.step));
        if (!holdSlides) FinishSlide();
    }
    void FinishSlide() {
        if (session != nullptr) session->StepAnimationDone();
    }
};

}  // namespace kelvara::test

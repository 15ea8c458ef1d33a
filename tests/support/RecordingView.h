#pragma once

#include <string>
#include <utility>
#include <vector>

#include "Board.h"
#include "GameView.h"

namespace kelvara::test {

// A GameView that records what the session shows and draws, for tests without a window.
struct RecordingView : GameView {
    std::string match, status, clock;
    std::vector<std::string> black, white;
    bool timerRunning = false;
    int timerStops = 0;
    std::vector<std::pair<int, int>> erasedPieces;
    std::vector<std::string> animations;
    std::vector<std::string> log;  // drawing calls in order
    PixelRect lastErased{};

    void SetMatchLine(const std::string& t) override { match = t; }
    void SetStatusLine(const std::string& t) override {
        status = t;
        log.push_back("status");
    }
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
    void EraseBoard() override { log.push_back("eraseBoard"); }
    void DrawAllPieces() override { log.push_back("drawAll"); }
    void DrawPiece(int c, int r, CellCode s) override {
        log.push_back("draw " + std::to_string(c) + std::to_string(r) + (s == Black ? "b" : "w"));
    }
    void ErasePiece(int c, int r) override {
        erasedPieces.emplace_back(c, r);
        log.push_back("erase " + std::to_string(c) + std::to_string(r));
    }
    void EraseRect(const PixelRect& r) override {
        lastErased = r;
        log.push_back("eraseRect");
    }
    void DrawPictureInRect(CellCode, const PixelRect& r) override {
        log.push_back("drag " + std::to_string(r.left) + "," + std::to_string(r.top));
    }
    void AnimateMove(CellCode s, int c, int r, int d) override {
        animations.push_back(std::string(s == Black ? "b" : "w") + Board::FormatMove({c, r, d}));
    }
};

}  // namespace kelvara::test

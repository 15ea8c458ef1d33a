#pragma once

namespace kelvara {

// Told of every piece the capture rule takes off the board, so the display can erase it.
class CaptureObserver {
  public:
    virtual ~CaptureObserver() = default;
    virtual void PieceCaptured(int x, int y) = 0;
};

}  // namespace kelvara

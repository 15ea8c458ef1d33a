#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>

#include "BoardTypes.h"

namespace kelvara {

// The points of the pieces one step took, in the order the capture rule took them (the column
// through the destination, then its row). A step takes at most one piece in each of the two
// lines, so two points always fit; the list holds them without allocation.
class CaptureList {
  public:
    static constexpr std::size_t kCapacity = 2;

    CaptureList() = default;
    CaptureList(std::initializer_list<BoardPoint> points) {
        for (const BoardPoint p : points) push_back(p);
    }

    // A point beyond the capacity is dropped.
    void push_back(BoardPoint p) {
        if (size_ < kCapacity) points_[size_++] = p;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    BoardPoint operator[](std::size_t i) const { return points_[i]; }
    const BoardPoint* begin() const { return points_.data(); }
    const BoardPoint* end() const { return points_.data() + size_; }

    friend bool operator==(const CaptureList& a, const CaptureList& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

  private:
    std::array<BoardPoint, kCapacity> points_{};
    std::size_t size_ = 0;
};

}  // namespace kelvara

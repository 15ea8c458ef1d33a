#pragma once

#include <array>
#include <cstddef>

#include "BoardTypes.h"

namespace kelvara {

// The legal steps of one side in generation order, held without allocation. Every step joins
// two neighbouring points of the 4x4 grid, which has 24 such pairs, so 24 steps always fit.
class StepList {
  public:
    static constexpr std::size_t kCapacity = 24;

    // A step beyond the capacity (only an order that names a direction twice could make one)
    // is dropped.
    void push_back(const MoveRecord& step) {
        if (size_ < kCapacity) steps_[size_++] = step;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const MoveRecord& operator[](std::size_t i) const { return steps_[i]; }
    const MoveRecord* begin() const { return steps_.data(); }
    const MoveRecord* end() const { return steps_.data() + size_; }

  private:
    std::array<MoveRecord, kCapacity> steps_{};
    std::size_t size_ = 0;
};

}  // namespace kelvara

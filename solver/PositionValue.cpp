#include "PositionValue.h"

namespace kelvara {

PositionValue PositionValue::FromCode(std::uint8_t code) {
    if (code == 0) return Draw();
    const int plies = code - 1;
    return plies % 2 == 0 ? Loss(plies) : Win(plies);
}

std::uint8_t PositionValue::Code() const {
    if (kind_ == Kind::Draw) return 0;
    return static_cast<std::uint8_t>(plies_ + 1);
}

PositionValue PositionValue::ForSideThatStepped() const {
    switch (kind_) {
        case Kind::Win:
            return Loss(plies_ + 1);
        case Kind::Loss:
            return Win(plies_ + 1);
        case Kind::Draw:
            break;
    }
    return Draw();
}

int PositionValue::Rank() const {
    switch (kind_) {
        case Kind::Win:
            return 1000 - plies_;
        case Kind::Draw:
            return 0;
        case Kind::Loss:
            break;
    }
    return -1000 + plies_;
}

std::string PositionValue::Text() const {
    switch (kind_) {
        case Kind::Win:
            return "win " + std::to_string(plies_);
        case Kind::Loss:
            return "loss " + std::to_string(plies_);
        case Kind::Draw:
            break;
    }
    return "draw";
}

}  // namespace kelvara

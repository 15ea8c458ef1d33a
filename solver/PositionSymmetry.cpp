#include "PositionSymmetry.h"

#include <utility>

namespace kelvara {

namespace {

int MapPoint(int point, int g) {
    int x = point % 4, y = point / 4;
    if (g & 1) x = 3 - x;
    if (g & 2) y = 3 - y;
    if (g & 4) std::swap(x, y);
    return 4 * y + x;
}

}  // namespace

const PositionSymmetry& PositionSymmetry::Get() {
    static const PositionSymmetry instance;
    return instance;
}

PositionSymmetry::PositionSymmetry() : smallest_(1u << 16), maps_(1u << 16) {
    for (int g = 0; g < kCount; ++g) {
        for (int half = 0; half < 2; ++half) {
            for (unsigned byte = 0; byte < 256; ++byte) {
                unsigned image = 0;
                for (int b = 0; b < 8; ++b) {
                    if (byte & (1u << b)) image |= 1u << MapPoint(8 * half + b, g);
                }
                image_[g][half][byte] = static_cast<std::uint16_t>(image);
            }
        }
    }
    for (unsigned set = 0; set < (1u << 16); ++set) {
        std::uint16_t best = 0xFFFF;
        std::uint8_t maps = 0;
        for (int g = 0; g < kCount; ++g) {
            const std::uint16_t image = Transform(static_cast<std::uint16_t>(set), g);
            if (image < best) {
                best = image;
                maps = 0;
            }
            if (image == best) maps = static_cast<std::uint8_t>(maps | (1u << g));
        }
        smallest_[set] = best;
        maps_[set] = maps;
    }
}

}  // namespace kelvara

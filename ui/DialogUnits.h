#pragma once

#include <QRect>
#include <cmath>

namespace kelvara {

// Dialog units of an 8-point dialog font at 96 dpi, in which every layout is given: 1.5 pixels per
// horizontal unit and 1.625 pixels per vertical unit.
inline QRect DluRect(double x, double y, double width, double height) {
    const int left = static_cast<int>(std::lround(x * 1.5));
    const int top = static_cast<int>(std::lround(y * 1.625));
    const int right = static_cast<int>(std::lround((x + width) * 1.5));
    const int bottom = static_cast<int>(std::lround((y + height) * 1.625));
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace kelvara

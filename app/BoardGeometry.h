#pragma once

#include "BoardTypes.h"

namespace kelvara {

// Client-area rectangle, right and bottom exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Pixel geometry of the board on the main window: points 95 pixels apart, the 20x20 piece
// square of (i, j) at (95i - 90, 465 - 95j).
namespace geometry {

inline constexpr int kSquare = 20;
inline constexpr PixelRect kBoardArea{0, 70, 311, 400};
// The inside of the frame that the background picture draws around the board: marks drawn
// on the board stay within it.
inline constexpr PixelRect kFrameInside{3, 82, 312, 393};

inline constexpr int SquareLeft(int column) {
    return 95 * column - 90;
}
inline constexpr int SquareTop(int row) {
    return 465 - 95 * row;
}
inline constexpr PixelRect PieceSquare(int column, int row) {
    return {SquareLeft(column), SquareTop(row), SquareLeft(column) + kSquare,
            SquareTop(row) + kSquare};
}

// The point whose hit square (closed on all sides, 21x21) holds the pixel, or 0.
inline constexpr BoardPoint PointAtPixel(int x, int y) {
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) {
            const int x0 = SquareLeft(i), y0 = SquareTop(j);
            if (x0 <= x && x <= x0 + kSquare && y0 <= y && y <= y0 + kSquare)
                return MakePoint(i, j);
        }
    }
    return 0;
}

}  // namespace geometry
}  // namespace kelvara

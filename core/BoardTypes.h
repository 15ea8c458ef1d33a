#pragma once

#include <array>
#include <cstdint>

namespace kelvara {

// Code of a cell, and of a side: Black and White name both a piece and a player;
// Empty is an empty point, a ring cell, or "nobody" as a side.
enum CellCode : std::int32_t { Black = 0, White = 1, Empty = 2 };

inline constexpr CellCode Enemy(CellCode side) {
    return side == Black ? White : Black;
}

enum Direction : std::int32_t { Up = 0, Down = 1, Left = 2, Right = 3, None = 4 };

// A point packed into 16 bits: column in the low byte, row in the high byte; 0 is no point.
using BoardPoint = std::uint16_t;

inline constexpr BoardPoint MakePoint(int x, int y) {
    return static_cast<BoardPoint>(((y & 0xFF) << 8) | (x & 0xFF));
}
inline constexpr int PointX(BoardPoint p) {
    return p & 0xFF;
}
inline constexpr int PointY(BoardPoint p) {
    return (p >> 8) & 0xFF;
}
inline constexpr bool OnGrid(int x, int y) {
    return x >= 1 && x <= 4 && y >= 1 && y <= 4;
}

struct BoardCell {
    std::int32_t code = Empty;

    friend bool operator==(const BoardCell&, const BoardCell&) = default;
};

struct MoveRecord {
    std::int32_t fromX = 0;
    std::int32_t fromY = 0;
    std::int32_t direction = None;

    friend bool operator==(const MoveRecord&, const MoveRecord&) = default;
};

// The order in which the four steps of one piece are tried.
using StepOrder = std::array<Direction, 4>;
// By direction code: up, down, left, right.
inline constexpr StepOrder kCodeOrder = {Up, Down, Left, Right};
// The classic search's order, which decides its ties: right, left, up, down.
inline constexpr StepOrder kSearchOrder = {Right, Left, Up, Down};

// Destination of a step; false for a direction outside Up..Right.
inline constexpr bool StepTarget(int fromX, int fromY, int direction, int& toX, int& toY) {
    switch (direction) {
        case Up:
            toX = fromX;
            toY = fromY + 1;
            return true;
        case Down:
            toX = fromX;
            toY = fromY - 1;
            return true;
        case Left:
            toX = fromX - 1;
            toY = fromY;
            return true;
        case Right:
            toX = fromX + 1;
            toY = fromY;
            return true;
        default:
            toX = fromX;
            toY = fromY;
            return false;
    }
}

}  // namespace kelvara

#pragma once

#include <string>

#include "Board.h"

namespace kelvara {

// The 16 playing points as text: point (x, y) at index 4 * (y - 1) + (x - 1), bottom row first;
// 'b' black, 'w' white, '.' empty.
std::string BoardToText(const Board& board);

// Fills the playing points from such a text (upper-case letters accepted) and sets the piece
// counts from the cells. Returns false, leaving the board unchanged, on malformed text.
bool BoardFromText(const std::string& text, Board& board);

// A move text such as "21U" (letter in either case) as a record; false when malformed.
bool ParseMoveText(const std::string& text, MoveRecord& move);

}  // namespace kelvara

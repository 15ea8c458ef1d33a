#pragma once

#include <string>
#include <string_view>

#include "Board.h"

namespace kelvara {

// The one text form of a board, shared by every program that reads or writes one: the 16
// playing points, point (x, y) at index 4 * (y - 1) + (x - 1), bottom row first; 'b' black,
// 'w' white, '.' empty. The reader takes the letters in either case; the writer writes them in
// lower case.
std::string BoardToText(const Board& board);

// Fills the playing points from such a text and sets the piece counts from the cells. Returns
// false, leaving the board unchanged, on text of another length or with another character.
bool BoardFromText(std::string_view text, Board& board);

// The side to move as text: "b" or "w", in either case.
bool SideFromText(std::string_view text, CellCode& side);

// A move text such as "21U" (letter in either case) as a record; false when malformed.
bool ParseMoveText(std::string_view text, MoveRecord& move);

}  // namespace kelvara

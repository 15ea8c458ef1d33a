#pragma once

#include <cstdint>
#include <string>

#include "PositionValue.h"
#include "SolvedTable.h"

namespace kelvara {

// Plays from the solved table. Sides use the game core's codes: 0 black, 1 white.
//
// Board text: the game core's (BoardText.h): 16 characters, point (x, y) at index 4*(y-1)+(x-1)
// (bottom row first), 'b' for black, 'w' for white, '.' for an empty point, in either case. Move
// text: column, row and U/D/L/R, e.g. 21U.
//
// Text API (for the engine front end):
//   ValueText("bbbbb..bw..wwwww", 0)   -> "win N", "loss N" or "draw" for the side to move;
//                                          "" when the board text or the side is invalid.
//   PerfectMove("bbbbb..bw..wwwww", 0) -> the chosen step such as "21U", "none" when the game
//                                          is over or the side has no step, "" when invalid.
// A board is valid with at most 6 pieces a side. The game is over when a side has one piece
// or none (black's count is checked first): the side to move then has "loss 0" or "win 0".
//
// The choice: in a won position a step that wins fastest, in a lost one a step that loses
// slowest, in a drawn one a step that keeps the draw; ties go to the first step in the scan
// order (lowest column, then lowest row, then right, left, up, down).
class PerfectPlayer {
  public:
    static constexpr int kBlack = 0;
    static constexpr int kWhite = 1;

    struct Step {
        int from = -1;        // point index 4*(y-1)+(x-1), or -1 for no step
        int direction = -1;   // 0 up, 1 down, 2 left, 3 right
        PositionValue value;  // value of the position for the side that steps
    };

    // The table must be complete (SolvedTable::Complete()) and outlive the player.
    explicit PerfectPlayer(const SolvedTable& solver) : solver_(solver) {}

    static bool ParseBoard(const std::string& text, std::uint16_t& black, std::uint16_t& white);
    static std::string BoardText(std::uint16_t black, std::uint16_t white);
    // At most 6 pieces a side on disjoint points, and a side of 0 or 1.
    static bool Valid(std::uint16_t black, std::uint16_t white, int side);

    // Typed API; the arguments must be Valid.
    PositionValue Value(std::uint16_t black, std::uint16_t white, int side) const;
    // The chosen step; from == -1 when the game is over or the side has no step.
    Step BestStep(std::uint16_t black, std::uint16_t white, int side) const;

    std::string ValueText(const std::string& boardText, int side) const;
    std::string PerfectMove(const std::string& boardText, int side) const;

  private:
    const SolvedTable& solver_;
};

}  // namespace kelvara

#pragma once

#include <array>
#include <string>

// A deliberately plain second implementation of the rules on a 4x4 grid of characters, used
// to cross-check the solver's bit tables and its table: cell (x, y) is cells[4*(y-1)+(x-1)],
// holding 'b', 'w' or '.'.
class ReferenceGame {
  public:
    using Cells = std::array<char, 16>;

    struct Step {
        int x = 0, y = 0;
        char letter = '?';  // U, D, L or R
        Cells after{};
        std::string Text() const;
    };

    struct Steps {
        std::array<Step, 24> list{};
        int count = 0;
    };

    // Result of a depth-limited search for the side to move.
    struct Outcome {
        enum class Kind { Win, Loss, Unknown } kind = Kind::Unknown;
        int plies = 0;
    };

    static Cells FromText(const std::string& text);
    static std::string ToText(const Cells& cells);
    static int Count(const Cells& cells, char side);

    // Every legal step of `side` in the order column x, row y, then right, left, up, down,
    // with the captures applied (column through the destination first, then its row).
    static Steps AllSteps(const Cells& cells, char side);

    // Exact value if the game ends within `depth` plies with best play, else Unknown. A side
    // to move with at most one piece, or with no step, has lost.
    static Outcome Search(const Cells& cells, char side, int depth);

  private:
    static void CaptureLine(Cells& cells, char side, const int (&points)[4]);
};

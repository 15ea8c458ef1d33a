#include "PositionRules.h"

#include "BoardText.h"

namespace kelvara {

// Move text is the core's, so the solver reads and writes exactly what the game does.
std::string PositionRules::MoveText(int from, int direction) {
    return Board::FormatMove({XOf(from), YOf(from), direction});
}

bool PositionRules::ParseMove(const std::string& text, int& from, int& direction) {
    MoveRecord move{};
    if (!ParseMoveText(text, move)) return false;
    from = PointOf(move.fromX, move.fromY);
    direction = move.direction;
    return true;
}

}  // namespace kelvara

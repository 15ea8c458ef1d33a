#include "PositionRules.h"

namespace kelvara {

namespace {
constexpr char kLetters[4] = {'U', 'D', 'L', 'R'};
}

std::string PositionRules::MoveText(int from, int direction) {
    std::string text;
    text += static_cast<char>('0' + XOf(from));
    text += static_cast<char>('0' + YOf(from));
    if (direction >= 0 && direction < 4) {
        text += kLetters[direction];
    } else {
        text += "ERR";
    }
    return text;
}

bool PositionRules::ParseMove(const std::string& text, int& from, int& direction) {
    if (text.size() != 3) return false;
    const int x = text[0] - '0', y = text[1] - '0';
    if (x < 1 || x > 4 || y < 1 || y > 4) return false;
    for (int d = 0; d < 4; ++d) {
        if (text[2] == kLetters[d] || text[2] == kLetters[d] - 'A' + 'a') {
            from = PointOf(x, y);
            direction = d;
            return true;
        }
    }
    return false;
}

}  // namespace kelvara

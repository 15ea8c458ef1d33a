#include "ReferenceGame.h"

#include <algorithm>

namespace {

int At(int x, int y) {
    return 4 * (y - 1) + (x - 1);
}

char Enemy(char side) {
    return side == 'b' ? 'w' : 'b';
}

}  // namespace

std::string ReferenceGame::Step::Text() const {
    return std::to_string(x) + std::to_string(y) + letter;
}

ReferenceGame::Cells ReferenceGame::FromText(const std::string& text) {
    Cells cells{};
    for (int i = 0; i < 16; ++i) cells[i] = text[i];
    return cells;
}

std::string ReferenceGame::ToText(const Cells& cells) {
    return std::string(cells.begin(), cells.end());
}

int ReferenceGame::Count(const Cells& cells, char side) {
    return static_cast<int>(std::count(cells.begin(), cells.end(), side));
}

void ReferenceGame::CaptureLine(Cells& cells, char side, const int (&points)[4]) {
    const char e = Enemy(side);
    char c[4];
    for (int i = 0; i < 4; ++i) c[i] = cells[points[i]];
    int taken = -1;
    if (c[0] == '.' && c[1] == side && c[2] == side && c[3] == e) taken = 3;
    if (c[0] == '.' && c[1] == e && c[2] == side && c[3] == side) taken = 1;
    if (c[0] == side && c[1] == side && c[2] == e && c[3] == '.') taken = 2;
    if (c[0] == e && c[1] == side && c[2] == side && c[3] == '.') taken = 0;
    if (taken >= 0) cells[points[taken]] = '.';
}

ReferenceGame::Steps ReferenceGame::AllSteps(const Cells& cells, char side) {
    static const int dx[4] = {1, -1, 0, 0};
    static const int dy[4] = {0, 0, 1, -1};
    static const char letters[4] = {'R', 'L', 'U', 'D'};
    Steps steps;
    for (int x = 1; x <= 4; ++x) {
        for (int y = 1; y <= 4; ++y) {
            if (cells[At(x, y)] != side) continue;
            for (int d = 0; d < 4; ++d) {
                const int tx = x + dx[d], ty = y + dy[d];
                if (tx < 1 || tx > 4 || ty < 1 || ty > 4 || cells[At(tx, ty)] != '.') continue;
                Step& s = steps.list[steps.count++];
                s.x = x;
                s.y = y;
                s.letter = letters[d];
                s.after = cells;
                s.after[At(x, y)] = '.';
                s.after[At(tx, ty)] = side;
                const int column[4] = {At(tx, 1), At(tx, 2), At(tx, 3), At(tx, 4)};
                CaptureLine(s.after, side, column);
                const int row[4] = {At(1, ty), At(2, ty), At(3, ty), At(4, ty)};
                CaptureLine(s.after, side, row);
            }
        }
    }
    return steps;
}

ReferenceGame::Outcome ReferenceGame::Search(const Cells& cells, char side, int depth) {
    Outcome out;
    if (Count(cells, side) <= 1) return {Outcome::Kind::Loss, 0};
    const Steps steps = AllSteps(cells, side);
    if (steps.count == 0) return {Outcome::Kind::Loss, 0};
    if (depth == 0) return out;
    int bestWin = -1, worstLoss = 0;
    bool unknown = false;
    for (int i = 0; i < steps.count; ++i) {
        const Outcome child = Search(steps.list[i].after, Enemy(side), depth - 1);
        if (child.kind == Outcome::Kind::Loss) {
            if (bestWin < 0 || child.plies + 1 < bestWin) bestWin = child.plies + 1;
            if (bestWin == 1) break;
        } else if (child.kind == Outcome::Kind::Win) {
            worstLoss = std::max(worstLoss, child.plies + 1);
        } else {
            unknown = true;
        }
    }
    if (bestWin > 0) return {Outcome::Kind::Win, bestWin};
    if (unknown) return out;
    return {Outcome::Kind::Loss, worstLoss};
}

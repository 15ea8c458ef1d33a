#include "BoardText.h"

namespace kelvara {

std::string BoardToText(const Board& board) {
    std::string text(16, '.');
    for (int y = 1; y <= 4; ++y) {
        for (int x = 1; x <= 4; ++x) {
            const int code = board.Code(x, y);
            text[4 * (y - 1) + (x - 1)] = code == Black ? 'b' : code == White ? 'w' : '.';
        }
    }
    return text;
}

bool BoardFromText(std::string_view text, Board& board) {
    if (text.size() != 16) return false;
    CellCode codes[16];
    for (int i = 0; i < 16; ++i) {
        switch (text[i]) {
            case 'b':
            case 'B':
                codes[i] = Black;
                break;
            case 'w':
            case 'W':
                codes[i] = White;
                break;
            case '.':
                codes[i] = Empty;
                break;
            default:
                return false;
        }
    }
    for (int i = 0; i < 16; ++i) board.cells[Board::Index(i % 4 + 1, i / 4 + 1)].code = codes[i];
    board.blackPieces = board.CountPieces(Black);
    board.whitePieces = board.CountPieces(White);
    return true;
}

bool SideFromText(std::string_view text, CellCode& side) {
    if (text == "b" || text == "B") {
        side = Black;
        return true;
    }
    if (text == "w" || text == "W") {
        side = White;
        return true;
    }
    return false;
}

bool ParseMoveText(std::string_view text, MoveRecord& move) {
    if (text.size() != 3 || text[0] < '1' || text[0] > '4' || text[1] < '1' || text[1] > '4')
        return false;
    int direction = None;
    switch (text[2]) {
        case 'U':
        case 'u':
            direction = Up;
            break;
        case 'D':
        case 'd':
            direction = Down;
            break;
        case 'L':
        case 'l':
            direction = Left;
            break;
        case 'R':
        case 'r':
            direction = Right;
            break;
        default:
            return false;
    }
    move = MoveRecord{text[0] - '0', text[1] - '0', direction};
    return true;
}

}  // namespace kelvara

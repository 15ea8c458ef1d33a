#include "PerfectPlayer.h"

#include "BoardText.h"
#include "PositionRules.h"

namespace kelvara {

bool PerfectPlayer::ParseBoard(const std::string& text, std::uint16_t& black,
                               std::uint16_t& white) {
    // The text is read by the game core's one reader, so every program takes the same texts.
    Board board;
    if (!BoardFromText(text, board)) return false;
    black = white = 0;
    for (int p = 0; p < 16; ++p) {
        const auto bit = static_cast<std::uint16_t>(1u << p);
        const std::int32_t code = board.Code(PositionRules::XOf(p), PositionRules::YOf(p));
        if (code == Black) black |= bit;
        if (code == White) white |= bit;
    }
    return true;
}

std::string PerfectPlayer::BoardText(std::uint16_t black, std::uint16_t white) {
    Board board;
    for (int p = 0; p < 16; ++p) {
        const auto bit = static_cast<std::uint16_t>(1u << p);
        CellCode code = Empty;
        if (black & bit) code = Black;
        if (white & bit) code = White;
        board.cells[Board::Index(PositionRules::XOf(p), PositionRules::YOf(p))].code = code;
    }
    return BoardToText(board);
}

bool PerfectPlayer::Valid(std::uint16_t black, std::uint16_t white, int side) {
    return (side == kBlack || side == kWhite) && (black & white) == 0 &&
           PositionIndex::popcount16(black) <= PositionIndex::kMaxPieces &&
           PositionIndex::popcount16(white) <= PositionIndex::kMaxPieces;
}

PositionValue PerfectPlayer::Value(std::uint16_t black, std::uint16_t white, int side) const {
    // Black's count is checked before white's.
    if (PositionIndex::popcount16(black) <= 1) {
        return side == kBlack ? PositionValue::Loss(0) : PositionValue::Win(0);
    }
    if (PositionIndex::popcount16(white) <= 1) {
        return side == kWhite ? PositionValue::Loss(0) : PositionValue::Win(0);
    }
    return side == kBlack ? solver_.ValueOf(black, white) : solver_.ValueOf(white, black);
}

PerfectPlayer::Step PerfectPlayer::BestStep(std::uint16_t black, std::uint16_t white,
                                            int side) const {
    Step best;
    if (PositionIndex::popcount16(black) <= 1 || PositionIndex::popcount16(white) <= 1) {
        best.value = Value(black, white, side);
        return best;
    }
    const std::uint16_t mover = side == kBlack ? black : white;
    const std::uint16_t opponent = side == kBlack ? white : black;
    int bestRank = 0;
    PositionRules::ForEachStep(
        mover, opponent,
        [&](int from, int direction, int, std::uint16_t after, std::uint16_t opponentAfter) {
            const PositionValue value = solver_.ValueOf(opponentAfter, after).ForSideThatStepped();
            const int rank = value.Rank();
            if (best.from < 0 || rank > bestRank) {
                best.from = from;
                best.direction = direction;
                best.value = value;
                bestRank = rank;
            }
        });
    if (best.from < 0) best.value = PositionValue::Loss(0);
    return best;
}

std::string PerfectPlayer::ValueText(const std::string& boardText, int side) const {
    std::uint16_t black = 0, white = 0;
    if (!ParseBoard(boardText, black, white) || !Valid(black, white, side)) return "";
    return Value(black, white, side).Text();
}

std::string PerfectPlayer::PerfectMove(const std::string& boardText, int side) const {
    std::uint16_t black = 0, white = 0;
    if (!ParseBoard(boardText, black, white) || !Valid(black, white, side)) return "";
    const Step step = BestStep(black, white, side);
    if (step.from < 0) return "none";
    return PositionRules::MoveText(step.from, step.direction);
}

}  // namespace kelvara

// Board text and move text from any bytes, and any sequence of steps (also malformed ones) on
// the board read: the counts always agree with the cells, and the ring is never written.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>

#include "Board.h"
#include "BoardText.h"
#include "FuzzSupport.h"

using namespace kelvara;

namespace {

bool Sound(const Board& board) {
    for (int i = 0; i < Board::kSize; ++i) {
        for (const auto& [x, y] : {std::pair{i, 0}, {i, 5}, {0, i}, {5, i}}) {
            if (board.Code(x, y) != Empty) return false;
        }
    }
    for (int x = 1; x <= 4; ++x) {
        for (int y = 1; y <= 4; ++y) {
            const std::int32_t code = board.Code(x, y);
            if (code != Black && code != White && code != Empty) return false;
        }
    }
    return board.blackPieces == board.CountPieces(Black) &&
           board.whitePieces == board.CountPieces(White);
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);

    const std::string text = in.ConsumeBytesAsString(in.ConsumeIntegralInRange(0, 20));
    Board board;
    const Board start = board;
    if (BoardFromText(text, board)) {
        KELVARA_FUZZ_CHECK(Upper(BoardToText(board)) == Upper(text));
    } else {
        KELVARA_FUZZ_CHECK(board.cells == start.cells && board.blackPieces == start.blackPieces);
    }
    KELVARA_FUZZ_CHECK(Sound(board));

    const std::string moveText = in.ConsumeBytesAsString(in.ConsumeIntegralInRange(0, 5));
    MoveRecord parsed{9, 9, None};
    if (ParseMoveText(moveText, parsed)) {
        KELVARA_FUZZ_CHECK(Board::FormatMove(parsed) == Upper(moveText));
    } else {
        KELVARA_FUZZ_CHECK(parsed == (MoveRecord{9, 9, None}));
    }

    while (in.remaining_bytes() > 0) {
        const CellCode side = static_cast<CellCode>(in.ConsumeIntegralInRange(0, 2));
        const MoveRecord step{in.ConsumeIntegralInRange(-2, 7), in.ConsumeIntegralInRange(-2, 7),
                              in.ConsumeIntegralInRange(-1, 5)};
        const std::string formatted = Board::FormatMove(step);
        MoveRecord back;
        if (ParseMoveText(formatted, back)) KELVARA_FUZZ_CHECK(back == step);
        const bool legal = board.IsLegalStep(side, step);
        const Board before = board;
        // The game applies only legal steps; a step without a direction examines the lines
        // through its from-point.
        const bool noDirection = step.direction < Up || step.direction > Right;
        if (in.ConsumeBool() && (legal || noDirection)) {
            const CaptureList taken = board.ApplyMove(side, step);
            if (legal) {
                KELVARA_FUZZ_CHECK(board.Code(step.fromX, step.fromY) == Empty);
                KELVARA_FUZZ_CHECK(board.CountPieces(side) == before.CountPieces(side));
            }
            // Every point reported held an enemy piece and is empty now; nothing else was taken.
            for (const BoardPoint p : taken) {
                KELVARA_FUZZ_CHECK(before.PieceAt(p) == Enemy(side) && board.PieceAt(p) == Empty);
            }
            KELVARA_FUZZ_CHECK(board.CountPieces(Enemy(side)) + static_cast<int>(taken.size()) ==
                               before.CountPieces(Enemy(side)));
        }
        KELVARA_FUZZ_CHECK(Sound(board));
    }
    return 0;
}

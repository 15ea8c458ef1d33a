#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Board.h"
#include "BoardText.h"

using namespace kelvara;

namespace {

// Rows are written top row first, as on screen, then turned into board text.
Board FromRows(const char* top, const char* r3, const char* r2, const char* bottom) {
    Board b;
    std::string text = std::string(bottom) + r2 + r3 + top;
    EXPECT_TRUE(BoardFromText(text, b));
    return b;
}

struct Recorder : CaptureObserver {
    std::vector<std::pair<int, int>> erased;
    void PieceCaptured(int x, int y) override { erased.emplace_back(x, y); }
};

std::vector<std::string> LegalSteps(const Board& b, CellCode side) {
    std::vector<std::string> out;
    for (int x = 1; x <= 4; ++x)
        for (int y = 1; y <= 4; ++y)
            for (int d = Up; d <= Right; ++d)
                if (b.IsLegalStep(side, MoveRecord{x, y, d}))
                    out.push_back(Board::FormatMove(MoveRecord{x, y, d}));
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST(BoardLayout, StartPositionWeightsAndRing) {
    Board b;
    EXPECT_EQ(BoardToText(b), "bbbbb..bw..wwwww");
    const int weights[4][4] = {{2, 3, 3, 2}, {3, 4, 4, 3}, {3, 4, 4, 3}, {2, 3, 3, 2}};
    for (int x = 0; x < 6; ++x) {
        for (int y = 0; y < 6; ++y) {
            const BoardCell& c = b.cells[x * 6 + y];
            if (OnGrid(x, y)) {
                EXPECT_EQ(c.weight, weights[y - 1][x - 1]) << x << "," << y;
            } else {
                EXPECT_EQ(c.code, Empty);
                EXPECT_EQ(c.weight, -1000);
            }
        }
    }
    EXPECT_EQ(b.PieceAt(MakePoint(0, 2)), Empty);
    EXPECT_EQ(b.PieceAt(MakePoint(5, 1)), Empty);
    EXPECT_EQ(b.PieceAt(MakePoint(1, 1)), Black);
    EXPECT_EQ(b.PieceAt(MakePoint(4, 4)), White);
}

TEST(BoardLayout, ResetKeepsCounts) {
    Board b;
    b.blackPieces = 3;
    b.whitePieces = 2;
    b.ResetBoard();
    EXPECT_EQ(b.blackPieces, 3);
    EXPECT_EQ(b.whitePieces, 2);
}

TEST(MoveNotation, MakeMoveDirectionsAndFailures) {
    MoveRecord m;
    EXPECT_TRUE(Board::MakeMove(MakePoint(2, 1), MakePoint(2, 2), m));
    EXPECT_EQ(m, (MoveRecord{2, 1, Up}));
    EXPECT_TRUE(Board::MakeMove(MakePoint(2, 2), MakePoint(2, 1), m));
    EXPECT_EQ(m.direction, Down);
    EXPECT_TRUE(Board::MakeMove(MakePoint(3, 2), MakePoint(2, 2), m));
    EXPECT_EQ(m.direction, Left);
    EXPECT_TRUE(Board::MakeMove(MakePoint(1, 2), MakePoint(2, 2), m));
    EXPECT_EQ(m.direction, Right);
    for (auto to : {MakePoint(2, 2), MakePoint(3, 3), MakePoint(4, 2), MakePoint(2, 4)}) {
        EXPECT_FALSE(Board::MakeMove(MakePoint(2, 2), to, m));
        EXPECT_EQ(m.direction, None);
        EXPECT_EQ(m.fromX, 2);
        EXPECT_EQ(m.fromY, 2);
    }
}

TEST(MoveNotation, FormatMove) {
    EXPECT_EQ(Board::FormatMove({2, 1, Up}), "21U");
    EXPECT_EQ(Board::FormatMove({4, 3, Left}), "43L");
    EXPECT_EQ(Board::FormatMove({1, 2, Down}), "12D");
    EXPECT_EQ(Board::FormatMove({3, 3, Right}), "33R");
    EXPECT_EQ(Board::FormatMove({1, 2, None}), "12ERR");
    EXPECT_EQ(Board::FormatMove({1, 2, -7}), "12ERR");
    MoveRecord m;
    EXPECT_TRUE(ParseMoveText("43l", m));
    EXPECT_EQ(m, (MoveRecord{4, 3, Left}));
    EXPECT_FALSE(ParseMoveText("53L", m));
    EXPECT_FALSE(ParseMoveText("43X", m));
    EXPECT_FALSE(ParseMoveText("43LL", m));
}

TEST(Legality, StartPositionHasFourBlackSteps) {
    Board b;
    EXPECT_EQ(LegalSteps(b, Black), (std::vector<std::string>{"12R", "21U", "31U", "42L"}));
    EXPECT_EQ(LegalSteps(b, White), (std::vector<std::string>{"13R", "24D", "34D", "43L"}));
    // None of them captures.
    for (const auto& text : LegalSteps(b, Black)) {
        Board copy = b;
        MoveRecord m;
        ASSERT_TRUE(ParseMoveText(text, m));
        copy.ApplyMove(Black, m);
        EXPECT_EQ(copy.whitePieces, 6);
        EXPECT_EQ(copy.CountPieces(White), 6);
    }
}

TEST(Legality, RefusesForeignOccupiedAndOffGridSteps) {
    Board b;
    EXPECT_FALSE(b.IsLegalStep(Black, {1, 3, Right}));  // white piece
    EXPECT_FALSE(b.IsLegalStep(Black, {1, 1, Up}));     // occupied
    EXPECT_FALSE(b.IsLegalStep(Black, {1, 1, Left}));   // onto the ring
    EXPECT_FALSE(b.IsLegalStep(Black, {2, 2, Up}));     // empty from-point
    EXPECT_FALSE(b.IsLegalStep(Black, {0, 1, Right}));  // from the ring
    EXPECT_FALSE(b.IsLegalStep(Black, {9, 9, Up}));
    EXPECT_FALSE(b.IsLegalStep(Black, {2, 1, 7}));
    EXPECT_FALSE(b.IsLegalStep(Empty, {2, 1, Up}));
}

TEST(Captures, ColumnCapturesEachShape) {
    // Column 2 after black arrives: empty, black, black, white -> white on top taken.
    Board b = FromRows(".w..", ".b..", "....", ".b..");
    Recorder r;
    b.SetCaptureObserver(&r);
    b.ApplyMove(Black, 2, 1, Up);
    EXPECT_EQ(b.Code(2, 4), Empty);
    EXPECT_EQ(b.whitePieces, 0);
    EXPECT_EQ(r.erased, (std::vector<std::pair<int, int>>{{2, 4}}));

    // empty, enemy, S, S with the mover arriving at position 3 from the side.
    Board c = FromRows("..b.", ".b..", "..w.", "....");
    c.ApplyMove(Black, 2, 3, Right);
    EXPECT_EQ(BoardToText(c),
              "........"
              "..b."
              "..b.");
    EXPECT_EQ(c.whitePieces, 0);

    // S, S, E, empty and E, S, S, empty.
    Board d = FromRows("....", "..w.", "...b", "..b.");
    d.ApplyMove(Black, 4, 2, Left);
    EXPECT_EQ(d.Code(3, 3), Empty);
    Board e = FromRows("....", "...b", "..b.", "..w.");
    e.ApplyMove(Black, 4, 3, Left);
    EXPECT_EQ(e.Code(3, 1), Empty);
    EXPECT_EQ(e.Code(3, 3), Black);
}

TEST(Captures, DoubleCaptureTakesColumnThenRow) {
    // Black (2,1) up to (2,2) with black on (2,3), (1,2); white on (2,4), (3,2).
    Board b = FromRows(".w..", ".b..", "b.w.", ".b..");
    Recorder r;
    b.SetCaptureObserver(&r);
    b.ApplyMove(Black, 2, 1, Up);
    EXPECT_EQ(b.Code(2, 4), Empty);
    EXPECT_EQ(b.Code(3, 2), Empty);
    EXPECT_EQ(b.whitePieces, 0);
    EXPECT_EQ(r.erased, (std::vector<std::pair<int, int>>{{2, 4}, {3, 2}}));
}

TEST(Captures, LinesThatDoNotCapture) {
    struct Case {
        const char* name;
        Board board;
        MoveRecord move;
    };
    std::vector<Case> cases = {
        // column 2 becomes black, black, white, white
        {"two against two", FromRows(".w..", ".w..", "b...", ".b.."), {1, 2, Right}},
        // black, black, empty, white
        {"gap before enemy", FromRows(".w..", "....", "b...", ".b.."), {1, 2, Right}},
        // white, black, black, white
        {"enemy on both ends", FromRows(".w..", ".b..", "..b.", ".w.."), {3, 2, Left}},
        // white steps into empty, white, black, black: only the mover captures
        {"mover's own piece", FromRows(".b..", ".b..", "w...", "...."), {1, 2, Right}},
        // four pieces in a line
        {"full line", FromRows(".w..", ".b..", "b...", ".b.."), {1, 2, Right}},
    };
    for (auto& c : cases) {
        const CellCode mover = static_cast<CellCode>(c.board.Code(c.move.fromX, c.move.fromY));
        const int before = c.board.CountPieces(Enemy(mover)) + c.board.CountPieces(mover);
        c.board.ApplyMove(mover, c.move);
        EXPECT_EQ(c.board.CountPieces(Enemy(mover)) + c.board.CountPieces(mover), before) << c.name;
        EXPECT_EQ(c.board.blackPieces, c.board.CountPieces(Black)) << c.name;
        EXPECT_EQ(c.board.whitePieces, c.board.CountPieces(White)) << c.name;
    }
}

TEST(Captures, LeavingALineDoesNotCaptureInIt) {
    // Black leaves column 1, which then reads empty, black, black, white: no capture there.
    Board b = FromRows("w...", "b...", "b...", "b...");
    b.ApplyMove(Black, 1, 1, Right);
    EXPECT_EQ(b.Code(1, 4), White);
    EXPECT_EQ(b.whitePieces, 1);
}

TEST(Captures, NoneDirectionExaminesTheFromPoint) {
    // Column 2 already reads empty, black, black, white: a None step captures in it.
    Board b = FromRows(".w..", ".b..", ".b..", "....");
    b.ApplyMove(Black, 2, 2, None);
    EXPECT_EQ(b.Code(2, 4), Empty);
    EXPECT_EQ(b.Code(2, 2), Black);
    EXPECT_EQ(b.whitePieces, 0);
}

TEST(Captures, OutsideMovesNeverTouchCellsBeyondTheGrid) {
    Board b;
    const auto before = b.cells;
    b.ApplyMove(White, 4, 4, Up);     // onto the ring
    b.ApplyMove(White, 7, -3, Left);  // far off the array
    b.ApplyMove(Black, 0, 0, Right);  // from the ring
    b.ApplyMove(Black, 2, 9, None);
    EXPECT_EQ(b.cells, before);
    EXPECT_EQ(b.blackPieces, 6);
    EXPECT_EQ(b.whitePieces, 6);
}

TEST(StepPiece, TrialStepOntoRingAndBackRestoresBoard) {
    Board b;
    const auto before = b.cells;
    b.StepPiece(White, 1, 4, Up);
    EXPECT_EQ(b.Code(1, 5), White);
    EXPECT_EQ(b.Code(1, 4), Empty);
    MoveRecord back;
    ASSERT_TRUE(Board::MakeMove(MakePoint(1, 5), MakePoint(1, 4), back));
    b.StepPiece(White, back);
    EXPECT_EQ(b.cells, before);
    b.StepPiece(White, 1, 4, None);
    EXPECT_EQ(b.Code(1, 4), White);
}

TEST(EndOfGame, PiecesFirstBlackFirstThenStuckSide) {
    Board b;
    EXPECT_EQ(b.Winner(Black), Empty);
    b.blackPieces = 1;
    b.whitePieces = 1;
    EXPECT_EQ(b.Winner(Black), White);  // black's count is tested first
    b.blackPieces = 2;
    EXPECT_EQ(b.Winner(White), Black);

    // Black in the corner, walled in by white and with no step.
    Board stuck = FromRows("....", "w...", "bw..", "bw..");
    EXPECT_FALSE(stuck.HasLegalStep(Black));
    EXPECT_TRUE(stuck.HasLegalStep(White));
    EXPECT_EQ(stuck.Winner(Black), White);
    EXPECT_EQ(stuck.Winner(White), Empty);
    EXPECT_EQ(stuck.Winner(Empty), Empty);
}

TEST(BoardText, RoundTripAndRefusals) {
    Board b;
    ASSERT_TRUE(BoardFromText("b.w.W...B......w", b));
    EXPECT_EQ(BoardToText(b), "b.w.w...b......w");
    EXPECT_EQ(b.blackPieces, 2);
    EXPECT_EQ(b.whitePieces, 3);
    EXPECT_FALSE(BoardFromText("b.w.", b));
    EXPECT_FALSE(BoardFromText("b.w.x...b......w", b));
    EXPECT_EQ(BoardToText(b), "b.w.w...b......w");
}

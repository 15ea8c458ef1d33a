#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
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
    for (const MoveRecord& step : b.LegalSteps(side)) out.push_back(Board::FormatMove(step));
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

TEST(BoardText, EitherCaseReadsTheSameBoardAndSide) {
    Board lower, upper;
    ASSERT_TRUE(BoardFromText("bbbbb..bw..wwwww", lower));
    ASSERT_TRUE(BoardFromText("BBBBB..BW..WWWWW", upper));
    EXPECT_EQ(upper.cells, lower.cells);
    EXPECT_EQ(upper.cells, Board().cells);
    EXPECT_EQ(BoardToText(upper), "bbbbb..bw..wwwww");
    EXPECT_EQ(upper.blackPieces, 6);
    EXPECT_EQ(upper.whitePieces, 6);
    for (const char* bad : {"bbbbb..bw..wwwwww", "bbbbb..bw..wwww", "bbbbb .bw..wwwww",
                            "bbbbb..bw..wwwwx", "bbbbb..bw..wwww0", ""}) {
        EXPECT_FALSE(BoardFromText(bad, lower)) << bad;
    }
    EXPECT_EQ(lower.cells, Board().cells);

    CellCode side = Empty;
    for (const char* text : {"b", "B"}) {
        side = Empty;
        EXPECT_TRUE(SideFromText(text, side));
        EXPECT_EQ(side, Black);
    }
    for (const char* text : {"w", "W"}) {
        EXPECT_TRUE(SideFromText(text, side));
        EXPECT_EQ(side, White);
    }
    for (const char* text : {"", "x", "bw", "0", "1", "black"}) {
        side = Empty;
        EXPECT_FALSE(SideFromText(text, side)) << text;
        EXPECT_EQ(side, Empty);
    }
}

// The capture rule on every line of four points for both movers, against its statement in
// words: two adjacent pieces of the mover, an enemy piece right beyond one end of the pair and
// the fourth point empty; anything else takes nothing.
TEST(Captures, LineRuleOnEveryLine) {
    const std::int32_t codes[3] = {Black, White, Empty};
    int capturing = 0;
    for (int n = 0; n < 81; ++n) {
        std::array<std::int32_t, 4> line{};
        for (int k = 0, v = n; k < 4; ++k, v /= 3) line[k] = codes[v % 3];
        for (const CellCode side : {Black, White}) {
            const CellCode enemy = Enemy(side);
            int expected = 0;
            for (int p = 0; p + 1 < 4; ++p) {
                if (line[p] != side || line[p + 1] != side) continue;
                for (const int e : {p - 1, p + 2}) {
                    if (e < 0 || e > 3 || line[e] != enemy) continue;
                    // The point of the line outside the pair and the enemy piece.
                    const int rest = 6 - p - (p + 1) - e;
                    if (line[rest] == Empty) expected = e + 1;
                }
            }
            ASSERT_EQ(Board::CapturedInLine(line, side), expected)
                << line[0] << line[1] << line[2] << line[3] << " side " << side;
            capturing += expected != 0;
        }
    }
    EXPECT_EQ(capturing, 8);  // four shapes for each mover
}

TEST(Legality, GeneratorOrders) {
    Board b;
    ASSERT_TRUE(BoardFromText(std::string("....") + ".w.." + "...." + "...b", b));
    const auto texts = [&](const StepOrder& order) {
        std::vector<std::string> out;
        for (const MoveRecord& step : b.LegalSteps(White, order))
            out.push_back(Board::FormatMove(step));
        return out;
    };
    EXPECT_EQ(texts(kCodeOrder), (std::vector<std::string>{"22U", "22D", "22L", "22R"}));
    EXPECT_EQ(texts(kSearchOrder), (std::vector<std::string>{"22R", "22L", "22U", "22D"}));
    EXPECT_EQ(texts(StepOrder{Down, Up, Right, Left}),
              (std::vector<std::string>{"22D", "22U", "22R", "22L"}));
    // Column before row: (1, 4) comes before (2, 1), and (3, 1) before (3, 2).
    ASSERT_TRUE(BoardFromText(std::string(".bb.") + "..b." + "...." + "b...", b));
    std::vector<std::string> pieces;
    for (const MoveRecord& step : b.LegalSteps(Black, kSearchOrder))
        if (pieces.empty() || pieces.back() != Board::FormatMove(step).substr(0, 2))
            pieces.push_back(Board::FormatMove(step).substr(0, 2));
    EXPECT_EQ(pieces, (std::vector<std::string>{"14", "21", "31", "32"}));
    EXPECT_TRUE(b.LegalSteps(Empty).empty());
    EXPECT_TRUE(b.LegalSteps(static_cast<CellCode>(7)).empty());
}

// On random boards the generator yields every step that IsLegalStep allows and nothing else,
// once each, in column, row and direction order.
TEST(Legality, GeneratorAgreesWithTheStepRule) {
    std::mt19937 rng(17);
    std::size_t most = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string text(16, '.');
        for (char& c : text) c = "bw."[rng() % 3];
        Board b;
        ASSERT_TRUE(BoardFromText(text, b));
        for (const CellCode side : {Black, White}) {
            for (const StepOrder& order : {kCodeOrder, kSearchOrder}) {
                const StepList steps = b.LegalSteps(side, order);
                std::vector<int> keys;
                for (const MoveRecord& step : steps) {
                    ASSERT_TRUE(b.IsLegalStep(side, step)) << text << Board::FormatMove(step);
                    const int rank = static_cast<int>(
                        std::find(order.begin(), order.end(), step.direction) - order.begin());
                    keys.push_back((step.fromX * 10 + step.fromY) * 10 + rank);
                }
                EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << text;
                EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end()) << text;
                std::size_t legal = 0;
                for (int x = 0; x <= 5; ++x)
                    for (int y = 0; y <= 5; ++y)
                        for (int d = Up; d <= None; ++d) legal += b.IsLegalStep(side, {x, y, d});
                ASSERT_EQ(steps.size(), legal) << text;
                EXPECT_EQ(b.HasLegalStep(side), legal > 0) << text;
                most = std::max(most, steps.size());
            }
        }
    }
    EXPECT_GE(most, 10u);
}

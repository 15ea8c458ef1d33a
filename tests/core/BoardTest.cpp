#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "Board.h"
#include "BoardText.h"
#include "EngineTestSupport.h"

using namespace kelvara;
using kelvara::test::BoardOf;
using kelvara::test::Rows;

namespace {

std::vector<std::string> SortedSteps(const Board& b, CellCode side) {
    std::vector<std::string> out;
    for (const MoveRecord& step : b.LegalSteps(side)) out.push_back(Board::FormatMove(step));
    std::sort(out.begin(), out.end());
    return out;
}

std::string PointsText(const CaptureList& points) {
    std::string text;
    for (const BoardPoint p : points) {
        if (!text.empty()) text += ' ';
        text += std::to_string(PointX(p)) + std::to_string(PointY(p));
    }
    return text;
}

}  // namespace

TEST(BoardLayout, StartPositionRingAndCounts) {
    Board b;
    EXPECT_EQ(BoardToText(b), "bbbbb..bw..wwwww");
    for (int i = 0; i < Board::kSize; ++i) {
        for (const auto& [x, y] : {std::pair{i, 0}, {i, 5}, {0, i}, {5, i}}) {
            EXPECT_EQ(b.Code(x, y), Empty) << x << y;
            EXPECT_EQ(b.PieceAt(MakePoint(x, y)), Empty) << x << y;
        }
    }
    EXPECT_EQ(b.PieceAt(MakePoint(1, 1)), Black);
    EXPECT_EQ(b.PieceAt(MakePoint(4, 4)), White);
    // A reset writes the cells only.
    b.blackPieces = 3;
    b.whitePieces = 2;
    b.ResetBoard();
    EXPECT_EQ(b.blackPieces, 3);
    EXPECT_EQ(b.whitePieces, 2);
}

TEST(MoveNotation, MakeMoveBetweenPoints) {
    const struct {
        BoardPoint from, to;
        int direction;  // None when the points are no neighbours
    } cases[] = {
        {MakePoint(2, 1), MakePoint(2, 2), Up},   {MakePoint(2, 2), MakePoint(2, 1), Down},
        {MakePoint(3, 2), MakePoint(2, 2), Left}, {MakePoint(1, 2), MakePoint(2, 2), Right},
        {MakePoint(2, 2), MakePoint(2, 2), None}, {MakePoint(2, 2), MakePoint(3, 3), None},
        {MakePoint(2, 2), MakePoint(4, 2), None}, {MakePoint(2, 2), MakePoint(2, 4), None},
    };
    for (const auto& c : cases) {
        MoveRecord m{9, 9, Up};
        EXPECT_EQ(Board::MakeMove(c.from, c.to, m), c.direction != None) << c.from << ">" << c.to;
        EXPECT_EQ(m, (MoveRecord{PointX(c.from), PointY(c.from), c.direction}));
    }
}

TEST(MoveNotation, WriteAndRead) {
    const struct {
        MoveRecord move;
        const char* text;
    } written[] = {{{2, 1, Up}, "21U"},    {{4, 3, Left}, "43L"},   {{1, 2, Down}, "12D"},
                   {{3, 3, Right}, "33R"}, {{1, 2, None}, "12ERR"}, {{1, 2, -7}, "12ERR"}};
    for (const auto& c : written) EXPECT_EQ(Board::FormatMove(c.move), c.text);

    const struct {
        const char* text;
        bool ok;
        MoveRecord move;
    } read[] = {{"43l", true, {4, 3, Left}}, {"11u", true, {1, 1, Up}},
                {"44D", true, {4, 4, Down}}, {"53L", false, {}},
                {"03R", false, {}},          {"43X", false, {}},
                {"43LL", false, {}},         {"", false, {}}};
    for (const auto& c : read) {
        MoveRecord m{7, 7, None};
        EXPECT_EQ(ParseMoveText(c.text, m), c.ok) << c.text;
        EXPECT_EQ(m, c.ok ? c.move : (MoveRecord{7, 7, None})) << c.text;
    }
}

TEST(Legality, StartPositionStepsAndRefusals) {
    Board b;
    EXPECT_EQ(SortedSteps(b, Black), (std::vector<std::string>{"12R", "21U", "31U", "42L"}));
    EXPECT_EQ(SortedSteps(b, White), (std::vector<std::string>{"13R", "24D", "34D", "43L"}));
    for (const MoveRecord& step : b.LegalSteps(Black)) {
        Board copy = b;
        EXPECT_TRUE(copy.ApplyMove(Black, step).empty()) << Board::FormatMove(step);
    }
    const struct {
        CellCode side;
        MoveRecord move;
    } refused[] = {
        {Black, {1, 3, Right}},  // a white piece
        {Black, {1, 1, Up}},     // onto an occupied point
        {Black, {1, 1, Left}},   // onto the ring
        {Black, {2, 2, Up}},     // from an empty point
        {Black, {0, 1, Right}},  // from the ring
        {Black, {9, 9, Up}},    {Black, {2, 1, 7}}, {Empty, {2, 1, Up}},
    };
    for (const auto& c : refused)
        EXPECT_FALSE(b.IsLegalStep(c.side, c.move)) << c.side << Board::FormatMove(c.move);
}

namespace {

// One step and the pieces the capture rule takes with it, in the order it takes them.
struct CaptureCase {
    const char* name;
    std::string board;
    CellCode side;
    MoveRecord move;
    const char* taken;
};

void PrintTo(const CaptureCase& c, std::ostream* os) {
    *os << c.name;
}

class CaptureRule : public ::testing::TestWithParam<CaptureCase> {};

const CaptureCase kCaptureCases[] = {
    {"EmptyOwnOwnEnemy", Rows(".w..", ".b..", "....", ".b.."), Black, {2, 1, Up}, "24"},
    {"EmptyEnemyOwnOwn", Rows("..b.", ".b..", "..w.", "...."), Black, {2, 3, Right}, "32"},
    {"OwnOwnEnemyEmpty", Rows("....", "..w.", "...b", "..b."), Black, {4, 2, Left}, "33"},
    {"EnemyOwnOwnEmpty", Rows("....", "...b", "..b.", "..w."), Black, {4, 3, Left}, "31"},
    {"WhiteInAColumn", Rows("b...", ".w..", "w...", "...."), White, {2, 3, Left}, "14"},
    {"WhiteInARow", Rows("....", ".w..", "b.w.", "...."), White, {2, 3, Down}, "12"},
    {"WhiteFromTheSide", Rows("....", ".b..", ".w..", "w..."), White, {1, 1, Right}, "23"},
    {"ColumnThenRow", Rows(".w..", ".b..", "b.w.", ".b.."), Black, {2, 1, Up}, "24 32"},
    {"TwoAgainstTwo", Rows(".w..", ".w..", "b...", ".b.."), Black, {1, 2, Right}, ""},
    {"GapBeforeEnemy", Rows(".w..", "....", "b...", ".b.."), Black, {1, 2, Right}, ""},
    {"EnemyOnBothEnds", Rows(".w..", ".b..", "..b.", ".w.."), Black, {3, 2, Left}, ""},
    {"OnlyTheMoverTakes", Rows(".b..", ".b..", "w...", "...."), White, {1, 2, Right}, ""},
    {"FullLine", Rows(".w..", ".b..", "b...", ".b.."), Black, {1, 2, Right}, ""},
    // The line left behind is not examined.
    {"LeavingALine", Rows("w...", "b...", "b...", "b..."), Black, {1, 1, Right}, ""},
    // A step without a direction examines the lines through its from-point.
    {"NoDirection", Rows(".w..", ".b..", ".b..", "...."), Black, {2, 2, None}, "24"},
    // Steps from or onto cells off the grid change nothing.
    {"OntoTheRing", "bbbbb..bw..wwwww", White, {4, 4, Up}, ""},
    {"FarOff", "bbbbb..bw..wwwww", White, {7, -3, Left}, ""},
    {"FromTheRing", "bbbbb..bw..wwwww", Black, {0, 0, Right}, ""},
    {"NoDirectionOff", "bbbbb..bw..wwwww", Black, {2, 9, None}, ""},
    {"NobodyMoves", "bbbbb..bw..wwwww", Empty, {2, 1, Up}, ""},
};

}  // namespace

// The board after the step is the board before with the piece moved (when the step is legal)
// and exactly the reported pieces removed; the counts follow the cells.
TEST_P(CaptureRule, TakesWhatTheLinesGive) {
    const CaptureCase& c = GetParam();
    Board b = BoardOf(c.board);
    Board expected = b;
    if (b.IsLegalStep(c.side, c.move)) {
        int toX = 0, toY = 0;
        StepTarget(c.move.fromX, c.move.fromY, c.move.direction, toX, toY);
        expected.cells[Board::Index(toX, toY)].code = c.side;
        expected.cells[Board::Index(c.move.fromX, c.move.fromY)].code = Empty;
    }
    const CaptureList taken = b.ApplyMove(c.side, c.move);
    EXPECT_EQ(PointsText(taken), c.taken);
    for (const BoardPoint p : taken)
        expected.cells[Board::Index(PointX(p), PointY(p))].code = Empty;
    EXPECT_EQ(b.cells, expected.cells);
    EXPECT_EQ(b.blackPieces, b.CountPieces(Black));
    EXPECT_EQ(b.whitePieces, b.CountPieces(White));
}

INSTANTIATE_TEST_SUITE_P(Lines, CaptureRule, ::testing::ValuesIn(kCaptureCases),
                         [](const ::testing::TestParamInfo<CaptureCase>& info) {
                             return std::string(info.param.name);
                         });

// The capture rule on every line of four points for both movers, against its statement in
// words: two adjacent pieces of the mover, an enemy piece right beyond one end of the pair and
// the fourth point empty; anything else takes nothing.
TEST(CaptureLine, EveryLineForBothMovers) {
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

TEST(CaptureLine, ListHoldsTwoPointsInOrder) {
    CaptureList list{MakePoint(2, 4), MakePoint(3, 2), MakePoint(1, 1)};
    EXPECT_EQ(PointsText(list), "24 32");
    EXPECT_EQ(list, (CaptureList{MakePoint(2, 4), MakePoint(3, 2)}));
    EXPECT_FALSE(list == (CaptureList{MakePoint(3, 2), MakePoint(2, 4)}));
    EXPECT_FALSE(list == (CaptureList{MakePoint(2, 4)}));
    EXPECT_TRUE(CaptureList{}.empty());
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
    const Board stuck = BoardOf(Rows("....", "w...", "bw..", "bw.."));
    EXPECT_FALSE(stuck.HasLegalStep(Black));
    EXPECT_TRUE(stuck.HasLegalStep(White));
    EXPECT_EQ(stuck.Winner(Black), White);
    EXPECT_EQ(stuck.Winner(White), Empty);
    EXPECT_EQ(stuck.Winner(Empty), Empty);
}

TEST(BoardText, ReadsEitherCaseAndRefusesTheRest) {
    Board b;
    ASSERT_TRUE(BoardFromText("b.w.W...B......w", b));
    EXPECT_EQ(BoardToText(b), "b.w.w...b......w");
    EXPECT_EQ(b.blackPieces, 2);
    EXPECT_EQ(b.whitePieces, 3);
    Board upper;
    ASSERT_TRUE(BoardFromText("BBBBB..BW..WWWWW", upper));
    EXPECT_EQ(upper.cells, Board().cells);
    EXPECT_EQ(upper.blackPieces, 6);
    EXPECT_EQ(upper.whitePieces, 6);
    // A refused text leaves the board as it was.
    for (const char* bad : {"b.w.", "b.w.x...b......w", "bbbbb..bw..wwwwww", "bbbbb..bw..wwww",
                            "bbbbb .bw..wwwww", "bbbbb..bw..wwww0", ""}) {
        EXPECT_FALSE(BoardFromText(bad, b)) << bad;
        EXPECT_EQ(BoardToText(b), "b.w.w...b......w") << bad;
    }

    const struct {
        const char* text;
        bool ok;
        CellCode side;
    } sides[] = {{"b", true, Black},     {"B", true, Black},  {"w", true, White},
                 {"W", true, White},     {"", false, Empty},  {"x", false, Empty},
                 {"bw", false, Empty},   {"0", false, Empty}, {"1", false, Empty},
                 {"black", false, Empty}};
    for (const auto& c : sides) {
        CellCode side = Empty;
        EXPECT_EQ(SideFromText(c.text, side), c.ok) << c.text;
        EXPECT_EQ(side, c.side) << c.text;
    }
}

TEST(Legality, GeneratorOrders) {
    const Board one = BoardOf(std::string("....") + ".w.." + "...." + "...b");
    const auto texts = [&](const StepOrder& order) {
        std::vector<std::string> out;
        for (const MoveRecord& step : one.LegalSteps(White, order))
            out.push_back(Board::FormatMove(step));
        return out;
    };
    EXPECT_EQ(texts(kCodeOrder), (std::vector<std::string>{"22U", "22D", "22L", "22R"}));
    EXPECT_EQ(texts(kSearchOrder), (std::vector<std::string>{"22R", "22L", "22U", "22D"}));
    EXPECT_EQ(texts(StepOrder{Down, Up, Right, Left}),
              (std::vector<std::string>{"22D", "22U", "22R", "22L"}));
    // Column before row: (1, 4) comes before (2, 1), and (3, 1) before (3, 2).
    const Board b = BoardOf(std::string(".bb.") + "..b." + "...." + "b...");
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
        const Board b = BoardOf(text);
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

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "BoardText.h"
#include "ComputerPlayer.h"
#include "EngineTestSupport.h"

using namespace kelvara;
using kelvara::test::BoardOf;
using kelvara::test::Rows;

namespace {

// Board after one black step from the starting position (white has not moved).
Board AfterBlack(const char* step) {
    Board board;
    MoveRecord m;
    EXPECT_TRUE(ParseMoveText(step, m));
    board.ApplyMove(Black, m);
    return board;
}

// The piece on (fromX, fromY) moved to (toX, toY), which may be a ring cell; nothing is taken.
Board Moved(Board board, int fromX, int fromY, int toX, int toY) {
    board.cells[Board::Index(toX, toY)].code = board.Code(fromX, fromY);
    board.cells[Board::Index(fromX, fromY)].code = Empty;
    return board;
}

// A random position: each playing point black, white or empty, counts from the cells.
Board RandomBoard(std::mt19937& rng) {
    std::string text(16, '.');
    for (char& c : text) c = "bw."[rng() % 3];
    return BoardOf(text);
}

std::int32_t ScoreOf(const Board& board, const MoveRecord& step) {
    int toX = 0, toY = 0;
    StepTarget(step.fromX, step.fromY, step.direction, toX, toY);
    return ComputerPlayer::ScoreStep(board, step.fromX, step.fromY, toX, toY);
}

}  // namespace

TEST(Evaluation, ThreatForms) {
    const struct {
        const char* why;
        std::string board;
        int x, y;
        CellCode side;
        bool threatened;
    } cases[] = {
        // Row 2 with the piece on (1, 2), read left to right.
        {"P E E E", Rows("....", "....", "wbbb", "...."), 1, 2, White, false},
        {"P E E _", Rows("....", "....", "wbb.", "...."), 1, 2, White, false},
        {"P E _ E", Rows("....", "....", "wb.b", "...."), 1, 2, White, true},
        // P E _ _ needs an enemy beside position 3, above or below the row.
        {"P E _ _", Rows("....", "....", "wb..", "...."), 1, 2, White, false},
        {"enemy above 3", Rows("....", "..b.", "wb..", "...."), 1, 2, White, true},
        {"enemy below 3", Rows("....", "....", "wb..", "..b."), 1, 2, White, true},
        {"own piece beside", Rows("....", "..w.", "wb..", "...."), 1, 2, White, false},
        // Black read down column 4: _ _ E P with an enemy beside position 2.
        {"black, enemy beside", Rows("...b", "...w", "..w.", "...."), 4, 4, Black, true},
        {"black, none beside", Rows("...b", "...w", "....", "...."), 4, 4, Black, false},
        // White (2, 4) stepped down to (2, 3): black (1, 2) beside position 2 can step in.
        {"stepped down", Rows("w.ww", "ww.w", "b..b", "bbbb"), 2, 3, White, true},
        // With a white piece still on (2, 4) the form needs position 4 empty.
        {"blocked", Rows("wwww", "ww.w", "b..b", "bbbb"), 2, 3, White, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComputerPlayer::IsThreatened(BoardOf(c.board), c.x, c.y, c.side), c.threatened)
            << c.why;
    const Board start;
    for (int x = 1; x <= 4; ++x)
        for (int y = 3; y <= 4; ++y) EXPECT_FALSE(ComputerPlayer::IsThreatened(start, x, y, White));
}

// The table of forms decides exactly whether one legal enemy step takes the piece.
TEST(Evaluation, ThreatMatchesEveryEnemyStepOnRandomPositions) {
    std::mt19937 rng(2024);
    int threatened = 0;
    for (int round = 0; round < 4000; ++round) {
        const Board board = RandomBoard(rng);
        for (int x = 1; x <= 4; ++x) {
            for (int y = 1; y <= 4; ++y) {
                const std::int32_t code = board.Code(x, y);
                if (code == Empty) continue;
                const CellCode enemy = Enemy(static_cast<CellCode>(code));
                bool expected = false;
                for (const MoveRecord& step : board.LegalSteps(enemy)) {
                    Board after = board;
                    for (const BoardPoint p : after.ApplyMove(enemy, step))
                        expected = expected || p == MakePoint(x, y);
                }
                ASSERT_EQ(ComputerPlayer::IsThreatened(board, x, y, static_cast<CellCode>(code)),
                          expected)
                    << BoardToText(board) << " at " << x << y;
                threatened += expected;
            }
        }
    }
    EXPECT_GT(threatened, 1000);  // the positions exercise the forms, not only the negative case
}

TEST(Evaluation, CaptureGainAndPositionScore) {
    // Black 21U, white 13R: column 2 reads empty, black, white, white.
    EXPECT_EQ(ComputerPlayer::CaptureGain(Moved(AfterBlack("21U"), 1, 3, 2, 3), 2, 3, White), 4);
    // Column 2 empty, black, white, white and row 3 empty, white, white, black.
    const Board twice = BoardOf(Rows(".w..", ".wwb", ".b..", "...."));
    EXPECT_EQ(ComputerPlayer::CaptureGain(twice, 2, 3, White), 7);
    EXPECT_EQ(ComputerPlayer::CaptureGain(twice, 2, 3, Black), 0);

    const struct {
        std::string board;
        std::int32_t score;
    } scores[] = {
        {"bbbbb..bw..wwwww", 16},
        {Rows("w.ww", "ww.w", "b..b", "bbbb"), 13},  // (2, 3) threatened
        {Rows("....", "..b.", "wb..", "...."), 0},   // every white piece threatened
        {Rows("bbbb", "....", "....", "bb.."), 0},   // black pieces never count
        {Rows("w...", "....", "....", "bbbb"), 2},
    };
    for (const auto& c : scores)
        EXPECT_EQ(ComputerPlayer::PositionScore(BoardOf(c.board)), c.score) << c.board;

    // A white piece on the ring counts the ring's weight, and nothing is taken there.
    const Board ring = Moved(Board(), 1, 4, 1, 5);
    EXPECT_EQ(ComputerPlayer::PositionScore(ring), ComputerPlayer::kRingWeight + 14);
    EXPECT_EQ(ComputerPlayer::CaptureGain(ring, 1, 5, White), 0);
}

// On a playing point the gain is the weight of what the capture rule really takes.
TEST(Evaluation, CaptureGainAgreesWithTheCaptureRule) {
    std::mt19937 rng(7);
    int gains = 0;
    for (int round = 0; round < 3000; ++round) {
        const Board board = RandomBoard(rng);
        for (int x = 1; x <= 4; ++x) {
            for (int y = 1; y <= 4; ++y) {
                const std::int32_t code = board.Code(x, y);
                if (code == Empty) continue;
                const CellCode side = static_cast<CellCode>(code);
                Board after = board;
                std::int32_t taken = 0;
                // A step without a direction applies the capture rule at its from-point.
                for (const BoardPoint p : after.ApplyMove(side, x, y, None))
                    taken += ComputerPlayer::Weight(PointX(p), PointY(p));
                ASSERT_EQ(ComputerPlayer::CaptureGain(board, x, y, side), taken)
                    << BoardToText(board);
                gains += taken > 0;
            }
        }
    }
    EXPECT_GT(gains, 100);
}

TEST(MoveChoice, ScoreStep) {
    const struct {
        const char* black;  // black's opening step, or "" for the start
        int fromX, fromY, toX, toY;
        std::int32_t score;
    } cases[] = {
        {"21U", 1, 3, 2, 3, 21},
        {"12R", 1, 3, 2, 3, 17},
        {"12R", 2, 4, 2, 3, 17},
        {"12R", 4, 3, 3, 3, 17},
        {"31U", 4, 3, 3, 3, 21},
        {"31U", 1, 3, 2, 3, 17},
        {"", 2, 4, 2, 3, 13},
        {"", 1, 3, 0, 3, ComputerPlayer::kRingWeight + 13},  // onto the ring
        {"", 1, 3, 1, 4, ComputerPlayer::kNoStep},           // occupied
        {"", 1, 3, 3, 3, ComputerPlayer::kNoStep},           // two apart
        {"", 1, 3, 2, 2, ComputerPlayer::kNoStep},           // diagonal
        {"", 2, 3, 3, 3, ComputerPlayer::kNoStep},           // no piece
        {"", 1, 2, 2, 2, ComputerPlayer::kNoStep},           // a black piece
        {"", 4, 4, 6, 4, ComputerPlayer::kNoStep},           // off the array
    };
    for (const auto& c : cases) {
        const Board board = *c.black ? AfterBlack(c.black) : Board();
        EXPECT_EQ(ComputerPlayer::ScoreStep(board, c.fromX, c.fromY, c.toX, c.toY), c.score)
            << c.black << " " << c.fromX << c.fromY << ">" << c.toX << c.toY;
    }
}

TEST(MoveChoice, ChoosesTheBestStepOrNone) {
    ComputerPlayer player("/nonexistent/experience.dat");
    const struct {
        std::string board;
        const char* chosen;  // "" for no step
    } cases[] = {
        {BoardToText(AfterBlack("21U")), "13R"},  // 21 for the capture
        {BoardToText(AfterBlack("12R")), "13R"},  // three steps at 17: the first in scan order
        {BoardToText(AfterBlack("31U")), "43L"},  // 21 beats the earlier 17
        // White (4, 1) up scores 0 (both white pieces threatened, nothing taken); ring steps
        // score below that.
        {Rows("wb..", "bb..", ".b..", "..bw"), ""},
        // White boxed in by black pieces and the ring.
        {Rows("wb..", "b...", "....", "bbb."), ""},
    };
    for (const auto& c : cases) {
        const std::optional<MoveRecord> move = player.ChooseMove(BoardOf(c.board));
        EXPECT_EQ(move ? Board::FormatMove(*move) : "", c.chosen) << c.board;
    }
}

namespace {

// Two white steps share the best score; the scan order (lowest column, then lowest row, then
// right, left, up, down) decides which one the search keeps.
struct TieCase {
    const char* name;
    std::string board;
    MoveRecord chosen;
    MoveRecord rival;
};

void PrintTo(const TieCase& c, std::ostream* os) {
    *os << c.name;
}

class TieBreak : public ::testing::TestWithParam<TieCase> {};

const TieCase kTieCases[] = {
    // Column before row: (2, 4) lies in a lower column, (4, 2) in a lower row.
    {"ColumnBeforeRow", Rows(".w..", "...b", ".b.w", "...."), {2, 4, Down}, {4, 2, Left}},
    {"LowerRowInAColumn", Rows("b...", "..wb", "w...", "w..."), {1, 1, Right}, {1, 2, Right}},
    {"RightBeforeLeft", Rows("b..b", "..b.", "bw.b", ".w.."), {2, 1, Right}, {2, 1, Left}},
    {"RightBeforeUp", Rows("..bw", "..bb", "bw.b", "...."), {2, 2, Right}, {2, 2, Up}},
    {"RightBeforeDown", Rows(".bbw", ".b.b", "..w.", ".w.b"), {3, 2, Right}, {3, 2, Down}},
    {"LeftBeforeUp", Rows("bb..", "wb..", "b.ww", "b..."), {3, 2, Left}, {3, 2, Up}},
    {"LeftBeforeDown", Rows("...w", "..w.", ".bb.", "..w."), {4, 4, Left}, {4, 4, Down}},
    {"UpBeforeDown", Rows("..b.", "wbww", "b.b.", "...b"), {4, 3, Up}, {4, 3, Down}},
};

}  // namespace

TEST_P(TieBreak, FirstInScanOrderWins) {
    const TieCase& c = GetParam();
    const Board board = BoardOf(c.board);
    const std::int32_t best = ScoreOf(board, c.chosen);
    ASSERT_GT(best, 0);
    ASSERT_EQ(ScoreOf(board, c.rival), best) << "the two steps must tie";
    const std::optional<MoveRecord> move = ComputerPlayer::SearchMove(board);
    ASSERT_TRUE(move);
    EXPECT_EQ(Board::FormatMove(*move), Board::FormatMove(c.chosen));
}

INSTANTIATE_TEST_SUITE_P(ScanOrder, TieBreak, ::testing::ValuesIn(kTieCases),
                         [](const ::testing::TestParamInfo<TieCase>& info) {
                             return std::string(info.param.name);
                         });

// The search against a plain statement of its choice: the highest score above 0, ties to the
// step with the lowest (column, row, rank of the direction in right, left, up, down).
TEST(MoveChoice, SearchKeepsTheFirstBestStepOnRandomPositions) {
    ComputerPlayer player("/nonexistent/experience.dat");
    std::mt19937 rng(31);
    const Direction rank[4] = {Right, Left, Up, Down};
    int ties = 0;
    for (int round = 0; round < 3000; ++round) {
        const Board board = RandomBoard(rng);
        std::optional<MoveRecord> best;
        std::int32_t bestScore = 0;
        int atBest = 0;
        for (int x = 1; x <= 4; ++x) {
            for (int y = 1; y <= 4; ++y) {
                for (const Direction d : rank) {
                    const std::int32_t score = ScoreOf(board, {x, y, d});
                    if (score > bestScore) {
                        best = MoveRecord{x, y, d};
                        bestScore = score;
                        atBest = 1;
                    } else if (score > 0 && score == bestScore) {
                        ++atBest;  // a later step in scan order never replaces the first
                    }
                }
            }
        }
        ASSERT_EQ(ComputerPlayer::SearchMove(board), best) << BoardToText(board);
        // Without a stored answer the player's choice is the search's, always a legal step.
        const std::optional<MoveRecord> chosen = player.ChooseMove(board);
        ASSERT_EQ(chosen, best) << BoardToText(board);
        if (chosen) {
            ASSERT_TRUE(board.IsLegalStep(White, *chosen)) << BoardToText(board);
        }
        ties += atBest > 1;
    }
    EXPECT_GT(ties, 200);  // enough positions where the order, not the score, decides
}

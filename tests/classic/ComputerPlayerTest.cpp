#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <random>
#include <vector>

#include "BoardText.h"
#include "ComputerPlayer.h"
#include "EngineTestSupport.h"

using namespace kelvara;
using kelvara::test::BoardOf;
using kelvara::test::Rows;

namespace {

// Board after the given black steps from the starting position (white has not moved).
Board AfterBlack(const char* step) {
    Board board;
    MoveRecord m;
    EXPECT_TRUE(ParseMoveText(step, m));
    board.ApplyMove(Black, m);
    return board;
}

// A random position: each playing point black, white or empty, counts from the cells.
Board RandomBoard(std::mt19937& rng) {
    Board board;
    std::uniform_int_distribution<int> pick(0, 2);
    std::string text(16, '.');
    for (char& c : text) c = "bw."[pick(rng)];
    EXPECT_TRUE(BoardFromText(text, board));
    return board;
}

// True when some legal step of the enemy of the piece on (x, y) takes it off the board.
bool TakenByOneEnemyStep(const Board& board, int x, int y) {
    const CellCode side = static_cast<CellCode>(board.Code(x, y));
    const CellCode enemy = Enemy(side);
    for (const MoveRecord& step : board.LegalSteps(enemy)) {
        Board after = board;
        after.ApplyMove(enemy, step);
        if (after.Code(x, y) == Empty) return true;
    }
    return false;
}

struct Snapshot {
    std::array<BoardCell, 36> cells;
    std::int32_t black, white;
    explicit Snapshot(const Board& b)
        : cells(b.cells), black(b.blackPieces), white(b.whitePieces) {}
    bool operator==(const Snapshot&) const = default;
};

}  // namespace

TEST(Evaluation, StartPositionAndTheSteppedDownPiece) {
    Board board;
    EXPECT_EQ(ComputerPlayer::PositionScore(board), 16);
    for (int x = 1; x <= 4; ++x) {
        for (int y = 3; y <= 4; ++y) {
            if (board.Code(x, y) == White) {
                EXPECT_FALSE(ComputerPlayer::IsThreatened(board, x, y, White));
            }
        }
    }

    // White (2, 4) down to (2, 3): black (1, 2) beside position 2 can step in and take it.
    board.StepPiece(White, 2, 4, Down);
    EXPECT_TRUE(ComputerPlayer::IsThreatened(board, 2, 3, White));
    EXPECT_EQ(ComputerPlayer::PositionScore(board), 13);

    // With a white piece still on (2, 4) the form needs position 4 empty: no threat.
    Board blocked = BoardOf(Rows("wwww", "ww.w", "b..b", "bbbb"));
    EXPECT_FALSE(ComputerPlayer::IsThreatened(blocked, 2, 3, White));
}

TEST(Evaluation, LineFormsWithAndWithoutPiecesBeside) {
    // Row 2 with P on (1, 2), read left to right.
    EXPECT_FALSE(
        ComputerPlayer::IsThreatened(BoardOf(Rows("....", "....", "wbbb", "....")), 1, 2, White));
    EXPECT_FALSE(
        ComputerPlayer::IsThreatened(BoardOf(Rows("....", "....", "wbb.", "....")), 1, 2, White));
    EXPECT_TRUE(
        ComputerPlayer::IsThreatened(BoardOf(Rows("....", "....", "wb.b", "....")), 1, 2, White));
    // P E _ _ needs an enemy beside position 3, above or below the row.
    EXPECT_FALSE(
        ComputerPlayer::IsThreatened(BoardOf(Rows("....", "....", "wb..", "....")), 1, 2, White));
    EXPECT_TRUE(
        ComputerPlayer::IsThreatened(BoardOf(Rows("....", "..b.", "wb..", "....")), 1, 2, White));
    EXPECT_TRUE(
        ComputerPlayer::IsThreatened(BoardOf(Rows("....", "....", "wb..", "..b.")), 1, 2, White));
    // A piece of its own side beside does not threaten.
    EXPECT_FALSE(
        ComputerPlayer::IsThreatened(BoardOf(Rows("....", "..w.", "wb..", "....")), 1, 2, White));
    // The same for black, read down column 4: _ _ E P with an enemy beside position 2.
    EXPECT_TRUE(
        ComputerPlayer::IsThreatened(BoardOf(Rows("...b", "...w", "..w.", "....")), 4, 4, Black));
    EXPECT_FALSE(
        ComputerPlayer::IsThreatened(BoardOf(Rows("...b", "...w", "....", "....")), 4, 4, Black));
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
                const bool expected = TakenByOneEnemyStep(board, x, y);
                ASSERT_EQ(ComputerPlayer::IsThreatened(board, x, y, static_cast<CellCode>(code)),
                          expected)
                    << BoardToText(board) << " at " << x << y;
                threatened += expected;
            }
        }
    }
    EXPECT_GT(threatened, 1000);  // the positions exercise the forms, not only the negative case
}

TEST(Evaluation, CaptureGainSingleAndDouble) {
    // Black 21U, white 13R: column 2 reads empty, black, white, white.
    Board board = AfterBlack("21U");
    board.StepPiece(White, 1, 3, Right);
    EXPECT_EQ(ComputerPlayer::CaptureGain(board, 2, 3, White), 4);

    // Column 2 empty, black, white, white and row 3 empty, white, white, black.
    Board twice = BoardOf(Rows(".w..", ".wwb", ".b..", "...."));
    EXPECT_EQ(ComputerPlayer::CaptureGain(twice, 2, 3, White), 7);
    // Nothing is removed while counting.
    EXPECT_EQ(BoardToText(twice), Rows(".w..", ".wwb", ".b..", "...."));
    EXPECT_EQ(ComputerPlayer::CaptureGain(twice, 2, 3, Black), 0);
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
                after.CheckCaptures(side, x, y);
                std::int32_t taken = 0;
                for (int i = 1; i <= 4; ++i)
                    for (int j = 1; j <= 4; ++j)
                        if (board.Code(i, j) != after.Code(i, j)) taken += board.Weight(i, j);
                ASSERT_EQ(ComputerPlayer::CaptureGain(board, x, y, side), taken)
                    << BoardToText(board);
                gains += taken > 0;
            }
        }
    }
    EXPECT_GT(gains, 100);
}

TEST(Evaluation, PositionScoreEdges) {
    // Every white piece threatened: 0.
    EXPECT_EQ(ComputerPlayer::PositionScore(BoardOf(Rows("....", "..b.", "wb..", "...."))), 0);
    EXPECT_EQ(ComputerPlayer::PositionScore(BoardOf(Rows("bbbb", "....", "....", "bb.."))), 0);
    // Black pieces never count.
    EXPECT_EQ(ComputerPlayer::PositionScore(BoardOf(Rows("w...", "....", "....", "bbbb"))), 2);

    // A white piece on the ring counts -1000 and no gain lifts the sum to zero.
    Board board;
    board.StepPiece(White, 1, 4, Up);
    EXPECT_EQ(ComputerPlayer::PositionScore(board), -1000 + 14);
    EXPECT_EQ(ComputerPlayer::CaptureGain(board, 1, 5, White), 0);
}

TEST(MoveChoice, ScoreStepWorkedExamples) {
    Board board = AfterBlack("21U");
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 1, 3, 2, 3), 21);
    board = AfterBlack("12R");
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 1, 3, 2, 3), 17);
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 2, 4, 2, 3), 17);
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 4, 3, 3, 3), 17);
    board = AfterBlack("31U");
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 4, 3, 3, 3), 21);
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 1, 3, 2, 3), 17);
    Board start;
    EXPECT_EQ(ComputerPlayer::ScoreStep(start, 2, 4, 2, 3), 13);
}

TEST(MoveChoice, StepsThatCannotBeMade) {
    Board board;
    const Snapshot before(board);
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 1, 3, 1, 4), ComputerPlayer::kNoStep);  // occupied
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 1, 3, 3, 3), ComputerPlayer::kNoStep);  // two apart
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 1, 3, 2, 2), ComputerPlayer::kNoStep);  // diagonal
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 2, 3, 3, 3), ComputerPlayer::kNoStep);  // no piece
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 1, 2, 2, 2),
              ComputerPlayer::kNoStep);  // black piece
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 4, 4, 6, 4),
              ComputerPlayer::kNoStep);  // off the array
    // Onto the ring: scored with the ring's weight.
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 1, 3, 0, 3), -1000 + 13);
    EXPECT_EQ(Snapshot(board), before);
}

TEST(MoveChoice, ChoosesTheBestStepInScanOrder) {
    ComputerPlayer player("/nonexistent/experience.dat");
    const struct {
        const char* black;
        MoveRecord expected;
    } cases[] = {
        {"21U", {1, 3, Right}},  // 21 for the capture
        {"12R", {1, 3, Right}},  // three steps at 17: the first in scan order
        {"31U", {4, 3, Left}},   // 21 beats the earlier 17
    };
    for (const auto& c : cases) {
        Board board = AfterBlack(c.black);
        MoveRecord move{9, 9, None};
        EXPECT_TRUE(player.ChooseMove(board, move)) << c.black;
        EXPECT_EQ(move, c.expected) << c.black;
    }
}

TEST(MoveChoice, NoMoveLeavesTheRecord) {
    ComputerPlayer player("/nonexistent/experience.dat");
    // White (4, 1) up scores 0 (both white pieces threatened, nothing taken); ring steps -1000.
    Board board = BoardOf(Rows("wb..", "bb..", ".b..", "..bw"));
    const Snapshot before(board);
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 4, 1, 4, 2), 0);
    MoveRecord move{7, 7, Left};
    EXPECT_FALSE(player.ChooseMove(board, move));
    EXPECT_EQ(move, (MoveRecord{7, 7, Left}));

    // White boxed in by black pieces and the ring.
    Board boxed = BoardOf(Rows("wb..", "b...", "....", "bbb."));
    EXPECT_FALSE(player.ChooseMove(boxed, move));
    EXPECT_EQ(move, (MoveRecord{7, 7, Left}));
    EXPECT_EQ(Snapshot(board), before);
}

// Trials are taken back exactly: ring cells, weights and counts included.
TEST(MoveChoice, BoardUnchangedAfterEveryCall) {
    ComputerPlayer player("/nonexistent/experience.dat");
    std::mt19937 rng(99);
    int chosen = 0;
    for (int round = 0; round < 2000; ++round) {
        Board board = RandomBoard(rng);
        const Snapshot before(board);
        for (int x = 1; x <= 4; ++x)
            for (int y = 1; y <= 4; ++y)
                for (int tx = x - 1; tx <= x + 1; ++tx)
                    for (int ty = y - 1; ty <= y + 1; ++ty)
                        ComputerPlayer::ScoreStep(board, x, y, tx, ty);
        ASSERT_EQ(Snapshot(board), before) << BoardToText(board);
        MoveRecord move;
        if (player.ChooseMove(board, move)) {
            ++chosen;
            ASSERT_TRUE(board.IsLegalStep(White, move)) << BoardToText(board);
        }
        ASSERT_EQ(Snapshot(board), before) << BoardToText(board);
    }
    EXPECT_GT(chosen, 500);
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

std::int32_t ScoreOf(Board& board, const MoveRecord& step) {
    int toX = 0, toY = 0;
    StepTarget(step.fromX, step.fromY, step.direction, toX, toY);
    return ComputerPlayer::ScoreStep(board, step.fromX, step.fromY, toX, toY);
}

}  // namespace

TEST_P(TieBreak, FirstInScanOrderWins) {
    const TieCase& c = GetParam();
    Board board = BoardOf(c.board);
    const std::int32_t best = ScoreOf(board, c.chosen);
    ASSERT_GT(best, 0);
    ASSERT_EQ(ScoreOf(board, c.rival), best) << "the two steps must tie";
    MoveRecord move;
    ASSERT_TRUE(ComputerPlayer::SearchMove(board, move));
    EXPECT_EQ(Board::FormatMove(move), Board::FormatMove(c.chosen));
}

INSTANTIATE_TEST_SUITE_P(
    ScanOrder, TieBreak,
    ::testing::Values(
        // Column before row: (2, 4) lies in a lower column, (4, 2) in a lower row.
        TieCase{
            "ColumnBeforeRow", Rows(".w..", "...b", ".b.w", "...."), {2, 4, Down}, {4, 2, Left}},
        TieCase{"LowerRowInAColumn",
                Rows("b...", "..wb", "w...", "w..."),
                {1, 1, Right},
                {1, 2, Right}},
        TieCase{
            "RightBeforeLeft", Rows("b..b", "..b.", "bw.b", ".w.."), {2, 1, Right}, {2, 1, Left}},
        TieCase{"RightBeforeUp", Rows("..bw", "..bb", "bw.b", "...."), {2, 2, Right}, {2, 2, Up}},
        TieCase{
            "RightBeforeDown", Rows(".bbw", ".b.b", "..w.", ".w.b"), {3, 2, Right}, {3, 2, Down}},
        TieCase{"LeftBeforeUp", Rows("bb..", "wb..", "b.ww", "b..."), {3, 2, Left}, {3, 2, Up}},
        TieCase{"LeftBeforeDown", Rows("...w", "..w.", ".bb.", "..w."), {4, 4, Left}, {4, 4, Down}},
        TieCase{"UpBeforeDown", Rows("..b.", "wbww", "b.b.", "...b"), {4, 3, Up}, {4, 3, Down}}),
    [](const ::testing::TestParamInfo<TieCase>& info) { return std::string(info.param.name); });

// The search against a plain statement of its choice: the highest score above 0, ties to the
// step with the lowest (column, row, rank of the direction in right, left, up, down).
TEST(MoveChoice, SearchKeepsTheFirstBestStepOnRandomPositions) {
    std::mt19937 rng(31);
    const Direction rank[4] = {Right, Left, Up, Down};
    int ties = 0;
    for (int round = 0; round < 3000; ++round) {
        Board board = RandomBoard(rng);
        struct Scored {
            MoveRecord step;
            std::int32_t score;
            int key;
        };
        std::vector<Scored> all;
        for (int x = 1; x <= 4; ++x)
            for (int y = 1; y <= 4; ++y)
                for (int r = 0; r < 4; ++r) {
                    const MoveRecord step{x, y, rank[r]};
                    all.push_back({step, ScoreOf(board, step), (x * 10 + y) * 10 + r});
                }
        const Scored* best = nullptr;
        int atBest = 0;
        for (const Scored& s : all) {
            if (s.score <= 0) continue;
            if (best == nullptr || s.score > best->score) {
                best = &s;
                atBest = 1;
            } else if (s.score == best->score) {
                ++atBest;
                if (s.key < best->key) best = &s;
            }
        }
        MoveRecord move{7, 7, None};
        const bool found = ComputerPlayer::SearchMove(board, move);
        ASSERT_EQ(found, best != nullptr) << BoardToText(board);
        if (best == nullptr) continue;
        ASSERT_EQ(move, best->step) << BoardToText(board);
        ties += atBest > 1;
    }
    EXPECT_GT(ties, 200);  // enough positions where the order, not the score, decides
}

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <vector>

#include "BoardText.h"
#include "GameAnalysis.h"
#include "GameReview.h"
#include "SharedSolve.h"

using namespace kelvara;

namespace {

int Grade(const PositionValue& value) {
    return value.kind() == PositionValue::Kind::Win    ? 2
           : value.kind() == PositionValue::Kind::Draw ? 1
                                                       : 0;
}

}  // namespace

TEST(GameReview, RandomGamesAgreeWithTheTable) {
    const GameAnalysis analysis(SharedTable());
    std::mt19937 random(2026);
    int mistakes = 0;
    for (int game = 0; game < 30; ++game) {
        Board board;
        CellCode side = Black;
        std::vector<MoveRecord> moves;
        while (moves.size() < 80 && board.Winner(side) == Empty) {
            const StepList steps = board.LegalSteps(side);
            moves.push_back(steps[random() % steps.size()]);
            board.ApplyMove(side, moves.back());
            side = Enemy(side);
        }
        const GameReview review(SharedTable(), Board(), Black, moves);
        ASSERT_EQ(review.Plies().size(), moves.size());
        board = Board();
        side = Black;
        int counted[2] = {0, 0};
        int last = -1;
        for (std::size_t i = 0; i < moves.size(); ++i) {
            const PlyReview& ply = review.Plies()[i];
            PositionValue before, next;
            ASSERT_TRUE(analysis.Value(board, side, before));
            StepOutcome best;
            ASSERT_TRUE(analysis.Hint(board, side, best));
            board.ApplyMove(side, moves[i]);
            ASSERT_TRUE(analysis.Value(board, Enemy(side), next));
            EXPECT_TRUE(ply.known);
            EXPECT_EQ(ply.side, side);
            EXPECT_EQ(ply.before, before);
            EXPECT_EQ(ply.after, next.ForSideThatStepped());
            EXPECT_EQ(ply.best, best);
            EXPECT_EQ(Grade(ply.best.value), Grade(before));
            EXPECT_EQ(ply.mistake, Grade(ply.after) < Grade(before));
            // Black's view after the ply is the next mover's value, from black's side.
            const PositionValue black = side == White ? next : next.ForSideThatStepped();
            EXPECT_EQ(Grade(ply.BlackAfter()), Grade(black));
            EXPECT_EQ(review.FlagText(static_cast<int>(i)).empty(), !ply.mistake);
            const std::string said = review.PlyText(static_cast<int>(i));
            const std::string head =
                "第 " + std::to_string(i + 1) + " 步 " + Board::FormatMove(moves[i]);
            if (ply.mistake) {
                EXPECT_EQ(said, review.FlagText(static_cast<int>(i)));
            } else {
                const int own = (ply.after.plies() + 1) / 2;
                const std::string word = Grade(ply.after) == 1 ? "和"
                                         : Grade(ply.after) == 2
                                             ? "胜（" + std::to_string(own) + " 步）"
                                             : "负（" + std::to_string(own) + " 步）";
                EXPECT_EQ(said, head + "：" + word);
            }
            if (ply.mistake) {
                ++counted[side];
                last = static_cast<int>(i);
                EXPECT_TRUE(
                    std::regex_match(review.FlagText(static_cast<int>(i)),
                                     std::regex("第 " + std::to_string(i + 1) + " 步 " +
                                                Board::FormatMove(moves[i]) +
                                                " 失误：(胜|和) → (和|负)；应走 [1-4][1-4][UDLR]，"
                                                "(胜（[0-9]+ 步）|和)")))
                    << review.FlagText(static_cast<int>(i));
            }
            side = Enemy(side);
        }
        EXPECT_EQ(review.Mistakes(Black), counted[Black]);
        EXPECT_EQ(review.Mistakes(White), counted[White]);
        EXPECT_EQ(review.DecidedAt(), last);
        mistakes += counted[0] + counted[1];
        if (last >= 0) {
            EXPECT_EQ(review.Summary(), "复盘：黑方失误 " + std::to_string(counted[0]) +
                                            " 次，白方失误 " + std::to_string(counted[1]) +
                                            " 次；第 " + std::to_string(last + 1) + " 步定局");
        } else {
            EXPECT_EQ(review.Summary(), "复盘：双方均无失误");
        }
    }
    EXPECT_GT(mistakes, 10);
}

TEST(GameReview, PositionsOutsideTheTableAreNotJudged) {
    Board crowded;
    ASSERT_TRUE(BoardFromText("bbbbbbb.w..wwwww", crowded));  // 7 black pieces
    const GameReview review(SharedTable(), crowded, Black, {{4, 2, Up}});
    ASSERT_EQ(review.Plies().size(), 1u);
    EXPECT_FALSE(review.Plies()[0].known);
    EXPECT_FALSE(review.Plies()[0].mistake);
    EXPECT_EQ(review.PlyText(0), "第 1 步 42U");
    EXPECT_EQ(review.PlyText(1), "");
    EXPECT_EQ(review.Summary(), "复盘：双方均无失误");
}

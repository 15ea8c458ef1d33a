#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineProtocol.h"
#include "HistoryCommands.h"

using kelvara::EngineProtocol;
using kelvara::HistoryCommands;

namespace {

struct HistoryEngine : ::testing::Test {
    EngineProtocol engine{"/nonexistent/experience.dat"};
    void SetUp() override { HistoryCommands::Install(engine); }
    std::string Ask(const std::string& line) { return engine.Handle(line); }
};

}  // namespace

TEST_F(HistoryEngine, TakesBackThroughCapturesToTheStartAndReplays) {
    // Four captures on the way: 41L takes (3, 3), 14D (1, 1), 31U (3, 4), 22U (4, 3).
    const std::vector<std::string> plies = {"31U", "34D", "41L", "43L", "42U", "33U", "43D", "44D",
                                            "12R", "13D", "32U", "14D", "31U", "13U", "22U"};
    std::vector<std::string> boards = {Ask("board")};
    std::vector<std::string> answers;
    for (const std::string& ply : plies) {
        answers.push_back(Ask("play " + ply));
        ASSERT_EQ(answers.back().rfind("ok", 0), 0u) << ply << " " << answers.back();
        boards.push_back(Ask("board"));
    }
    EXPECT_EQ(answers[2], "ok 33");
    EXPECT_EQ(answers[14], "ok 43");
    for (std::size_t k = boards.size() - 1; k > 0; --k) {
        ASSERT_EQ(Ask("undo"), "ok");
        EXPECT_EQ(Ask("board"), boards[k - 1]) << k;
    }
    EXPECT_EQ(Ask("undo").rfind("error:", 0), 0u);
    EXPECT_EQ(Ask("board"), boards[0]);
    for (std::size_t k = 1; k < boards.size(); ++k) {
        ASSERT_EQ(Ask("redo"), "ok");
        EXPECT_EQ(Ask("board"), boards[k]) << k;
    }
    EXPECT_EQ(Ask("redo").rfind("error:", 0), 0u);
    // Taken back to before a capture, the step captures again.
    for (int k = 0; k < 4; ++k) ASSERT_EQ(Ask("undo"), "ok");
    EXPECT_EQ(Ask("board"), boards[11]);
    EXPECT_EQ(Ask("play 14D"), "ok 11");
}

TEST_F(HistoryEngine, NewPlyDropsTheReplayAndStartOrPositionClear) {
    ASSERT_EQ(Ask("play 21U"), "ok -");
    ASSERT_EQ(Ask("play 13R"), "ok 22");
    ASSERT_EQ(Ask("undo"), "ok");
    ASSERT_EQ(Ask("play 43L"), "ok -");
    EXPECT_EQ(Ask("redo").rfind("error:", 0), 0u);
    ASSERT_EQ(Ask("undo"), "ok");
    EXPECT_EQ(Ask("board"), "b.bbbb.bw..wwwww w");

    // A rejected step is no ply.
    EXPECT_EQ(Ask("play 44U").rfind("error:", 0), 0u);
    ASSERT_EQ(Ask("undo"), "ok");
    EXPECT_EQ(Ask("board"), "bbbbb..bw..wwwww b");
    EXPECT_EQ(Ask("undo").rfind("error:", 0), 0u);

    ASSERT_EQ(Ask("play 21U"), "ok -");
    ASSERT_EQ(Ask("start"), "ok");
    EXPECT_EQ(Ask("undo").rfind("error:", 0), 0u);
    ASSERT_EQ(Ask("play 21U"), "ok -");
    ASSERT_EQ(Ask("undo"), "ok");
    ASSERT_EQ(Ask("position ....b....b..w..w b"), "ok");
    EXPECT_EQ(Ask("redo").rfind("error:", 0), 0u);
    // A rejected position keeps the history.
    ASSERT_EQ(Ask("play 23L"), "ok 14");
    EXPECT_EQ(Ask("position xyz b").rfind("error:", 0), 0u);
    ASSERT_EQ(Ask("undo"), "ok");
    EXPECT_EQ(Ask("board"), "....b....b..w..w b");
    EXPECT_EQ(Ask("undo now").rfind("error:", 0), 0u);
    EXPECT_EQ(Ask("redo 1").rfind("error:", 0), 0u);
}

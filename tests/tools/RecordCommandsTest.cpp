#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "EngineProtocol.h"
#include "HistoryCommands.h"
#include "PerfectCommands.h"
#include "RecordCommands.h"
#include "SharedSolve.h"

using namespace kelvara;

namespace {

struct RecordEngine : ::testing::Test {
    EngineProtocol engine{"/nonexistent/experience.dat"};
    std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "record-engine";

    void SetUp() override {
        const auto table = PerfectCommands::Install(engine, &SharedTable());
        HistoryCommands::Install(engine);
        RecordCommands::Install(engine, table);
        std::filesystem::create_directories(folder);
    }
    std::string Ask(const std::string& line) { return engine.Handle(line); }
    std::string File(const std::string& name, const std::string& text) {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    // Plays random legal steps; returns them.
    std::vector<std::string> PlayRandom(unsigned seed, int count) {
        std::mt19937 random(seed);
        std::vector<std::string> moves;
        for (int i = 0; i < count && !engine.GameOver(); ++i) {
            const StepList steps = engine.CurrentBoard().LegalSteps(engine.SideToMove());
            moves.push_back(Board::FormatMove(steps[random() % steps.size()]));
            EXPECT_EQ(Ask("play " + moves.back()).rfind("ok", 0), 0u);
        }
        return moves;
    }
};

}  // namespace

TEST_F(RecordEngine, SavedGamesLoadBackWithTheirHistory) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        ASSERT_EQ(Ask(seed % 2 ? "start" : "position bbbbb..bw..wwwww w"), "ok");
        const std::vector<std::string> moves = PlayRandom(seed, seed == 6 ? 400 : 30);
        ASSERT_EQ(Ask("undo"), "ok");  // a ply taken back is not saved
        const std::string board = Ask("board");
        const std::string path = (folder / ("game " + std::to_string(seed) + ".kvr")).string();
        ASSERT_EQ(Ask("save " + path), "ok");
        const std::string review = Ask("review");

        ASSERT_EQ(Ask("start"), "ok");
        ASSERT_EQ(Ask("load " + path), "ok " + std::to_string(moves.size() - 1));
        EXPECT_EQ(Ask("board"), board);
        EXPECT_EQ(Ask("review"), review);
        // Every ply can be taken back to the record's start, and replayed.
        for (std::size_t i = 1; i < moves.size(); ++i) ASSERT_EQ(Ask("undo"), "ok");
        EXPECT_EQ(Ask("undo"), "error: no ply to take back");
        EXPECT_EQ(Ask("board"), seed % 2 ? "bbbbb..bw..wwwww b" : "bbbbb..bw..wwwww w");
        EXPECT_EQ(Ask("redo"), "ok");
        EXPECT_EQ(Ask("review").rfind("review " + moves[0] + " ", 0), 0u);
    }
}

TEST_F(RecordEngine, HandWrittenRecordsAndErrors) {
    const std::string hand = File("hand.kvr",
                                  "[Result \"*\"]\r\n{written by hand}\r\n[White \"b\"] [Black "
                                  "\"a\"]\r\n21u 13r\r\n12U 43l 11u\r\n");
    EXPECT_EQ(Ask("load " + hand), "ok 5");
    EXPECT_EQ(Ask("board"), "..bbb..b.ww.wwww w");
    // Saved again, it keeps its names in their order; the result is the game's own.
    const std::string again = (folder / "again.kvr").string();
    ASSERT_EQ(Ask("save " + again), "ok");
    std::ifstream in(again);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.rfind("[White \"b\"]\n[Black \"a\"]\n[Result \"*\"]\n", 0), 0u) << text;
    ASSERT_EQ(Ask("start"), "ok");
    ASSERT_EQ(Ask("save " + again), "ok");
    std::ifstream fresh(again);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(fresh), {}).find("Black"),
              std::string::npos);

    // A failed load keeps the game, its board and its history.
    ASSERT_EQ(Ask("start"), "ok");
    ASSERT_EQ(Ask("play 21U"), "ok -");
    const std::string bad = File("bad.kvr", "21U 13R\n12U 43L\n22U\n");
    EXPECT_EQ(Ask("load " + bad), "error: " + bad + ":3: illegal move 22U");
    EXPECT_EQ(Ask("load " + folder.string() + "/missing.kvr"),
              "error: " + folder.string() + "/missing.kvr: cannot read the file");
    EXPECT_EQ(Ask("board"), "b.bbbb.bw..wwwww w");
    EXPECT_EQ(Ask("undo"), "ok");
    EXPECT_EQ(Ask("board"), "bbbbb..bw..wwwww b");

    EXPECT_EQ(Ask("save"), "error: save takes a file name");
    EXPECT_EQ(Ask("load"), "error: load takes a file name");
    EXPECT_EQ(Ask("review now"), "error: review takes no argument");
    EXPECT_EQ(Ask("save /nonexistent/x.kvr"),
              "error: /nonexistent/x.kvr: No such file or directory");
    EXPECT_EQ(Ask("review"), "review");
    ASSERT_EQ(Ask("position bbbbbbb.w..wwwww b"), "ok");
    EXPECT_EQ(Ask("review"), "error: the table holds positions with at most 6 pieces a side");
}

TEST_F(RecordEngine, ReviewAnswer) {
    // Black's first step gives the drawn start away; white's steps keep the win.
    ASSERT_EQ(Ask("start"), "ok");
    for (const char* move : {"21U", "13R", "12U", "43L"}) Ask(std::string("play ") + move);
    EXPECT_EQ(Ask("review"), "review 21U draw ?, 13R win 29, 12U loss 28, 43L win 21");
}

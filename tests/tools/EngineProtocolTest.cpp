#include <gtest/gtest.h>

#include <cstdint>

#include "EngineProtocol.h"
#include "EngineTestSupport.h"

using namespace kelvara;
using kelvara::test::Rows;
using kelvara::test::TempDir;

namespace {

struct Protocol : ::testing::Test {
    TempDir dir;
    EngineProtocol engine{dir.File("set/experience.dat")};

    std::string operator()(const std::string& line) { return engine.Handle(line); }
    std::string Position(const std::string& board, const char* side) {
        return engine.Handle("position " + board + " " + side);
    }
};

// Sequences of legal steps counted straight from the board's rules: a side with one piece or
// none has lost, and nothing moves after that.
std::uint64_t CountSequences(const Board& board, CellCode toMove, int depth) {
    if (depth == 0) return 1;
    if (board.blackPieces <= 1 || board.whitePieces <= 1) return 0;
    std::uint64_t n = 0;
    for (int x = 1; x <= 4; ++x) {
        for (int y = 1; y <= 4; ++y) {
            for (int d = Up; d <= Right; ++d) {
                const MoveRecord step{x, y, d};
                if (!board.IsLegalStep(toMove, step)) continue;
                Board next = board;
                next.ApplyMove(toMove, step);
                n += CountSequences(next, Enemy(toMove), depth - 1);
            }
        }
    }
    return n;
}

}  // namespace

TEST_F(Protocol, AGameFromTheStart) {
    auto& p = *this;
    EXPECT_EQ(p("board"), "bbbbb..bw..wwwww b");
    EXPECT_EQ(p("legal"), "12R 21U 31U 42L");
    EXPECT_EQ(p("eval"), "16");
    EXPECT_EQ(p("play 21u"), "ok -");
    EXPECT_EQ(p("board"), "b.bbbb.bw..wwwww w");
    EXPECT_EQ(p("legal"), "13R 24D 34D 43L");
    EXPECT_EQ(p("score 13R"), "21");
    EXPECT_EQ(p("go"), "bestmove 13R");
    EXPECT_EQ(p("board"), "b.bbbb.bw..wwwww w");  // go only chooses
    EXPECT_EQ(p("play 13R"), "ok 22");
    EXPECT_EQ(p("board"), "b.bbb..b.w.wwwww b");
    EXPECT_EQ(p("result"), "none");
    EXPECT_EQ(p("start"), "ok");
    EXPECT_EQ(p("board"), "bbbbb..bw..wwwww b");
}

TEST_F(Protocol, PlayRefusesAndReportsCaptures) {
    auto& p = *this;
    EXPECT_EQ(p("play 22U"), "error: not a legal step");  // empty from-point
    EXPECT_EQ(p("play 13D"), "error: not a legal step");  // white piece, black to move
    EXPECT_EQ(p("play 11U"), "error: not a legal step");  // occupied destination
    EXPECT_EQ(p("play 11L"), "error: not a legal step");  // off the grid
    EXPECT_EQ(p("play 5xU").rfind("error: ", 0), 0u);
    EXPECT_EQ(p("play 21UU").rfind("error: ", 0), 0u);
    EXPECT_EQ(p("play").rfind("error: ", 0), 0u);
    EXPECT_EQ(p("board"), "bbbbb..bw..wwwww b");

    // Both lines take: the column's capture is reported first.
    EXPECT_EQ(Position(Rows(".w..", ".b..", "b.w.", ".b.."), "b"), "ok");
    EXPECT_EQ(p("play 21U"), "ok 24 32");
    EXPECT_EQ(p("board"), "....bb...b...... w");
    EXPECT_EQ(p("result"), "black");
}

TEST_F(Protocol, PositionAndResult) {
    auto& p = *this;
    EXPECT_EQ(Position("bbbbb..bw..wwwwx", "b").rfind("error: ", 0), 0u);
    EXPECT_EQ(Position("bbbbb..bw..www", "b").rfind("error: ", 0), 0u);
    EXPECT_EQ(Position("bbbbb..bw..wwwww", "x").rfind("error: ", 0), 0u);
    EXPECT_EQ(p("position bbbbb..bw..wwwww").rfind("error: ", 0), 0u);
    EXPECT_EQ(p("board"), "bbbbb..bw..wwwww b");

    EXPECT_EQ(Position("BBBBB..BW..WWWWW", "w"), "ok");
    EXPECT_EQ(p("board"), "bbbbb..bw..wwwww w");
    EXPECT_EQ(engine.CurrentBoard().blackPieces, 6);

    // Pieces first, black's count first; then a side to move without a step loses.
    EXPECT_EQ(Position(Rows("w...", "....", "....", "b..."), "b"), "ok");
    EXPECT_EQ(p("result"), "white");
    EXPECT_EQ(Position(Rows("ww..", "....", "....", "b..."), "b"), "ok");
    EXPECT_EQ(p("result"), "white");
    EXPECT_EQ(Position(Rows("ww..", "....", "....", "bb.."), "w"), "ok");
    EXPECT_EQ(p("result"), "none");
    EXPECT_EQ(Position(Rows("wb..", "b...", "....", "bb.w"), "w"), "ok");
    EXPECT_EQ(p("result"), "none");
    EXPECT_EQ(Position(Rows("wb..", "b...", "...b", "bbbw"), "w"), "ok");
    EXPECT_EQ(engine.CurrentBoard().whitePieces, 2);
    EXPECT_EQ(p("result"), "black");
    EXPECT_EQ(p("legal"), "none");
}

TEST_F(Protocol, ComputerCommands) {
    auto& p = *this;
    EXPECT_EQ(p("go").rfind("error: ", 0), 0u);  // black to move
    EXPECT_EQ(p("score 24D"), "13");
    EXPECT_EQ(p("score 24d"), "13");
    EXPECT_EQ(p("score 13U"), "-2000");  // occupied
    EXPECT_EQ(p("score 13L"), "-987");   // onto the ring
    EXPECT_EQ(p("score 12R"), "error: no white piece on 12");
    EXPECT_EQ(p("score 23D"), "error: no white piece on 23");
    EXPECT_EQ(p("threatened 13"), "no");
    EXPECT_EQ(p("threatened 23"), "error: no piece on 23");
    EXPECT_EQ(p("threatened 50"), "error: point off the grid");
    EXPECT_EQ(p("threatened 2").rfind("error: ", 0), 0u);
    EXPECT_EQ(p("board"), "bbbbb..bw..wwwww b");

    EXPECT_EQ(Position(Rows(".w..", ".wwb", ".b..", "...."), "w"), "ok");
    EXPECT_EQ(p("gain 23 w"), "7");
    EXPECT_EQ(p("gain 23 b"), "0");
    EXPECT_EQ(p("gain 60 w").rfind("error: ", 0), 0u);
    EXPECT_EQ(p("gain 23 x").rfind("error: ", 0), 0u);
    EXPECT_EQ(p("threatened 22"), "no");
    EXPECT_EQ(p("threatened 43"), "no");

    // The computer without a move.
    EXPECT_EQ(Position(Rows("wb..", "bb..", ".b..", "..bw"), "w"), "ok");
    EXPECT_EQ(p("go"), "bestmove none");
    EXPECT_EQ(p("eval"), "0");
    EXPECT_EQ(p("threatened 14"), "yes");

    // A stored answer in the experience file comes first.
    EXPECT_EQ(Position("b.bbbb.bw..wwwww", "w"), "ok");
    dir.Write("set/experience.dat", "202222021001111143L\r\n");
    EXPECT_EQ(p("go"), "bestmove 43L");
}

TEST_F(Protocol, MalformedAndUnknownLines) {
    auto& p = *this;
    EXPECT_EQ(p(""), "error: empty line");
    EXPECT_EQ(p("  \t "), "error: empty line");
    EXPECT_EQ(p("\r"), "error: empty line");
    EXPECT_EQ(p("frobnicate"), "error: unknown command");
    EXPECT_EQ(p("BOARD"), "error: unknown command");
    EXPECT_EQ(p("board extra").rfind("error: ", 0), 0u);
    EXPECT_EQ(p("eval 1").rfind("error: ", 0), 0u);
    EXPECT_EQ(p("  board\t\r"), "bbbbb..bw..wwwww b");
    EXPECT_FALSE(engine.QuitRequested());
    EXPECT_EQ(p("quit now").rfind("error: ", 0), 0u);
    EXPECT_FALSE(engine.QuitRequested());
    EXPECT_EQ(p("quit"), "ok");
    EXPECT_TRUE(engine.QuitRequested());
}

TEST_F(Protocol, CommandsCanBeAddedAndReplaced) {
    engine.AddCommand("value", [](EngineProtocol& e, const EngineProtocol::Args& args) {
        return std::string(e.SideToMove() == Black ? "b" : "w") + std::to_string(args.size());
    });
    engine.AddCommand("go", [](EngineProtocol&, const EngineProtocol::Args& args) {
        return args.size() == 1 && args[0] == "perfect" ? std::string("bestmove 21U")
                                                        : std::string("plain");
    });
    EXPECT_EQ(engine.Handle("value x y"), "b2");
    EXPECT_EQ(engine.Handle("go perfect"), "bestmove 21U");
    EXPECT_EQ(engine.Handle("go"), "plain");
    EXPECT_EQ(engine.Handle("eval"), "16");
}

// Step counts from the start position, checked against a counter written from the rules.
TEST_F(Protocol, PerftFromTheStart) {
    const std::uint64_t pinned[] = {1, 4, 18, 108, 632, 3282, 16840};
    for (int depth = 0; depth <= 6; ++depth) {
        const std::uint64_t counted = CountSequences(Board(), Black, depth);
        EXPECT_EQ(counted, pinned[depth]) << depth;
        EXPECT_EQ(engine.Handle("perft " + std::to_string(depth)), std::to_string(counted));
    }
    EXPECT_EQ(engine.Handle("board"), "bbbbb..bw..wwwww b");
}

TEST_F(Protocol, PerftStopsAtTheEndOfTheGame) {
    auto& p = *this;
    // Black takes white down to one piece with 21U: the game is over after that step.
    EXPECT_EQ(Position(Rows(".w..", ".b..", "b.w.", ".b.w"), "b"), "ok");
    Board board;
    ASSERT_TRUE(BoardFromText(Rows(".w..", ".b..", "b.w.", ".b.w"), board));
    for (int depth = 0; depth <= 5; ++depth)
        EXPECT_EQ(p("perft " + std::to_string(depth)),
                  std::to_string(CountSequences(board, Black, depth)));
    EXPECT_EQ(Position(Rows("w...", "....", "....", "b.b."), "b"), "ok");
    EXPECT_EQ(p("perft 0"), "1");
    EXPECT_EQ(p("perft 1"), "0");  // white has one piece: black may not move on
    EXPECT_EQ(p("perft 13").rfind("error: ", 0), 0u);
    EXPECT_EQ(p("perft -1").rfind("error: ", 0), 0u);
    EXPECT_EQ(p("perft x").rfind("error: ", 0), 0u);
}

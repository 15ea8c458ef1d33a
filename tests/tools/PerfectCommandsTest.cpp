#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "EngineProtocol.h"
#include "PerfectCommands.h"
#include "PerfectPlayer.h"
#include "SharedSolve.h"

using kelvara::EngineProtocol;
using kelvara::PerfectCommands;
using kelvara::PerfectPlayer;

namespace {

struct PerfectEngine : ::testing::Test {
    EngineProtocol engine{"/nonexistent/experience.dat"};
    void SetUp() override { PerfectCommands::Install(engine, &SharedTable()); }
    std::string Ask(const std::string& line) { return engine.Handle(line); }
};

// "win 5" -> {'w', 5}; "loss 2" -> {'l', 2}; "draw" -> {'d', 0}.
std::pair<char, int> Parse(const std::string& value) {
    if (value == "draw") return {'d', 0};
    const auto space = value.find(' ');
    EXPECT_NE(space, std::string::npos) << value;
    return {value[0], std::stoi(value.substr(space + 1))};
}

}  // namespace

TEST_F(PerfectEngine, KnownPositions) {
    // Black steps (2,3) left: column 1 reads empty, black, black, white and white keeps one piece.
    ASSERT_EQ(Ask("position ....b....b..w..w b"), "ok");
    EXPECT_EQ(Ask("value"), "win 1");
    EXPECT_EQ(Ask("go perfect"), "bestmove 23L");
    EXPECT_EQ(Ask("go"), "error: the computer plays white and black is to move");

    // Black walled into the corner has no step: lost at once, and no move to suggest.
    ASSERT_EQ(Ask("position bw..bw..w....... b"), "ok");
    EXPECT_EQ(Ask("value"), "loss 0");
    EXPECT_EQ(Ask("go perfect"), "bestmove none");
    ASSERT_EQ(Ask("position bw..bw..w....... w"), "ok");
    EXPECT_EQ(Parse(Ask("value")).first, 'w');

    // Too many pieces for the table, and malformed commands.
    ASSERT_EQ(Ask("position bbbbbbb.w..wwwww b"), "ok");
    EXPECT_EQ(Ask("value").rfind("error:", 0), 0u);
    EXPECT_EQ(Ask("go perfect").rfind("error:", 0), 0u);
    EXPECT_EQ(Ask("go fast").rfind("error:", 0), 0u);
    EXPECT_EQ(Ask("value now").rfind("error:", 0), 0u);

    // The classic player is still "go" without arguments.
    ASSERT_EQ(Ask("start"), "ok");
    ASSERT_EQ(Ask("play 21U"), "ok -");
    EXPECT_EQ(Ask("go"), "bestmove 13R");
}

TEST_F(PerfectEngine, PerfectStepKeepsTheValueOneStepShorter) {
    std::mt19937 rng(20261207);
    int decided = 0;
    for (int i = 0; i < 400; ++i) {
        std::uint16_t black = 0, white = 0;
        RandomPosition(rng, black, white);
        const char side = (i % 2 == 0) ? 'b' : 'w';
        ASSERT_EQ(Ask("position " + PerfectPlayer::BoardText(black, white) + " " + side), "ok");
        const auto [kind, plies] = Parse(Ask("value"));
        const std::string best = Ask("go perfect");
        if (kind != 'd' && plies == 0) {
            EXPECT_EQ(best, "bestmove none");
            continue;
        }
        ASSERT_EQ(best.rfind("bestmove ", 0), 0u);
        ASSERT_EQ(Ask("play " + best.substr(9)).rfind("ok", 0), 0u) << best;
        const auto [after, afterPlies] = Parse(Ask("value"));
        if (kind == 'd') {
            EXPECT_EQ(after, 'd');
        } else {
            ++decided;
            EXPECT_EQ(after, kind == 'w' ? 'l' : 'w');
            EXPECT_EQ(afterPlies, plies - 1);
        }
    }
    EXPECT_GT(decided, 100);
}

// The solved game reads the board the engine read, whatever the letter case of its text.
TEST_F(PerfectEngine, BoardTextInEitherCase) {
    ASSERT_EQ(Ask("position bbbbb..bw..wwwww b"), "ok");
    const std::string value = Ask("value");
    const std::string move = Ask("go perfect");
    EXPECT_EQ(value, "draw");
    for (const char* text : {"BBBBB..BW..WWWWW B", "bBbBb..Bw..WwWwW b", "BBBBB..BW..WWWWW b"}) {
        SCOPED_TRACE(text);
        ASSERT_EQ(Ask(std::string("position ") + text), "ok");
        EXPECT_EQ(Ask("board"), "bbbbb..bw..wwwww b");
        EXPECT_EQ(Ask("value"), value);
        EXPECT_EQ(Ask("go perfect"), move);
    }
}

TEST_F(PerfectEngine, HintIsThePerfectStepWithThePositionsValue) {
    std::mt19937 rng(8080);
    for (int i = 0; i < 300; ++i) {
        std::uint16_t black = 0, white = 0;
        RandomPosition(rng, black, white);
        const char side = (i % 2 == 0) ? 'b' : 'w';
        ASSERT_EQ(Ask("position " + PerfectPlayer::BoardText(black, white) + " " + side), "ok");
        const std::string best = Ask("go perfect");
        const std::string hint = Ask("hint");
        const std::string analysis = Ask("analyse");
        if (best == "bestmove none") {
            EXPECT_EQ(hint, "hint none");
            EXPECT_EQ(analysis, "none");
            continue;
        }
        EXPECT_EQ(hint, "hint " + best.substr(9) + " " + Ask("value"));
        // One entry per legal step, each "<move> <value>" with the value the step leads to.
        std::vector<std::string> entries;
        for (std::size_t at = 0; at <= analysis.size();) {
            const std::size_t comma = std::min(analysis.find(", ", at), analysis.size());
            entries.push_back(analysis.substr(at, comma - at));
            at = comma + 2;
        }
        std::vector<std::string> moves;
        for (const std::string& entry : entries) {
            const std::string move = entry.substr(0, entry.find(' '));
            moves.push_back(move);
            ASSERT_EQ(Ask("play " + move).rfind("ok", 0), 0u) << entry;
            const auto [kind, plies] = Parse(Ask("value"));
            const auto [stepKind, stepPlies] = Parse(entry.substr(entry.find(' ') + 1));
            if (kind == 'd') {
                EXPECT_EQ(stepKind, 'd') << entry;
            } else {
                EXPECT_EQ(stepKind, kind == 'w' ? 'l' : 'w') << entry;
                EXPECT_EQ(stepPlies, plies + 1) << entry;
            }
            ASSERT_EQ(Ask("position " + PerfectPlayer::BoardText(black, white) + " " + side), "ok");
        }
        std::vector<std::string> legal;
        std::istringstream words(Ask("legal"));
        for (std::string w; words >> w;) legal.push_back(w);
        std::sort(moves.begin(), moves.end());
        EXPECT_EQ(moves, legal);
    }
}

TEST_F(PerfectEngine, NothingMovesOnceTheGameIsOver) {
    // White to move with one piece: black has won, at every level and whoever is to move.
    for (const char* level : {"classic", "beginner", "expert", "perfect"}) {
        for (const char* position :
             {"position w.b............b w", "position w.b............b b"}) {
            ASSERT_EQ(Ask(std::string("level ") + level), "ok");
            ASSERT_EQ(Ask(position), "ok");
            EXPECT_EQ(Ask("result"), "black") << position;
            EXPECT_EQ(Ask("legal"), "none") << level << " " << position;
            EXPECT_EQ(Ask("go"), "bestmove none") << level << " " << position;
            EXPECT_EQ(Ask("go perfect"), "bestmove none") << position;
            EXPECT_EQ(Ask("play 11R"), "error: the game is over") << position;
            EXPECT_EQ(Ask("play 31R"), "error: the game is over") << position;
        }
    }
}

TEST_F(PerfectEngine, LevelsChooseWhatGoPlays) {
    // Classic by default and after "level classic": white only, the classic answers.
    ASSERT_EQ(Ask("start"), "ok");
    EXPECT_EQ(Ask("go"), "error: the computer plays white and black is to move");
    ASSERT_EQ(Ask("level perfect"), "ok");
    EXPECT_EQ(Ask("go"), Ask("go perfect"));
    ASSERT_EQ(Ask("level classic"), "ok");
    EXPECT_EQ(Ask("go").rfind("error:", 0), 0u);
    ASSERT_EQ(Ask("play 21U"), "ok -");
    EXPECT_EQ(Ask("go"), "bestmove 13R");

    // A seeded level gives the same game again after "level" with the same seed.
    auto game = [&](const std::string& level) {
        EXPECT_EQ(Ask("start"), "ok");
        EXPECT_EQ(Ask(level), "ok");
        std::string moves;
        for (int ply = 0; ply < 30 && Ask("result") == "none"; ++ply) {
            const std::string best = Ask("go");
            EXPECT_EQ(best.rfind("bestmove ", 0), 0u) << best;
            if (best == "bestmove none") break;
            moves += best.substr(9) + " ";
            EXPECT_EQ(Ask("play " + best.substr(9)).rfind("ok", 0), 0u) << moves;
        }
        return moves;
    };
    EXPECT_EQ(game("level beginner 42"), game("level beginner 42"));
    EXPECT_NE(game("level beginner 42"), game("level beginner 43"));
    EXPECT_EQ(game("level expert 9"), game("level expert 9"));

    // The table's levels need a position the table holds; the beginner does not.
    ASSERT_EQ(Ask("position bbbbbbb.w..wwwww b"), "ok");
    ASSERT_EQ(Ask("level expert"), "ok");
    EXPECT_EQ(Ask("go").rfind("error:", 0), 0u);
    EXPECT_EQ(Ask("hint").rfind("error:", 0), 0u);
    EXPECT_EQ(Ask("analyse").rfind("error:", 0), 0u);
    ASSERT_EQ(Ask("level beginner"), "ok");
    EXPECT_EQ(Ask("go").rfind("bestmove ", 0), 0u);

    for (const char* bad :
         {"level", "level hard", "level beginner -1", "level beginner 1x", "level beginner 1 2",
          "level beginner 99999999999", "hint now", "analyse all"}) {
        EXPECT_EQ(Ask(bad).rfind("error:", 0), 0u) << bad;
    }
}

// The answer is checked through the engine's own commands: set the position, then "value"
// and "analyse" must show the stated win and exactly one winning step.
TEST_F(PerfectEngine, PuzzleHasOneWinningStepThroughAnalyse) {
    for (int grade = 1; grade <= 4; ++grade) {
        for (const char* seed : {"", " 7", " 20261209"}) {
            const std::string line = "puzzle " + std::to_string(grade) + seed;
            const std::string answer = Ask(line);
            SCOPED_TRACE(line + " -> " + answer);
            ASSERT_EQ(answer.rfind("puzzle ", 0), 0u);
            ASSERT_EQ(Ask(line), answer);
            std::istringstream words(answer.substr(7));
            std::string board, side, value;
            words >> board >> side;
            std::getline(words >> std::ws, value);
            ASSERT_EQ(Ask("position " + board + " " + side), "ok");
            EXPECT_EQ(Ask("value"), value);
            const auto [kind, plies] = Parse(value);
            EXPECT_EQ(kind, 'w');
            const int steps = (plies + 1) / 2;
            const int expected = steps == 1 ? 1 : steps <= 3 ? 2 : steps <= 6 ? 3 : 4;
            EXPECT_EQ(expected, grade);
            const std::string analysed = Ask("analyse");
            int wins = 0;
            for (std::size_t at = analysed.find("win"); at != std::string::npos;
                 at = analysed.find("win", at + 1)) {
                ++wins;
            }
            EXPECT_EQ(wins, 1) << analysed;
            EXPECT_EQ(Ask("board"), board + " " + side);
        }
    }
    EXPECT_EQ(Ask("puzzle"), "error: puzzle takes a grade and an optional seed");
    EXPECT_EQ(Ask("puzzle 1 2 3"), "error: puzzle takes a grade and an optional seed");
    EXPECT_EQ(Ask("puzzle 5"), "error: grade must be 1, 2, 3 or 4");
    EXPECT_EQ(Ask("puzzle 12"), "error: grade must be 1, 2, 3 or 4");
    EXPECT_EQ(Ask("puzzle 2 -1"), "error: seed must be a number from 0 to 4294967295");
    EXPECT_EQ(Ask("puzzle 2 4294967296"), "error: seed must be a number from 0 to 4294967295");
}

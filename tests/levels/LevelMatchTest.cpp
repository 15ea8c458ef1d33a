// Whole games between the levels, played through the engine front end's commands.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "EngineProtocol.h"
#include "HistoryCommands.h"
#include "PerfectCommands.h"
#include "SharedSolve.h"

using kelvara::EngineProtocol;

namespace {

constexpr int kPlyCap = 200;
const std::string kExperience = std::string(KELVARA_SOURCE_DIR) + "/set/experience.dat";

// One side of a match: a level of the engine ("level <word> <seed>"), or "random", a mover
// that picks any legal step.
class Contestant {
  public:
    Contestant(const std::string& level, std::uint32_t seed) : level_(level), rng_(seed) {
        kelvara::PerfectCommands::Install(engine_, &SharedTable());
        if (level != "random") {
            EXPECT_EQ(engine_.Handle("level " + level + " " + std::to_string(seed)), "ok");
        }
    }

    EngineProtocol& Engine() { return engine_; }

    // The step it makes, or "none".
    std::string Step() {
        if (level_ == "random") {
            const std::string legal = engine_.Handle("legal");
            if (legal == "none") return legal;
            std::istringstream words(legal);
            std::vector<std::string> steps;
            for (std::string s; words >> s;) steps.push_back(s);
            return steps[rng_() % steps.size()];
        }
        const std::string answer = engine_.Handle("go");
        EXPECT_EQ(answer.rfind("bestmove ", 0), 0u) << level_ << ": " << answer;
        return answer.substr(9);
    }

  private:
    EngineProtocol engine_{kExperience};
    std::string level_;
    std::mt19937 rng_;
};

enum class Outcome { BlackWins, WhiteWins, Undecided };

// Plays `opening` random plies (seeded), then the two contestants to the end or the cap.
// With `keepFor` naming a colour, an opening that leaves that colour lost is replayed with
// the next seed, so that the game starts from a position it cannot be forced to lose.
Outcome Play(Contestant& black, Contestant& white, std::uint32_t openingSeed, int opening,
             const char* keepFor = nullptr) {
    std::mt19937 rng(openingSeed);
    for (;;) {
        for (Contestant* c : {&black, &white}) EXPECT_EQ(c->Engine().Handle("start"), "ok");
        for (int ply = 0; ply < opening; ++ply) {
            const std::string legal = black.Engine().Handle("legal");
            if (legal == "none") break;
            std::istringstream words(legal);
            std::vector<std::string> steps;
            for (std::string s; words >> s;) steps.push_back(s);
            const std::string step = steps[rng() % steps.size()];
            for (Contestant* c : {&black, &white}) c->Engine().Handle("play " + step);
        }
        if (black.Engine().Handle("result") != "none") continue;
        if (keepFor == nullptr) break;
        const std::string toMove = black.Engine().Handle("board").substr(17);
        const std::string value = black.Engine().Handle("value");
        const bool keptMoves = toMove == std::string(keepFor);
        const bool keptLost = value.rfind(keptMoves ? "loss" : "win", 0) == 0;
        if (!keptLost) break;
    }
    for (int ply = 0; ply < kPlyCap; ++ply) {
        const std::string result = black.Engine().Handle("result");
        if (result == "black") return Outcome::BlackWins;
        if (result == "white") return Outcome::WhiteWins;
        const bool blackToMove = black.Engine().Handle("board").back() == 'b';
        Contestant& mover = blackToMove ? black : white;
        const std::string step = mover.Step();
        // A player that reports no step has lost (the classic computer gives up this way).
        if (step == "none") return blackToMove ? Outcome::WhiteWins : Outcome::BlackWins;
        for (Contestant* c : {&black, &white}) {
            EXPECT_EQ(c->Engine().Handle("play " + step).rfind("ok", 0), 0u) << step;
        }
    }
    return Outcome::Undecided;
}

struct Tally {
    int first = 0;   // games won by the first-named contestant
    int second = 0;  // games won by the other one
    int undecided = 0;
    std::string Text() const {
        return std::to_string(first) + " : " + std::to_string(second) + " (" +
               std::to_string(undecided) + " undecided)";
    }
};

// `games` games of `first` against `second`, seeds counting up from `seed`; the first plays
// black when `firstBlack`, else white.
Tally Match(const std::string& first, const std::string& second, bool firstBlack, int games,
            std::uint32_t seed, int opening, bool keepFirst = false) {
    Tally tally;
    for (int g = 0; g < games; ++g) {
        Contestant a(first, seed + 2 * g), b(second, seed + 2 * g + 1);
        Contestant& black = firstBlack ? a : b;
        Contestant& white = firstBlack ? b : a;
        const char* keep = keepFirst ? (firstBlack ? "b" : "w") : nullptr;
        const Outcome outcome = Play(black, white, seed + 977 * g, opening, keep);
        if (outcome == Outcome::Undecided) {
            ++tally.undecided;
        } else if ((outcome == Outcome::BlackWins) == firstBlack) {
            ++tally.first;
        } else {
            ++tally.second;
        }
    }
    return tally;
}

}  // namespace

TEST(LevelMatch, BeginnerBeatsARandomMover) {
    const Tally asBlack = Match("beginner", "random", true, 60, 100, 0);
    const Tally asWhite = Match("beginner", "random", false, 60, 300, 0);
    RecordProperty("black", asBlack.Text());
    RecordProperty("white", asWhite.Text());
    std::printf("beginner - random: as black %s, as white %s\n", asBlack.Text().c_str(),
                asWhite.Text().c_str());
    EXPECT_GT(asBlack.first, 30) << asBlack.Text();
    EXPECT_GT(asWhite.first, 30) << asWhite.Text();
}

TEST(LevelMatch, ClassicBeatsTheBeginner) {
    // The classic player plays white; the openings vary the games.
    const Tally tally = Match("classic", "beginner", false, 100, 500, 2);
    std::printf("classic - beginner: %s\n", tally.Text().c_str());
    EXPECT_GT(tally.first, 50) << tally.Text();
}

TEST(LevelMatch, ExpertBeatsClassicInMostDecidedGames) {
    const Tally tally = Match("expert", "classic", true, 100, 700, 4);
    std::printf("expert - classic: %s\n", tally.Text().c_str());
    EXPECT_GT(tally.first, tally.second * 3) << tally.Text();
    EXPECT_GT(tally.first, 50) << tally.Text();
}

TEST(LevelMatch, PerfectBeatsExpertInMostDecidedGames) {
    const Tally asBlack = Match("perfect", "expert", true, 40, 900, 0);
    const Tally asWhite = Match("perfect", "expert", false, 40, 1100, 0);
    std::printf("perfect - expert: as black %s, as white %s\n", asBlack.Text().c_str(),
                asWhite.Text().c_str());
    EXPECT_EQ(asBlack.second + asWhite.second, 0);
    EXPECT_GT(asBlack.first + asWhite.first, 0);
}

TEST(LevelMatch, PerfectNeverLoses) {
    struct Case {
        const char* opponent;
        bool perfectBlack;
        int opening;
    };
    const Case cases[] = {
        {"random", true, 0},    {"random", false, 0},  {"beginner", true, 0},
        {"beginner", false, 0}, {"classic", true, 6},  {"expert", true, 6},
        {"expert", false, 6},   {"beginner", true, 6}, {"perfect", false, 6},
    };
    std::uint32_t seed = 2000;
    for (const Case& c : cases) {
        const Tally tally = Match("perfect", c.opponent, c.perfectBlack, 25, seed, c.opening, true);
        seed += 100;
        std::printf("perfect (%s) - %s after %d random plies: %s\n",
                    c.perfectBlack ? "black" : "white", c.opponent, c.opening,
                    tally.Text().c_str());
        EXPECT_EQ(tally.second, 0) << c.opponent << " " << tally.Text();
    }
}

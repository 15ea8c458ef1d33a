#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GameClock.h"
#include "GameRecord.h"

using namespace kelvara;

namespace {

// A record of plies by side ("bwb"), with `back` of them taken back.
GameRecord Made(const std::string& sides, std::size_t back = 0) {
    GameRecord record;
    for (char c : sides) record.Add(PlyRecord{c == 'b' ? Black : White, {1, 1, Up}, {}, 6, 6});
    for (std::size_t i = 0; i < back; ++i) record.StepBack();
    return record;
}

struct Counts {
    const char* sides;
    std::size_t back;
    GameKind kind;
    std::size_t undo;
    std::size_t redo;
};

}  // namespace

TEST(GameRecord, UndoAndRedoCountsByKind) {
    const std::vector<Counts> cases = {
        {"", 0, GameKind::OnePlayer, 0, 0},
        // Against the computer: back to the player's turn, and the pair forward again.
        {"bw", 0, GameKind::OnePlayer, 2, 0},
        {"b", 0, GameKind::OnePlayer, 1, 0},  // the computer had no answer
        {"bwbw", 2, GameKind::OnePlayer, 2, 2},
        {"bwb", 1, GameKind::OnePlayer, 2, 1},
        {"w", 0, GameKind::OnePlayer, 0, 0},  // a set-up game where white moved first
        {"bw", 2, GameKind::OnePlayer, 0, 2},
        // Two players: one ply each way.
        {"bw", 0, GameKind::TwoPlayers, 1, 0},
        {"bwb", 2, GameKind::TwoPlayers, 1, 1},
        {"bw", 2, GameKind::TwoPlayers, 0, 1},
    };
    for (const Counts& c : cases) {
        const GameRecord record = Made(c.sides, c.back);
        const std::string label = std::string(c.sides) + "-" + std::to_string(c.back);
        EXPECT_EQ(record.UndoCount(c.kind), c.undo) << label;
        EXPECT_EQ(record.RedoCount(c.kind), c.redo) << label;
    }
}

TEST(GameRecord, ANewPlyDropsWhatCouldHaveBeenReplayed) {
    GameRecord record = Made("bwb", 2);
    EXPECT_EQ(record.Played().size(), 1u);
    EXPECT_EQ(record.Replayable().size(), 2u);
    EXPECT_EQ(record.StepForward().side, White);
    record.Add(PlyRecord{Black, {2, 1, Up}, {}, 6, 6});
    EXPECT_EQ(record.Played().size(), 3u);
    EXPECT_TRUE(record.Replayable().empty());
    EXPECT_EQ(record.Played().back().step, (MoveRecord{2, 1, Up}));
    EXPECT_NE(record, Made("bwb"));
    record.Clear();
    EXPECT_TRUE(record.Empty());
    EXPECT_EQ(record, GameRecord{});
}

TEST(GameClock, FormatsAndRollsOver) {
    EXPECT_EQ(GameClock::Format(1, 5, 9), " 1: 5: 9");
    EXPECT_EQ(GameClock::Format(123, 59, 10), "123:59:10");
    GameClock clock;
    EXPECT_EQ(clock.Text(), " 0: 0: 0");
    for (int i = 0; i < 59 * 60 + 59; ++i) clock.Tick();
    EXPECT_EQ(clock.Text(), " 0:59:59");
    clock.Tick();
    EXPECT_EQ(clock.Text(), " 1: 0: 0");
    EXPECT_EQ(clock.Hours(), 1);
    clock.Reset();
    EXPECT_EQ(clock, GameClock{});
}

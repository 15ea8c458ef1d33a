#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ScoreTally.h"

using kelvara::GameKind;
using kelvara::Level;
using kelvara::ScoreEntry;
using kelvara::ScoreTally;
using Result = ScoreEntry::Result;

namespace {

struct Case {
    const char* name;
    const char*
        script;  // s: a step, b/w/n: ended won by black, white, nobody; l: left; x: not counted
    GameKind kind;
    kelvara::CellCode localSide;
    std::optional<Result> counted;  // what the script adds, at most once
};

}  // namespace

TEST(ScoreTally, EachGameCountsOnceAsItEndsOrIsLeft) {
    constexpr auto kOne = GameKind::OnePlayer;
    constexpr auto kNet = GameKind::Network;
    const Case cases[] = {
        {"WonAgainstTheComputer", "sb", kOne, kelvara::Black, Result::Win},
        {"LostAgainstTheComputer", "swl", kOne, kelvara::Black, Result::Loss},
        {"BlackWinsBetweenTwo", "sssb", GameKind::TwoPlayers, kelvara::Black, Result::Win},
        {"WhiteWinsBetweenTwo", "ssw", GameKind::TwoPlayers, kelvara::Black, Result::Loss},
        {"NetworkWinForWhite", "ssw", kNet, kelvara::White, Result::Win},
        {"NetworkLossForWhite", "ssb", kNet, kelvara::White, Result::Loss},
        {"PeerLeft", "sn", kNet, kelvara::Black, Result::Unfinished},
        {"LeftUnderWay", "ssl", kOne, kelvara::Black, Result::Unfinished},
        {"LeftBeforeAnyStep", "l", kOne, kelvara::Black, std::nullopt},
        {"EndedAgainAfterUndo", "swsb", kOne, kelvara::Black, Result::Loss},
        {"NotThePlayersOwn", "xsb", kOne, kelvara::Black, std::nullopt},
        {"NotCountedWhenLeft", "xsl", kOne, kelvara::Black, std::nullopt},
    };
    for (const Case& c : cases) {
        ScoreTally tally;
        std::optional<ScoreEntry> seen;
        int entries = 0;
        for (const char* a = c.script; *a != '\0'; ++a) {
            std::optional<ScoreEntry> entry;
            if (*a == 's') tally.StepPlayed(c.kind, Level::Expert);
            if (*a == 'x') tally.SetCounted(false);
            if (*a == 'l') entry = tally.Left();
            if (*a == 'b' || *a == 'w' || *a == 'n') {
                const auto winner = *a == 'b'   ? kelvara::Black
                                    : *a == 'w' ? kelvara::White
                                                : kelvara::Empty;
                entry = tally.Ended(c.kind, Level::Expert, winner, c.localSide);
            }
            if (entry) seen = entry, ++entries;
        }
        EXPECT_LE(entries, 1) << c.name;
        ASSERT_EQ(seen.has_value(), c.counted.has_value()) << c.name;
        if (!seen) continue;
        EXPECT_EQ(*seen, (ScoreEntry{c.kind, Level::Expert, *c.counted})) << c.name;
        // A new game is counted afresh.
        tally.NewGame();
        tally.StepPlayed(c.kind, Level::Beginner);
        EXPECT_TRUE(tally.Left()) << c.name;
    }
}

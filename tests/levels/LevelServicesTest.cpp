// The level from the settings, the players the levels make, hints and analysis with their
// texts, the bridge between the board and the solver, and the table built in the background.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "BeginnerPlayer.h"
#include "BoardBridge.h"
#include "BoardText.h"
#include "ComputerPlayer.h"
#include "EngineTestSupport.h"
#include "GameAnalysis.h"
#include "Gbk.h"
#include "HintText.h"
#include "LevelSetting.h"
#include "SettingsFile.h"
#include "SharedSolve.h"
#include "TableService.h"

using namespace kelvara;
using kelvara::test::BoardOf;
using kelvara::test::TempDir;

namespace {

// The steps of `side` the rules allow, in scan order: column, row, then right, left, up, down.
std::vector<MoveRecord> ScanSteps(const Board& board, CellCode side) {
    std::vector<MoveRecord> steps;
    for (int x = 1; x <= 4; ++x)
        for (int y = 1; y <= 4; ++y)
            for (int d : {Right, Left, Up, Down})
                if (board.IsLegalStep(side, MoveRecord{x, y, d})) steps.push_back({x, y, d});
    return steps;
}

Board RandomBoard(std::mt19937& rng) {
    std::uint16_t black = 0, white = 0;
    RandomPosition(rng, black, white);
    return BoardBridge::ToBoard({black, white, Black});
}

}  // namespace

struct SettingsCase {
    const char* file;  // UTF-8; written as GBK
    Level level;
};

class LevelFromSettings : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(LevelFromSettings, ReadsKeyLevelOfSectionAI) {
    TempDir dir;
    const std::string path = dir.File("kelvara.ini");
    std::ofstream(path, std::ios::binary) << Gbk(GetParam().file);
    SettingsFile settings;
    ASSERT_EQ(settings.Load(path), 1);
    EXPECT_EQ(LevelSetting::FromSetting(settings.GetValue("AI", "level")), GetParam().level)
        << GetParam().file;
}

INSTANTIATE_TEST_SUITE_P(
    Files, LevelFromSettings,
    ::testing::Values(SettingsCase{"[AI]\r\nlevel=beginner\r\n", Level::Beginner},
                      SettingsCase{"[AI]\nlevel=expert\n", Level::Expert},
                      SettingsCase{"[AI]\nlevel=PERFECT\n", Level::Perfect},
                      SettingsCase{"[AI]\nlevel=classic\n", Level::Classic},
                      SettingsCase{"[AI]\nlevel=入门\n", Level::Beginner},
                      SettingsCase{"[AI]\nlevel=完美\n", Level::Perfect},
                      SettingsCase{"[AI]\nlevel=hard\n", Level::Classic},
                      SettingsCase{"[AI]\nlevel=\n", Level::Classic},
                      SettingsCase{"[NET]\nlisten=yes\n", Level::Classic},
                      SettingsCase{"[NET]\nlevel=perfect\n[AI]\nother=1\n", Level::Classic}));

TEST(LevelSetting, NamesAndMarkers) {
    // The reader's markers for a missing key and for no file at all are classic too.
    EXPECT_EQ(LevelSetting::FromSetting(SettingsFile::kNotFound), Level::Classic);
    EXPECT_EQ(LevelSetting::FromSetting(SettingsFile::kNotLoaded), Level::Classic);
    const char* titles[] = {"入门", "经典", "高手", "完美"};
    const char* words[] = {"beginner", "classic", "expert", "perfect"};
    const Level levels[] = {Level::Beginner, Level::Classic, Level::Expert, Level::Perfect};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(LevelSetting::Title(levels[i]), titles[i]);
        EXPECT_EQ(LevelSetting::Word(levels[i]), words[i]);
        Level parsed = Level::Classic;
        ASSERT_TRUE(LevelSetting::FromWord(words[i], parsed));
        EXPECT_EQ(parsed, levels[i]);
    }
    Level untouched = Level::Expert;
    EXPECT_FALSE(LevelSetting::FromWord("Perfect", untouched));
    EXPECT_FALSE(LevelSetting::FromWord("", untouched));
    EXPECT_EQ(untouched, Level::Expert);
    EXPECT_TRUE(LevelSetting::NeedsTable(Level::Perfect));
    EXPECT_TRUE(LevelSetting::NeedsTable(Level::Expert));
    EXPECT_FALSE(LevelSetting::NeedsTable(Level::Classic));
    EXPECT_FALSE(LevelSetting::NeedsTable(Level::Beginner));
}

TEST(LevelPlayers, ClassicIsTheStoredAnswersPlayer) {
    TableService table(SharedTable());
    const std::string experience = std::string(KELVARA_SOURCE_DIR) + "/set/experience.dat";
    auto classic = LevelSetting::MakePlayer(Level::Classic, White, 7, table, experience);
    ASSERT_NE(dynamic_cast<ComputerPlayer*>(classic.get()), nullptr);
    // After black's 21U the search takes the piece on (2, 2) with 13R.
    const std::optional<MoveRecord> move = classic->ChooseMove(BoardOf("b.bbbb.bw..wwwww"));
    ASSERT_TRUE(move);
    EXPECT_EQ(Board::FormatMove(*move), "13R");
}

TEST(LevelPlayers, EveryLevelMakesLegalStepsForBothColoursAndLeavesTheBoard) {
    TableService table(SharedTable());
    std::mt19937 rng(4711);
    for (Level level : {Level::Beginner, Level::Expert, Level::Perfect}) {
        for (CellCode side : {Black, White}) {
            auto player = LevelSetting::MakePlayer(level, side, 99, table, "/nonexistent");
            for (int i = 0; i < 200; ++i) {
                Board board = RandomBoard(rng);
                if (board.Winner(side) != Empty) continue;
                const std::optional<MoveRecord> move = player->ChooseMove(board);
                ASSERT_TRUE(move) << BoardToText(board);
                EXPECT_TRUE(board.IsLegalStep(side, *move))
                    << LevelSetting::Word(level) << " " << BoardToText(board) << " "
                    << Board::FormatMove(*move);
            }
            // A side without a step has none to offer.
            Board walled = BoardOf(side == Black ? "bw..bw..w......." : "wb..wb..b.......");
            EXPECT_FALSE(player->ChooseMove(walled)) << LevelSetting::Word(level);
        }
    }
}

TEST(LevelPlayers, SeededLevelsReplayTheirGameAndSeedsDiffer) {
    TableService table(SharedTable());
    for (Level level : {Level::Beginner, Level::Expert}) {
        auto first = LevelSetting::MakePlayer(level, Black, 5, table, "");
        auto again = LevelSetting::MakePlayer(level, Black, 5, table, "");
        auto other = LevelSetting::MakePlayer(level, Black, 6, table, "");
        std::mt19937 rng(17);
        int differ = 0;
        for (int i = 0; i < 300; ++i) {
            Board board = RandomBoard(rng);
            if (board.Winner(Black) != Empty) continue;
            const std::optional<MoveRecord> a = first->ChooseMove(board);
            const std::optional<MoveRecord> b = again->ChooseMove(board);
            const std::optional<MoveRecord> c = other->ChooseMove(board);
            ASSERT_TRUE(a && b && c);
            EXPECT_EQ(*a, *b);
            if (*a != *c) ++differ;
        }
        EXPECT_GT(differ, 5) << LevelSetting::Word(level);
    }
}

TEST(LevelPlayers, BeginnerFavoursBetterSteps) {
    // After black's 21U, white's 13R takes a piece (score 21); the other steps score 17 or
    // less. Taken far more often than its share, yet not always.
    BeginnerPlayer beginner(3, White);
    Board board = BoardOf("b.bbbb.bw..wwwww");
    const int steps = static_cast<int>(ScanSteps(board, White).size());
    int capture = 0;
    for (int i = 0; i < 400; ++i) {
        const std::optional<MoveRecord> move = beginner.ChooseMove(board);
        ASSERT_TRUE(move);
        if (Board::FormatMove(*move) == "13R") ++capture;
    }
    EXPECT_GT(capture, 2 * 400 / steps);
    EXPECT_LT(capture, 400);
    // Black is judged on the board with the colours swapped: the same capture scores 21.
    EXPECT_EQ(ComputerPlayer::ScoreStep(board, 1, 3, 2, 3), 21);
    EXPECT_EQ(BeginnerPlayer::ScoreFor(BoardOf("w.wwww.wb..bbbbb"), Black, MoveRecord{1, 3, Right}),
              21);
    EXPECT_EQ(BeginnerPlayer::ScoreFor(board, White, MoveRecord{1, 3, Right}), 21);
}

struct HintCase {
    const char* board;
    CellCode side;
    const char* move;
    const char* engineValue;  // plies, as the engine writes them
    const char* text;         // UTF-8
};

class HintTexts : public ::testing::TestWithParam<HintCase> {};

TEST_P(HintTexts, WonDrawnAndLostPositions) {
    const HintCase& c = GetParam();
    const GameAnalysis analysis(SharedTable());
    StepOutcome hint;
    ASSERT_TRUE(analysis.Hint(BoardOf(c.board), c.side, hint));
    EXPECT_EQ(Board::FormatMove(hint.move), c.move);
    EXPECT_EQ(hint.value.Text(), c.engineValue);
    EXPECT_EQ(HintText::Hint(hint), c.text);
    PositionValue value;
    ASSERT_TRUE(analysis.Value(BoardOf(c.board), c.side, value));
    EXPECT_EQ(value, hint.value);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, HintTexts,
    ::testing::Values(
        // White after black's 21U: won in 29 plies, 15 of them white's.
        HintCase{"b.bbbb.bw..wwwww", White, "13R", "win 29", "提示：13R，必胜（还需 15 步）"},
        HintCase{"bbbbb..bw..wwwww", Black, "12R", "draw", "提示：12R，和棋"},
        // Black after 21U and white's capture 13R: lost in 28 plies, 14 more black steps.
        HintCase{"b.bbb..b.w.wwwww", Black, "42L", "loss 28", "提示：42L，必败（可坚持 14 步）"},
        HintCase{"....b....b..w..w", Black, "23L", "win 1", "提示：23L，必胜（还需 1 步）"}));

TEST(HintText, OtherTextsAndLabels) {
    EXPECT_EQ(HintText::Preparing(), "提示：正在准备棋局数据，请稍候……");
    EXPECT_EQ(HintText::NoStep(), "提示：无棋可走");
    EXPECT_EQ(HintText::Label(PositionValue::Win(29)), "胜15");
    EXPECT_EQ(HintText::Label(PositionValue::Loss(28)), "负14");
    EXPECT_EQ(HintText::Label(PositionValue::Loss(2)), "负1");
    EXPECT_EQ(HintText::Label(PositionValue::Draw()), "和");
    EXPECT_EQ(HintText::OwnSteps(PositionValue::Win(1)), 1);
    EXPECT_EQ(HintText::OwnSteps(PositionValue::Win(4 * 2 + 1)), 5);
    EXPECT_EQ(HintText::OwnSteps(PositionValue::Loss(10)), 5);
}

TEST(GameAnalysis, StepsInScanOrderWithTheValueTheyLeadTo) {
    const GameAnalysis analysis(SharedTable());
    std::mt19937 rng(31337);
    int checked = 0;
    for (int i = 0; i < 600; ++i) {
        Board board = RandomBoard(rng);
        const CellCode side = i % 2 == 0 ? Black : White;
        const std::vector<StepOutcome> steps = analysis.Analyse(board, side);
        if (board.Winner(side) != Empty) {
            EXPECT_TRUE(steps.empty()) << BoardToText(board);
            StepOutcome hint;
            EXPECT_FALSE(analysis.Hint(board, side, hint));
            continue;
        }
        const std::vector<MoveRecord> scan = ScanSteps(board, side);
        ASSERT_EQ(steps.size(), scan.size()) << BoardToText(board);
        const StepOutcome* best = nullptr;
        for (std::size_t k = 0; k < steps.size(); ++k) {
            ASSERT_EQ(steps[k].move, scan[k]);
            // The value of the position the core's own rule leads to, one ply earlier.
            Board after = board;
            after.ApplyMove(side, scan[k]);
            PositionValue next;
            ASSERT_TRUE(analysis.Value(after, Enemy(side), next));
            EXPECT_EQ(steps[k].value, next.ForSideThatStepped()) << BoardToText(board);
            if (best == nullptr || steps[k].value.Rank() > best->value.Rank()) best = &steps[k];
        }
        StepOutcome hint;
        ASSERT_TRUE(analysis.Hint(board, side, hint));
        EXPECT_EQ(hint, *best);
        PositionValue value;
        ASSERT_TRUE(analysis.Value(board, side, value));
        EXPECT_EQ(value, hint.value);
        ++checked;
    }
    EXPECT_GT(checked, 400);
}

TEST(BoardBridge, BoardAndPositionRoundTrip) {
    std::mt19937 rng(99);
    for (int i = 0; i < 500; ++i) {
        std::uint16_t black = 0, white = 0;
        RandomPosition(rng, black, white, 1 + static_cast<int>(rng() % 6),
                       1 + static_cast<int>(rng() % 6));
        const SolverPosition position{black, white, i % 2 == 0 ? Black : White};
        const Board board = BoardBridge::ToBoard(position);
        EXPECT_EQ(board.blackPieces, board.CountPieces(Black));
        EXPECT_EQ(board.whitePieces, board.CountPieces(White));
        // Cells as the board text reader would set them: the same weights, the same ring.
        Board viaText;
        ASSERT_TRUE(BoardFromText(BoardToText(board), viaText));
        EXPECT_EQ(board.cells, viaText.cells);
        SolverPosition back;
        ASSERT_TRUE(BoardBridge::ToPosition(board, position.side, back));
        EXPECT_EQ(back, position);
    }
    SolverPosition unchanged{1, 2, White};
    EXPECT_FALSE(BoardBridge::ToPosition(Board(), Empty, unchanged));
    EXPECT_FALSE(BoardBridge::ToPosition(BoardOf("bbbbbbb.w..wwwww"), Black, unchanged));
    EXPECT_EQ(unchanged, (SolverPosition{1, 2, White}));
    // The start: black on points 0..4 and 7.
    SolverPosition start;
    ASSERT_TRUE(BoardBridge::ToPosition(Board(), Black, start));
    EXPECT_EQ(start.black, 0x009F);
    EXPECT_EQ(start.white, 0xF900);
}

TEST(BoardBridge, StepsAndRecords) {
    for (int from = 0; from < 16; ++from) {
        for (int direction = Up; direction <= Right; ++direction) {
            const MoveRecord move = BoardBridge::ToMove(from, direction);
            int f = -1, d = -1;
            ASSERT_TRUE(BoardBridge::FromMove(move, f, d));
            EXPECT_EQ(f, from);
            EXPECT_EQ(d, direction);
        }
    }
    EXPECT_EQ(Board::FormatMove(BoardBridge::ToMove(4, Right)), "12R");
    EXPECT_EQ(Board::FormatMove(BoardBridge::ToMove(15, Down)), "44D");
    int f = 0, d = 0;
    EXPECT_FALSE(BoardBridge::FromMove(MoveRecord{1, 1, None}, f, d));
    EXPECT_FALSE(BoardBridge::FromMove(MoveRecord{0, 1, Up}, f, d));
    EXPECT_FALSE(BoardBridge::FromMove(MoveRecord{1, 5, Down}, f, d));
}

TEST(TableService, ATableSolvedElsewhereIsReadyAtOnce) {
    TableService table(SharedTable());
    EXPECT_TRUE(table.Ready());
    EXPECT_EQ(table.Table(), &SharedTable());
    EXPECT_EQ(table.CurrentState(), TableService::State::Ready);
    bool called = false;
    table.OnReady([&] { called = true; });
    EXPECT_TRUE(called);
    table.Start();  // nothing to start
    EXPECT_EQ(table.Wait(), &SharedTable());
}

TEST(TableService, SolvesInTheBackgroundAndTellsWhenReady) {
    TableService table(2);
    EXPECT_FALSE(table.Ready());
    EXPECT_EQ(table.Table(), nullptr);
    EXPECT_EQ(table.CurrentState(), TableService::State::Idle);
    std::mutex mutex;
    std::condition_variable told;
    int calls = 0;
    table.OnReady([&] {
        std::lock_guard<std::mutex> lock(mutex);
        ++calls;
        told.notify_all();
    });
    table.Start();
    table.Start();  // a second start changes nothing
    {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(told.wait_for(lock, std::chrono::minutes(5), [&] { return calls > 0; }));
    }
    ASSERT_TRUE(table.Ready());
    EXPECT_EQ(table.CurrentState(), TableService::State::Ready);
    ASSERT_NE(table.Table(), nullptr);
    EXPECT_TRUE(table.Table()->Complete());
    EXPECT_TRUE(table.Table()->Table() == SharedTable().Table());
    EXPECT_EQ(table.Wait(), table.Table());
    EXPECT_EQ(calls, 1);
}

TEST(TableService, AStoppedSolveNeverCallsBack) {
    bool called = false;
    {
        TableService table(1);
        table.OnReady([&] { called = true; });
        table.Start();
        table.Stop();
        // The thread has been joined: the solve either finished first (and called back) or was
        // abandoned without a table.
        const auto state = table.CurrentState();
        ASSERT_TRUE(state == TableService::State::Ready || state == TableService::State::Stopped);
        EXPECT_EQ(called, state == TableService::State::Ready);
        EXPECT_EQ(table.Table() != nullptr, state == TableService::State::Ready);
        EXPECT_EQ(table.Wait(), table.Table());
    }
    TableService destroyed(1);
    destroyed.Start();  // the destructor stops it and joins its thread
}

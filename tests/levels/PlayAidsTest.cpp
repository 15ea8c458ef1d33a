#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "BoardText.h"
#include "LevelOpponent.h"
#include "PlayAids.h"
#include "TableService.h"

using namespace kelvara;

namespace {

using Kind = BoardMark::Kind;
using Tone = BoardMark::Tone;

// One solved table for every test of the process.
const SolvedTable& Table() {
    static TableService service(2);
    return *service.Wait();
}

Board FromText(const char* text) {
    Board board;
    EXPECT_TRUE(BoardFromText(text, board)) << text;
    return board;
}

TurnView LocalTurn(const Board& board, CellCode side, GameKind kind = GameKind::OnePlayer) {
    TurnView turn;
    turn.kind = kind;
    turn.phase = TurnPhase::LocalTurn;
    turn.sideToMove = side;
    turn.board = &board;
    return turn;
}

std::vector<BoardMark> OfKind(const std::vector<BoardMark>& marks, Kind kind) {
    std::vector<BoardMark> out;
    std::copy_if(marks.begin(), marks.end(), std::back_inserter(out),
                 [kind](const BoardMark& m) { return m.kind == kind; });
    return out;
}

}  // namespace

TEST(PlayAids, LastStepMarksItsOriginDestinationAndWhatItTook) {
    PlyRecord ply;
    ply.side = White;
    ply.step = {1, 3, Right};
    ply.captured = {MakePoint(2, 2), MakePoint(4, 3)};
    const std::vector<BoardMark> marks = PlayAids::StepMarks(ply);
    ASSERT_EQ(marks.size(), 4u);
    EXPECT_EQ(marks[0].kind, Kind::LastFrom);
    EXPECT_EQ(marks[0].point, MakePoint(1, 3));
    EXPECT_EQ(marks[1].kind, Kind::LastTo);
    EXPECT_EQ(marks[1].point, MakePoint(2, 3));
    EXPECT_EQ(marks[1].side, White);
    for (int k : {2, 3}) {
        EXPECT_EQ(marks[k].kind, Kind::Taken);
        EXPECT_EQ(marks[k].side, Black);  // the colour taken, not the one that stepped
    }
    EXPECT_EQ(marks[2].point, MakePoint(2, 2));
    EXPECT_EQ(marks[3].point, MakePoint(4, 3));

    // Steps that name no point on the board mark nothing.
    PlyRecord off;
    off.step = {4, 4, Up};
    EXPECT_TRUE(PlayAids::StepMarks(off).empty());
    off.step = {2, 2, 7};
    EXPECT_TRUE(PlayAids::StepMarks(off).empty());

    // The last step stays until the next one replaces it or a new game clears it.
    PlayAids aids;
    aids.SetLastStep(&ply);
    EXPECT_EQ(aids.Marks(), marks);
    PlyRecord next;
    next.side = Black;
    next.step = {2, 1, Up};
    aids.StepPlayed(next);
    ASSERT_EQ(aids.Marks().size(), 2u);
    EXPECT_EQ(aids.Marks()[1].point, MakePoint(2, 2));
    aids.SetLastStep(nullptr);
    EXPECT_TRUE(aids.Marks().empty());
    aids.SetLastStep(&ply);
    aids.NewGame();
    EXPECT_TRUE(aids.Marks().empty());
}

struct HintCase {
    const char* board;
    CellCode side;
    const char* text;  // UTF-8
    BoardPoint from, to;
    Tone tone;
};

class HintTexts : public ::testing::TestWithParam<HintCase> {};

TEST_P(HintTexts, WonDrawnAndLostPositions) {
    const HintCase& c = GetParam();
    const Board board = FromText(c.board);
    PlayAids aids;
    EXPECT_EQ(aids.AskHint(LocalTurn(board, c.side), &Table()), c.text);
    ASSERT_TRUE(aids.HintShown());
    const std::vector<BoardMark> marks = aids.Marks();
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].kind, Kind::HintFrom);
    EXPECT_EQ(marks[0].point, c.from);
    EXPECT_EQ(marks[1].kind, Kind::HintTo);
    EXPECT_EQ(marks[1].point, c.to);
    EXPECT_EQ(marks[1].from, c.from);
    EXPECT_EQ(marks[0].tone, c.tone);
    EXPECT_EQ(marks[1].tone, c.tone);
    // The next step takes the hint away.
    aids.StepPlayed(PlyRecord{});
    EXPECT_FALSE(aids.HintShown());
}

INSTANTIATE_TEST_SUITE_P(
    Positions, HintTexts,
    ::testing::Values(
        // 21L lines up (1,1), (1,2) against white's (1,3): white keeps one piece.
        HintCase{".b..b...w......w", Black, "提示：21L，必胜（还需 1 步）", MakePoint(2, 1),
                 MakePoint(1, 1), Tone::Win},
        // The start: a draw, and 12R is the first step that keeps it.
        HintCase{"bbbbb..bw..wwwww", Black, "提示：12R，和棋", MakePoint(1, 2), MakePoint(2, 2),
                 Tone::Draw},
        // Both black steps let white's 22L take (1,4): one step to go, the first in scan order.
        HintCase{"..w..w..w...bb..", Black, "提示：24R，必败（可坚持 1 步）", MakePoint(2, 4),
                 MakePoint(3, 4), Tone::Loss}));

TEST(PlayAids, HintOnlyWhereALocalPlayerMayMove) {
    const Board start = FromText("bbbbb..bw..wwwww");
    PlayAids aids;
    TurnView turn = LocalTurn(start, Black);
    // The table still being built: one line saying so, and nothing on the board.
    EXPECT_EQ(aids.AskHint(turn, nullptr), "提示：正在准备棋局数据，请稍候……");
    EXPECT_FALSE(aids.HintShown());

    // Network games, the computer's turn, no game, nobody to move: no hint at all.
    for (auto change : std::vector<std::function<void(TurnView&)>>{
             [](TurnView& t) { t.kind = GameKind::Network; },
             [](TurnView& t) { t.phase = TurnPhase::ComputerThinking; },
             [](TurnView& t) { t.phase = TurnPhase::Over; },
             [](TurnView& t) { t.sideToMove = Empty; }}) {
        TurnView other = turn;
        change(other);
        EXPECT_EQ(aids.AskHint(other, &Table()), "");
        EXPECT_FALSE(aids.HintShown());
    }
    // Two players: white's hint too.
    EXPECT_EQ(aids.AskHint(LocalTurn(start, White, GameKind::TwoPlayers), &Table()),
              "提示：13R，和棋");

    // A side that cannot step has no hint, only the line that says so.
    const Board stuck = FromText("bw..bw..w.......");
    EXPECT_EQ(aids.AskHint(LocalTurn(stuck, Black, GameKind::TwoPlayers), &Table()),
              "提示：无棋可走");
    EXPECT_FALSE(aids.HintShown());
}

TEST(PlayAids, AnalysisLabelsEveryStepAndEveryDestinationByItsBestStep) {
    // Black: 12R draw, 12D draw, 21R draw, 21L win 1, 21U draw.
    const Board board = FromText(".b..b...w......w");
    PlayAids aids;
    const TurnView turn = LocalTurn(board, Black);
    EXPECT_FALSE(aids.Refresh(turn, &Table()));  // off: nothing
    EXPECT_TRUE(aids.Marks().empty());

    aids.SetAnalysis(true);
    EXPECT_TRUE(aids.Refresh(turn, &Table()));
    EXPECT_FALSE(aids.Refresh(turn, &Table()));  // the same position again: no change
    const std::vector<BoardMark> marks = aids.Marks();
    const auto steps = OfKind(marks, Kind::StepOutcome);
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[0].from, MakePoint(1, 2));
    EXPECT_EQ(steps[0].point, MakePoint(2, 2));
    EXPECT_EQ(steps[0].label, "和");
    EXPECT_EQ(steps[3].from, MakePoint(2, 1));
    EXPECT_EQ(steps[3].point, MakePoint(1, 1));
    EXPECT_EQ(steps[3].label, "胜1");
    EXPECT_EQ(steps[3].tone, Tone::Win);

    // (1,1) is reached by 12D (draw) and 21L (win): it shows the win; (2,2) by 12R and 21U.
    const auto targets = OfKind(marks, Kind::TargetOutcome);
    ASSERT_EQ(targets.size(), 3u);
    const auto at = [&](BoardPoint p) {
        return std::find_if(targets.begin(), targets.end(),
                            [p](const BoardMark& m) { return m.point == p; });
    };
    ASSERT_NE(at(MakePoint(1, 1)), targets.end());
    EXPECT_EQ(at(MakePoint(1, 1))->tone, Tone::Win);
    ASSERT_NE(at(MakePoint(2, 2)), targets.end());
    EXPECT_EQ(at(MakePoint(2, 2))->tone, Tone::Draw);
    ASSERT_NE(at(MakePoint(3, 1)), targets.end());

    // A lost position: every label is a loss.
    const Board lost = FromText("..w..w..w...bb..");
    EXPECT_TRUE(aids.Refresh(LocalTurn(lost, Black), &Table()));
    const auto lostSteps = OfKind(aids.Marks(), Kind::StepOutcome);
    ASSERT_EQ(lostSteps.size(), 2u);
    for (const BoardMark& m : lostSteps) EXPECT_EQ(m.label, "负1");

    // Not the local player's turn, or the table missing: the marks go; waiting only for the
    // table.
    TurnView computer = LocalTurn(lost, White);
    computer.phase = TurnPhase::ComputerThinking;
    EXPECT_TRUE(aids.Refresh(computer, &Table()));
    EXPECT_TRUE(aids.Marks().empty());
    EXPECT_FALSE(aids.AnalysisWaiting(computer, nullptr));
    EXPECT_TRUE(aids.AnalysisWaiting(LocalTurn(lost, Black), nullptr));
    EXPECT_FALSE(aids.Refresh(LocalTurn(lost, Black), nullptr));
    EXPECT_TRUE(aids.Marks().empty());
    TurnView network = LocalTurn(board, Black, GameKind::Network);
    EXPECT_FALSE(aids.AnalysisWaiting(network, nullptr));
    aids.Refresh(network, &Table());
    EXPECT_TRUE(aids.Marks().empty());

    // Off again: nothing, and nothing to wait for.
    aids.Refresh(turn, &Table());
    aids.SetAnalysis(false);
    EXPECT_TRUE(aids.Refresh(turn, &Table()));
    EXPECT_TRUE(aids.Marks().empty());
    EXPECT_FALSE(aids.AnalysisWaiting(turn, nullptr));
}

TEST(LevelOpponent, WaitsForTheTableOnlyWhereTheLevelNeedsIt) {
    TableService idle(2);
    EXPECT_TRUE(LevelOpponent(Level::Beginner, 1, idle).ReadyToChoose());
    LevelOpponent perfect(Level::Perfect, 1, idle);
    LevelOpponent expert(Level::Expert, 1, idle);
    EXPECT_FALSE(perfect.ReadyToChoose());
    EXPECT_FALSE(expert.ReadyToChoose());
    EXPECT_EQ(idle.CurrentState(), TableService::State::Idle);  // asking starts nothing

    TableService ready(Table());
    LevelOpponent perfectReady(Level::Perfect, 1, ready);
    EXPECT_TRUE(perfectReady.ReadyToChoose());
    // The perfect player's step for white is the hint's.
    Board start = FromText("bbbbb..bw..wwwww");
    const std::optional<MoveRecord> move = perfectReady.ChooseMove(start);
    ASSERT_TRUE(move);
    EXPECT_EQ(Board::FormatMove(*move), "13R");
}

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <array>

#include "BoardCanvas.h"
#include "BoardMarks.h"
#include "BoardText.h"
#include "ComputerPlayer.h"
#include "GameAnalysis.h"
#include "GuiFixture.h"
#include "LevelOpponent.h"
#include "MainDialog.h"
#include "NetworkLink.h"
#include "StartGameDialog.h"
#include "TableService.h"

using namespace kelvara;

namespace {

// The start dialog's radio button of a kind of game.

using Kind = BoardMark::Kind;

// The network side of a game whose messages the test hands in itself.

class PlayAidsWindowTest : public GuiFixture {
  protected:
    void SetUp() override {
        GuiFixture::SetUp();
        WriteFile("set/kelvara.ini", kQuietSettings);
    }

    static QAction* Action(MainDialog& window, const char* name) {
        auto* action = window.findChild<QAction*>(name);
        EXPECT_NE(action, nullptr) << name;
        return action;
    }

    static std::vector<BoardMark> MarksOf(MainDialog& window, Kind kind) {
        std::vector<BoardMark> out;
        for (const BoardMark& m : window.Marks()->Marks())
            if (m.kind == kind) out.push_back(m);
        return out;
    }

    // The canvas as the screen shows it (marks included).
    static QImage OnScreen(MainDialog& window) {
        return window.Canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    static int DifferentPixels(const QImage& a, const QImage& b, const QRect& rect) {
        int n = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                if (a.pixel(x, y) != b.pixel(x, y)) ++n;
        return n;
    }
};

}  // namespace

TEST_F(PlayAidsWindowTest, LevelFromTheSettingsAndFromTheMenuForTheNextGame) {
    struct Case {
        const char* value;
        Level level;
        const char* action;
    };
    for (const Case& c : {Case{"perfect", Level::Perfect, "actionLevelPerfect"},
                          Case{"Beginner", Level::Beginner, "actionLevelBeginner"},
                          Case{"\xb8\xdf\xca\xd6", Level::Expert, "actionLevelExpert"},  // 高手
                          Case{"master", Level::Classic, "actionLevelClassic"},
                          Case{nullptr, Level::Classic, "actionLevelClassic"}}) {
        WriteFile(
            "set/kelvara.ini",
            kQuietSettings + (c.value != nullptr ? std::string("[AI]\r\nlevel=") + c.value : ""));
        MainDialog window;
        window.SetTableService(&Solved());
        ASSERT_TRUE(window.Initialise());
        EXPECT_EQ(window.ChosenLevel(), c.level) << (c.value ? c.value : "missing");
        int checked = 0;
        for (const char* name : {"actionLevelBeginner", "actionLevelClassic", "actionLevelExpert",
                                 "actionLevelPerfect"}) {
            QAction* action = Action(window, name);
            EXPECT_TRUE(action->isCheckable());
            checked += action->isChecked();
            EXPECT_EQ(action->isChecked(), std::string(name) == c.action) << name;
        }
        EXPECT_EQ(checked, 1);
    }

    auto window = OpenWindow(0, &Solved());
    EXPECT_EQ(Action(*window, "actionLevelExpert")->text(), "高手");
    StartFromMenu(*window, &StartGameDialog::OnePlayerRadio);
    EXPECT_EQ(window->ActiveLevel(), Level::Classic);
    // The classic computer player itself, stored answers and all.
    EXPECT_NE(dynamic_cast<const ComputerPlayer*>(window->Computer()), nullptr);

    // Chosen during a game: this game goes on against the classic player.
    Action(*window, "actionLevelBeginner")->trigger();
    EXPECT_EQ(window->ChosenLevel(), Level::Beginner);
    EXPECT_FALSE(Action(*window, "actionLevelClassic")->isChecked());
    EXPECT_EQ(window->ActiveLevel(), Level::Classic);
    PlayByMouse(*window, "21U");
    EXPECT_EQ(window->WhiteHistory()->topLevelItemCount(), 1);
    EXPECT_NE(dynamic_cast<const ComputerPlayer*>(window->Computer()), nullptr);

    StartFromMenu(*window, &StartGameDialog::OnePlayerRadio);
    EXPECT_EQ(window->ActiveLevel(), Level::Beginner);
    const auto* opponent = dynamic_cast<const LevelOpponent*>(window->Computer());
    ASSERT_NE(opponent, nullptr);
    EXPECT_EQ(opponent->GetLevel(), Level::Beginner);

    // 完美 answers with the perfect step.
    Action(*window, "actionLevelPerfect")->trigger();
    StartFromMenu(*window, &StartGameDialog::OnePlayerRadio);
    PlayByMouse(*window, "12R");
    ASSERT_EQ(window->WhiteHistory()->topLevelItemCount(), 1);
    Board afterBlack;
    ASSERT_TRUE(BoardFromText("bbbb.b.bw..wwwww", afterBlack));
    StepOutcome best;
    ASSERT_TRUE(GameAnalysis(*Solved().Table()).Hint(afterBlack, White, best));
    EXPECT_EQ(window->WhiteHistory()->topLevelItem(0)->text(0),
              QString::fromStdString(Board::FormatMove(best.move)));
    EXPECT_EQ(window->StatusText(), "现在该你走棋了...");

    // Back to 经典 for the next game: the classic player again.
    Action(*window, "actionLevelClassic")->trigger();
    StartFromMenu(*window, &StartGameDialog::OnePlayerRadio);
    EXPECT_NE(dynamic_cast<const ComputerPlayer*>(window->Computer()), nullptr);
}

TEST_F(PlayAidsWindowTest, HintMarksTheStepForAMomentAndSaysItInTheStatusLine) {
    auto window = OpenWindow(0, &Solved());
    QAction* hint = Action(*window, "actionHint");
    EXPECT_FALSE(hint->isEnabled());  // no game yet
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "甲", "乙");
    ASSERT_TRUE(hint->isEnabled());
    EXPECT_EQ(hint->shortcut(), QKeySequence(Qt::Key_H));
    const QImage board = window->CanvasImage();

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_H);
    EXPECT_EQ(window->StatusText(), "提示：12R，和棋");
    const auto from = MarksOf(*window, Kind::HintFrom);
    const auto to = MarksOf(*window, Kind::HintTo);
    ASSERT_EQ(from.size(), 1u);
    ASSERT_EQ(to.size(), 1u);
    EXPECT_EQ(from[0].point, MakePoint(1, 2));
    EXPECT_EQ(to[0].point, MakePoint(2, 2));
    // Drawn over the board on screen; the board's own picture is untouched.
    EXPECT_EQ(window->CanvasImage(), board);
    EXPECT_GT(DifferentPixels(OnScreen(*window), board, Square(2, 2)), 20);

    // For a moment only.
    QTRY_VERIFY_WITH_TIMEOUT(!window->Aids().HintShown(), 20000);
    EXPECT_TRUE(MarksOf(*window, Kind::HintTo).empty());
    EXPECT_EQ(DifferentPixels(OnScreen(*window), board, Square(2, 2)), 0);

    // White's turn in a lost position: the hint counts the steps it can hold out.
    Board lost;
    ASSERT_TRUE(BoardFromText("..b..b..b...ww..", lost));
    window->Session().SetUpPosition(lost, White);
    hint->trigger();
    EXPECT_EQ(window->StatusText(), "提示：24R，必败（可坚持 1 步）");
    // The line is shown whole, set smaller in its text; the label keeps its own font.
    EXPECT_TRUE(window->StatusLabel()->text().contains("提示：24R，必败（可坚持 1 步）"));
    EXPECT_EQ(window->StatusLabel()->font(), window->StatusFont());
    // The next step takes the hint away and the status line is the game's again.
    PlayByMouse(*window, "24D");
    EXPECT_TRUE(MarksOf(*window, Kind::HintFrom).empty());
    EXPECT_EQ(window->StatusText(), "现在是 甲(黑)  走棋...");
    EXPECT_EQ(window->StatusLabel()->text(), "现在是 甲(黑)  走棋...");
}

TEST_F(PlayAidsWindowTest, HintWhileTheTableIsStillBeingBuilt) {
    TableService pending(2);  // handed in, not started: the window leaves it as it is
    auto window = OpenWindow(0, &pending);
    StartFromMenu(*window, &StartGameDialog::OnePlayerRadio);
    Action(*window, "actionHint")->trigger();
    EXPECT_EQ(window->StatusText(), "提示：正在准备棋局数据，请稍候……");
    EXPECT_TRUE(window->Marks()->Marks().empty());
    EXPECT_EQ(pending.CurrentState(), TableService::State::Idle);
    // The game goes on as before.
    PlayByMouse(*window, "21U");
    EXPECT_EQ(window->WhiteHistory()->topLevelItemCount(), 1);
    EXPECT_EQ(window->StatusText(), "现在该你走棋了...");
}

TEST_F(PlayAidsWindowTest, AnalysisFollowsTheMenuEveryStepAndUndo) {
    auto window = OpenWindow(0, &Solved());
    QAction* analysis = Action(*window, "actionAnalysis");
    ASSERT_TRUE(analysis->isCheckable());
    EXPECT_FALSE(analysis->isChecked());
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "甲", "乙");
    EXPECT_TRUE(MarksOf(*window, Kind::StepOutcome).empty());

    const auto fromPoints = [&] {
        std::vector<BoardPoint> points;
        for (const BoardMark& m : MarksOf(*window, Kind::StepOutcome)) points.push_back(m.from);
        return points;
    };
    const auto allOfSide = [&](CellCode side) {
        const auto points = fromPoints();
        return !points.empty() && std::all_of(points.begin(), points.end(), [&](BoardPoint p) {
            return window->Session().CurrentBoard().Code(PointX(p), PointY(p)) == side;
        });
    };

    analysis->trigger();
    ASSERT_TRUE(analysis->isChecked());
    // Black's four steps at the start, in scan order: 12R and 42L keep the draw, 21U and 31U
    // lose in 15 steps.
    const auto start = MarksOf(*window, Kind::StepOutcome);
    ASSERT_EQ(start.size(), 4u);
    const char* labels[] = {"和", "负15", "负15", "和"};
    const BoardPoint origins[] = {MakePoint(1, 2), MakePoint(2, 1), MakePoint(3, 1),
                                  MakePoint(4, 2)};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(start[k].from, origins[k]) << k;
        EXPECT_EQ(start[k].label, std::string(labels[k])) << k;
    }
    EXPECT_TRUE(allOfSide(Black));
    EXPECT_GT(DifferentPixels(OnScreen(*window), window->CanvasImage(), QRect(0, 70, 311, 330)),
              100);

    PlayByMouse(*window, "21U");
    EXPECT_TRUE(allOfSide(White));
    PlayByMouse(*window, "13R");  // takes the black piece on (2, 2)
    EXPECT_TRUE(allOfSide(Black));
    const auto afterCapture = fromPoints();

    window->findChild<QAction*>("actionUndo")->trigger();
    EXPECT_TRUE(allOfSide(White));
    window->findChild<QAction*>("actionRedo")->trigger();
    EXPECT_EQ(fromPoints(), afterCapture);

    analysis->trigger();
    EXPECT_TRUE(MarksOf(*window, Kind::StepOutcome).empty());
    EXPECT_TRUE(MarksOf(*window, Kind::TargetOutcome).empty());
    PlayByMouse(*window, "12R");
    EXPECT_TRUE(MarksOf(*window, Kind::StepOutcome).empty());
}

TEST_F(PlayAidsWindowTest, LastStepAndTakenPieceStayMarkedUntilTheNextStep) {
    auto window = OpenWindow(0, &Solved());
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "甲", "乙");
    EXPECT_TRUE(window->Marks()->Marks().empty());
    PlayByMouse(*window, "21U");
    window->SetAnimationMilliseconds(300);
    PlayByMouse(*window, "13R");  // takes the black piece on (2, 2)

    const auto to = MarksOf(*window, Kind::LastTo);
    const auto from = MarksOf(*window, Kind::LastFrom);
    const auto taken = MarksOf(*window, Kind::Taken);
    ASSERT_EQ(to.size(), 1u);
    ASSERT_EQ(from.size(), 1u);
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(to[0].point, MakePoint(2, 3));
    EXPECT_EQ(from[0].point, MakePoint(1, 3));
    EXPECT_EQ(taken[0].point, MakePoint(2, 2));
    EXPECT_EQ(taken[0].side, Black);

    // The taken piece fades out on screen and is gone from the board at once.
    EXPECT_TRUE(window->Marks()->Leaving());
    const QImage board = window->CanvasImage();
    const QImage background = LoadRgb("res/background.png");
    EXPECT_TRUE(ShowsBackground(board, Square(2, 2), background));
    QTRY_VERIFY_WITH_TIMEOUT(!window->Marks()->Leaving(), 20000);

    // The marker lies just outside the moved piece, which shows as it is.
    const QImage screen = OnScreen(*window);
    EXPECT_TRUE(ShowsPicture(screen, Square(2, 3), LoadRgb("res/white.png")));
    EXPECT_GT(DifferentPixels(screen, board, Square(2, 3).adjusted(-5, -5, 5, 5)), 20);

    // The next step moves the marker; taking steps back shows the step before.
    PlayByMouse(*window, "12R");
    EXPECT_EQ(MarksOf(*window, Kind::LastTo)[0].point, MakePoint(2, 2));
    EXPECT_TRUE(MarksOf(*window, Kind::Taken).empty());
    window->findChild<QAction*>("actionUndo")->trigger();
    EXPECT_EQ(MarksOf(*window, Kind::LastTo)[0].point, MakePoint(2, 3));
    EXPECT_EQ(MarksOf(*window, Kind::Taken).size(), 1u);
    window->findChild<QAction*>("actionUndo")->trigger();
    window->findChild<QAction*>("actionUndo")->trigger();
    EXPECT_TRUE(window->Marks()->Marks().empty());

    // A new game starts unmarked.
    PlayByMouse(*window, "21U");
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "甲", "乙");
    EXPECT_TRUE(window->Marks()->Marks().empty());
}

TEST_F(PlayAidsWindowTest, NetworkGamesOfferNoHintAnalysisOrUndo) {
    auto window = OpenWindow(0, &Solved());
    // Analysis left on from a game on this machine.
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "甲", "乙");
    Action(*window, "actionAnalysis")->trigger();
    ASSERT_FALSE(MarksOf(*window, Kind::StepOutcome).empty());

    // An invitation accepted: this side plays white, the peer's hello and first step arrive.
    GameSession& session = window->Session();
    FakeLink link;
    session.SetNetworkLink(&link);
    session.OnInvitationAccepted(1);
    ASSERT_TRUE(session.OnHelloReceived(1, "远方", "10.0.0.2"));
    ASSERT_TRUE(session.OnMoveReceived(1, MoveRecord{2, 1, Up}));
    ASSERT_EQ(session.LocalMayMove(), true);
    EXPECT_EQ(window->StatusText(), "现在该你走棋了...");

    EXPECT_FALSE(Action(*window, "actionHint")->isEnabled());
    EXPECT_FALSE(Action(*window, "actionAnalysis")->isEnabled());
    EXPECT_FALSE(Action(*window, "actionUndo")->isEnabled());
    window->ShowHint();
    window->SetAnalysisOn(true);
    EXPECT_EQ(window->StatusText(), "现在该你走棋了...");
    EXPECT_TRUE(MarksOf(*window, Kind::StepOutcome).empty());
    EXPECT_TRUE(MarksOf(*window, Kind::HintFrom).empty());
    window->UndoStep();
    EXPECT_EQ(window->BlackHistory()->topLevelItemCount(), 1);
    // The peer's step is marked like any other.
    ASSERT_EQ(MarksOf(*window, Kind::LastTo).size(), 1u);
    EXPECT_EQ(MarksOf(*window, Kind::LastTo)[0].point, MakePoint(2, 2));
    session.SetNetworkLink(nullptr);
}

TEST_F(PlayAidsWindowTest, PerfectGameWaitsForTheTableWithTheWindowResponsive) {
    TableService pending(2);
    auto window = OpenWindow(0, &pending);
    Action(*window, "actionLevelPerfect")->trigger();
    StartFromMenu(*window, &StartGameDialog::OnePlayerRadio);
    PlayByMouse(*window, "21U");
    // The drop has returned: the computer's turn waits, nobody may move, nothing blocks.
    EXPECT_TRUE(window->Session().ComputerTurnPending());
    EXPECT_EQ(window->StatusText(), "正在等候电脑走棋，请稍后....");
    EXPECT_EQ(window->WhiteHistory()->topLevelItemCount(), 0);
    EXPECT_FALSE(Action(*window, "actionHint")->isEnabled());
    EXPECT_FALSE(Action(*window, "actionUndo")->isEnabled());

    // The window keeps serving its events: a repaint, the menu, a queued call.
    bool served = false;
    QMetaObject::invokeMethod(
        window.get(), [&] { served = true; }, Qt::QueuedConnection);
    QTRY_VERIFY_WITH_TIMEOUT(served, 20000);
    window->repaint();
    Action(*window, "actionLevelClassic")->trigger();
    EXPECT_TRUE(window->Session().ComputerTurnPending());
    EXPECT_EQ(pending.CurrentState(), TableService::State::Idle);

    // Once the table is there, the perfect player answers.
    pending.Start();
    QTRY_COMPARE_WITH_TIMEOUT(window->WhiteHistory()->topLevelItemCount(), 1, 60000);
    EXPECT_FALSE(window->Session().ComputerTurnPending());
    EXPECT_EQ(window->StatusText(), "现在该你走棋了...");
    Board afterBlack;
    ASSERT_TRUE(BoardFromText("b.bbbb.bw..wwwww", afterBlack));
    StepOutcome best;
    ASSERT_TRUE(GameAnalysis(*pending.Table()).Hint(afterBlack, White, best));
    EXPECT_EQ(window->WhiteHistory()->topLevelItem(0)->text(0),
              QString::fromStdString(Board::FormatMove(best.move)));
    EXPECT_TRUE(Action(*window, "actionHint")->isEnabled());
}

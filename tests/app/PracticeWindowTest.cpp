#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <array>

#include "BoardText.h"
#include "GameAnalysis.h"
#include "GuiFixture.h"
#include "MainDialog.h"
#include "NetworkLink.h"
#include "PuzzlePlay.h"
#include "ScoreDialog.h"
#include "StartGameDialog.h"
#include "TableService.h"

using namespace kelvara;
using State = PuzzleRound::State;

namespace {

// Hello and moves handed in by the test.

std::string Text(const Board& board) {
    return BoardToText(board);
}

// Black to move takes white's last piece but one with 22D; white mirrors it with 22D.
const char* kBlackTakes = "b.w..b.........w";
const char* kWhiteTakes = "w.b..w.........b";

class PracticeWindowTest : public GuiFixture {
  protected:
    void SetUp() override {
        GuiFixture::SetUp();
        WriteFile("set/kelvara.ini", kQuietSettings);
    }

    static void Trigger(MainDialog& window, const char* name) {
        auto* action = window.findChild<QAction*>(name);
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    static const PuzzleRound& Round(MainDialog& window) {
        const PuzzleRound* round = window.Practice()->Round();
        EXPECT_NE(round, nullptr);
        static const PuzzleRound none{Puzzle{}};
        return round != nullptr ? *round : none;
    }
    static int StepsLeft(MainDialog& window) {
        return PuzzleRound::StepsToWin(window.Session().CurrentBoard(), *Solved().Table());
    }
    // Plays the perfect step on every turn of the player until the puzzle is over.
    static void PlayToTheWin(MainDialog& window) {
        for (int turn = 0; turn < 40 && Round(window).GetState() == State::Playing; ++turn) {
            ASSERT_EQ(window.Session().Phase(), TurnPhase::LocalTurn);
            StepOutcome best;
            ASSERT_TRUE(
                GameAnalysis(*Solved().Table()).Hint(window.Session().CurrentBoard(), Black, best));
            PlayByMouse(window, best.move);
        }
        EXPECT_EQ(Round(window).GetState(), State::Solved);
    }
    static ScoreBook ScoreOnDisk() {
        ScoreBook book;
        std::string aside;
        EXPECT_EQ(book.Load(QFile::encodeName(ScoreKeeper::DefaultPath()).toStdString(), aside),
                  ScoreBook::LoadResult::Read);
        return book;
    }
    static QPushButton* AgainButton(MainDialog& window) {
        return window.EndBanner()->findChild<QPushButton*>("againButton");
    }
    static void Answer(QMessageBox::StandardButton button) {
        WhenModal([=](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) return false;
            box->button(button)->click();
            return true;
        });
    }
    static void PlayFrom(MainDialog& window, const char* position, CellCode side) {
        Board board;
        ASSERT_TRUE(BoardFromText(position, board));
        window.Session().SetUpPosition(board, side);
        PlayByMouse(window, "22D");
    }
};

}  // namespace

TEST_F(PracticeWindowTest, APuzzleSolvedAgainstThePerfectDefenceCountsAndLeadsToTheNext) {
    auto window = OpenWindow(0, &Solved());
    Trigger(*window, "actionPuzzleGrade2");
    ASSERT_EQ(Round(*window).GetState(), State::Playing);
    const Puzzle puzzle = Round(*window).GetPuzzle();
    EXPECT_EQ(Text(window->Session().CurrentBoard()), Text(puzzle.board));
    EXPECT_EQ(window->Session().SideToMove(), Black);
    EXPECT_EQ(window->ActiveLevel(), Level::Perfect);
    EXPECT_TRUE(window->MatchText().startsWith("练习：2–3 步取胜"));
    const int steps = StepsLeft(*window);
    EXPECT_TRUE(steps == 2 || steps == 3) << steps;
    EXPECT_EQ(window->StatusText(), QString("谜题：黑先，%1 步取胜").arg(steps));
    // Nothing on the board gives the answer away, nor takes a step back.
    EXPECT_FALSE(window->findChild<QAction*>("actionAnalysis")->isEnabled());

    PlayByMouse(*window, puzzle.answer);
    ASSERT_EQ(window->WhiteHistory()->topLevelItemCount(), 1);  // the computer defended
    EXPECT_EQ(window->StatusText(), QString("走得好！还需 %1 步取胜").arg(steps - 1));
    EXPECT_FALSE(window->findChild<QAction*>("actionUndo")->isEnabled());
    PlayToTheWin(*window);
    EXPECT_EQ(window->StatusText(), "谜题解开了！共解开 1 道");
    const ScoreBook score = ScoreOnDisk();
    EXPECT_EQ(score.PuzzlesSolved(), 1u);
    EXPECT_EQ(score.Games(GameKind::OnePlayer, Level::Perfect), ScoreLine{});  // not a game
    ASSERT_TRUE(window->EndBanner()->isVisible());
    EXPECT_EQ(AgainButton(*window)->text(), "下一题");

    AgainButton(*window)->click();
    EXPECT_EQ(Round(*window).GetState(), State::Playing);
    EXPECT_TRUE(window->MatchText().startsWith("练习：2–3 步取胜"));
    EXPECT_FALSE(window->EndBanner()->isVisible());

    // The day's puzzle is the one of the date.
    Trigger(*window, "actionPuzzleOfTheDay");
    const QDate today = QDate::currentDate();
    const auto day = PuzzleMaker(*Solved().Table())
                         .Make(PuzzlePlay::DayGrade(today), PuzzlePlay::DaySeed(today));
    ASSERT_TRUE(day);
    EXPECT_EQ(Text(Round(*window).GetPuzzle().board), Text(PuzzleRound::ForBlack(*day).board));
    EXPECT_TRUE(window->MatchText().startsWith("练习：今日谜题"));

    // A game of the player's own ends the puzzle.
    StartFromMenu(*window, &StartGameDialog::OnePlayerRadio);
    EXPECT_EQ(window->Practice()->Round(), nullptr);
    EXPECT_EQ(window->StatusText(), "现在该你走棋了...");
}

TEST_F(PracticeWindowTest, AStepThatLosesTheWinFailsThePuzzleAndItCanBeTriedAgain) {
    auto window = OpenWindow(0, &Solved());
    Trigger(*window, "actionPuzzleGrade1");
    const Puzzle puzzle = Round(*window).GetPuzzle();
    MoveRecord losing;
    for (const StepOutcome& step : GameAnalysis(*Solved().Table()).Analyse(puzzle.board, Black))
        if (step.value.kind() != PositionValue::Kind::Win) losing = step.move;
    ASSERT_NE(losing, MoveRecord{});
    PlayByMouse(*window, losing);
    EXPECT_EQ(Round(*window).GetState(), State::Failed);
    EXPECT_EQ(
        window->StatusText(),
        QString("谜题失败：%1 丢掉了胜局").arg(QString::fromStdString(Board::FormatMove(losing))));
    EXPECT_EQ(window->Session().Phase(), TurnPhase::Stopped);  // nobody moves on
    EXPECT_FALSE(window->ClockRunning());
    EXPECT_EQ(window->WhiteHistory()->topLevelItemCount(), 0);
    ASSERT_TRUE(window->EndBanner()->isVisible());
    EXPECT_EQ(AgainButton(*window)->text(), "再试一次");

    Trigger(*window, "actionAgain");  // the same puzzle, without a question
    EXPECT_EQ(Round(*window).GetState(), State::Playing);
    EXPECT_EQ(Text(window->Session().CurrentBoard()), Text(puzzle.board));
    EXPECT_TRUE(window->ClockRunning());
    PlayByMouse(*window, puzzle.answer);
    EXPECT_EQ(Round(*window).GetState(), State::Solved);
    EXPECT_EQ(ScoreOnDisk().PuzzlesSolved(), 1u);
}

TEST_F(PracticeWindowTest, AHintIsShownOnlyAfterAYesAndThePuzzleThenDoesNotCount) {
    auto window = OpenWindow(0, &Solved());
    Trigger(*window, "actionPuzzleGrade1");
    const QString start = window->StatusText();
    Answer(QMessageBox::No);
    Trigger(*window, "actionHint");
    EXPECT_FALSE(Round(*window).HintUsed());
    EXPECT_EQ(window->StatusText(), start);
    EXPECT_FALSE(window->Aids().HintShown());

    Answer(QMessageBox::Yes);
    Trigger(*window, "actionHint");
    EXPECT_TRUE(Round(*window).HintUsed());
    const Puzzle puzzle = Round(*window).GetPuzzle();
    EXPECT_TRUE(window->StatusText().startsWith(
        "提示：" + QString::fromStdString(Board::FormatMove(puzzle.answer))));
    Trigger(*window, "actionHint");  // asked once a puzzle
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    PlayByMouse(*window, puzzle.answer);
    EXPECT_EQ(window->StatusText(), "谜题解开了（用了提示，不计入战绩）");
    EXPECT_EQ(window->Score().Book().PuzzlesSolved(), 0u);
}

TEST_F(PracticeWindowTest, GamesAreCountedPerLevelAndKindShownAndReset) {
    auto window = OpenWindow(0, &Solved());
    // Won against 完美 and against 入门.
    for (const char* level : {"actionLevelPerfect", "actionLevelBeginner"}) {
        Trigger(*window, level);
        StartFromMenu(*window, &StartGameDialog::OnePlayerRadio);
        PlayFrom(*window, kBlackTakes, Black);
        ASSERT_EQ(window->Session().Winner(), Black) << level;
    }
    // Lost between two players (counted for black).
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "甲", "乙");
    PlayFrom(*window, kWhiteTakes, White);
    ASSERT_EQ(window->Session().Winner(), White);
    // Left under way against 经典.
    Trigger(*window, "actionLevelClassic");
    StartFromMenu(*window, &StartGameDialog::OnePlayerRadio);
    PlayByMouse(*window, "21U");
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "甲", "乙");
    // A network game whose peer leaves.
    FakeLink link;
    window->Session().SetNetworkLink(&link);
    window->Session().OnInvitationAccepted(1);
    ASSERT_TRUE(window->Session().OnHelloReceived(1, "远方", "192.0.2.1"));
    ASSERT_TRUE(window->Session().OnMoveReceived(1, MoveRecord{2, 1, Up}));
    window->Session().OnPeerLeft(1);
    window->Session().SetNetworkLink(nullptr);

    ScoreBook expected;
    expected.Games(GameKind::OnePlayer, Level::Perfect).wins = 1;
    expected.Games(GameKind::OnePlayer, Level::Beginner).wins = 1;
    expected.Games(GameKind::TwoPlayers).losses = 1;
    expected.Games(GameKind::OnePlayer, Level::Classic).unfinished = 1;
    expected.Games(GameKind::Network).unfinished = 1;
    EXPECT_EQ(ScoreOnDisk(), expected);

    bool shown = false;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<ScoreDialog*>(modal);
        if (dialog == nullptr) return false;
        shown = true;
        const char* figures[6][3] = {{"1", "0", "0"}, {"0", "0", "1"}, {"0", "0", "0"},
                                     {"1", "0", "0"}, {"0", "1", "0"}, {"0", "0", "1"}};
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 3; ++c) EXPECT_EQ(dialog->Figure(r, c), figures[r][c]) << r << c;
        EXPECT_EQ(dialog->PuzzlesText(), "解开的谜题：0 道");
        Answer(QMessageBox::No);
        dialog->ResetButton()->click();
        EXPECT_EQ(dialog->Figure(0, 0), "1");
        Answer(QMessageBox::Yes);
        dialog->ResetButton()->click();
        EXPECT_EQ(dialog->Figure(0, 0), "0");
        EXPECT_EQ(dialog->Figure(5, 2), "0");
        dialog->accept();
        return true;
    });
    Trigger(*window, "actionScore");
    EXPECT_TRUE(shown);
    EXPECT_EQ(ScoreOnDisk(), ScoreBook{});

    // The window closed with a game under way counts it as unfinished, and nothing else.
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "甲", "乙");
    PlayByMouse(*window, "21U");
    window.reset();
    expected = ScoreBook();
    expected.Games(GameKind::TwoPlayers).unfinished = 1;
    EXPECT_EQ(ScoreOnDisk(), expected);
}

TEST_F(PracticeWindowTest, AnUnreadableScoreIsSetAsideWithOneNotice) {
    const QString path = ScoreKeeper::DefaultPath();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("kelvara-score 1\ntwo 1 2\n");
    }
    SeenBox seen;
    CloseNextMessageBox(&seen);
    auto window = OpenWindow(0, &Solved());
    QTRY_VERIFY_WITH_TIMEOUT(seen.shown, 20000);
    EXPECT_TRUE(seen.text.contains(path + ".bad")) << seen.text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));
    QFile aside(path + ".bad");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), "kelvara-score 1\ntwo 1 2\n");

    // Counting goes on in a fresh file, and the next window has nothing to say.
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "甲", "乙");
    PlayFrom(*window, kBlackTakes, Black);
    EXPECT_EQ(ScoreOnDisk().Games(GameKind::TwoPlayers).wins, 1u);
    window.reset();
    auto again = OpenWindow(0, &Solved());
    QTest::qWait(50);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(again->Score().Book().Games(GameKind::TwoPlayers).wins, 1u);
}

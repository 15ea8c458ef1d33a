#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindowStateChangeEvent>
#include <optional>
#include <vector>

#include "BoardCanvas.h"
#include "BoardText.h"
#include "GuiFixture.h"
#include "MainDialog.h"
#include "StartGameDialog.h"

using namespace kelvara;

namespace {

// The start dialog's radio button of a kind of game.

class GamePlayTest : public GuiFixture {
  protected:
    void SetUp() override {
        GuiFixture::SetUp();
        background_ = LoadRgb("res/background.png");
        black_ = LoadRgb("res/black.png");
        white_ = LoadRgb("res/white.png");
    }

    // Every point shows its piece, or the background when it is empty.
    void ExpectCanvasShowsBoard(MainDialog& window) {
        const QImage& canvas = window.CanvasImage();
        for (int i = 1; i <= 4; ++i) {
            for (int j = 1; j <= 4; ++j) {
                const int code = window.Session().CurrentBoard().Code(i, j);
                const QRect square = Square(i, j);
                if (code == Black)
                    EXPECT_TRUE(ShowsPicture(canvas, square, black_)) << i << j << " black";
                else if (code == White)
                    EXPECT_TRUE(ShowsPicture(canvas, square, white_)) << i << j << " white";
                else
                    EXPECT_TRUE(ShowsBackground(canvas, square, background_)) << i << j;
            }
        }
    }

    static QStringList History(QTreeWidget* list) {
        QStringList items;
        for (int i = 0; i < list->topLevelItemCount(); ++i) items << list->topLevelItem(i)->text(0);
        return items;
    }

    static QPoint CursorHotSpot(QWidget* canvas) { return canvas->cursor().hotSpot(); }
    static bool ShowsHand(QWidget* canvas, QRgb fill) {
        return canvas->testAttribute(Qt::WA_SetCursor) &&
               canvas->cursor().pixmap().toImage().pixel(7, 5) == fill;
    }

    QImage background_, black_, white_;
};

// White's pieces, the first legal black step in scan order: a simple, deterministic player.
std::optional<MoveRecord> FirstBlackStep(const Board& board) {
    const StepList steps = board.LegalSteps(Black);
    if (steps.empty()) return std::nullopt;
    return steps[0];
}

// A computer that answers from a list and then has no move.
class ScriptedComputer : public MoveChooser {
  public:
    explicit ScriptedComputer(std::vector<MoveRecord> moves) : moves_(std::move(moves)) {}
    std::optional<MoveRecord> ChooseMove(const Board&) override {
        if (next_ >= moves_.size()) return std::nullopt;
        return moves_[next_++];
    }

  private:
    std::vector<MoveRecord> moves_;
    std::size_t next_ = 0;
};

// Counts the mouse presses that reach a widget.
class PressCounter : public QObject {
  public:
    int presses = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) ++presses;
        return false;
    }
};

}  // namespace

TEST_F(GamePlayTest, TwoPlayerGameWithTheMouseToTheEnd) {
    auto window = OpenWindow(2);
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
    EXPECT_EQ(window->MatchText(), "战局：   张三(黑)   VS   李四(白)");
    EXPECT_EQ(window->StatusText(), "现在是 张三(黑)  走棋...");
    EXPECT_EQ(window->ClockText(), " 0: 0: 0");
    EXPECT_TRUE(window->ClockRunning());
    ExpectCanvasShowsBoard(*window);
    QWidget* canvas = window->Canvas();
    EXPECT_TRUE(ShowsHand(canvas, qRgb(0, 0, 0)));
    EXPECT_EQ(CursorHotSpot(canvas), QPoint(6, 0));

    // The clock counts whole seconds.
    QElapsedTimer waited;
    waited.start();
    while (window->ClockText() == " 0: 0: 0" && waited.elapsed() < 5000) QTest::qWait(50);
    EXPECT_EQ(window->ClockText(), " 0: 0: 1");

    // Mid-drag the piece has left its point and follows the pointer, centred on it.
    QTest::mousePress(canvas, Qt::LeftButton, {}, Centre(1, 2));
    QTest::mouseMove(canvas, QPoint(60, 250));
    EXPECT_TRUE(ShowsBackground(window->CanvasImage(), Square(1, 2), background_));
    EXPECT_TRUE(ShowsPicture(window->CanvasImage(), QRect(50, 240, 20, 20), black_));
    QTest::mouseMove(canvas, Centre(2, 2));
    EXPECT_TRUE(ShowsBackground(window->CanvasImage(), QRect(50, 240, 20, 20), background_));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, Centre(2, 2));
    EXPECT_EQ(History(window->BlackHistory()), QStringList{"12R"});
    EXPECT_EQ(window->StatusText(), "现在是 李四(白)  走棋...");
    EXPECT_TRUE(ShowsHand(canvas, qRgb(255, 255, 255)));
    ExpectCanvasShowsBoard(*window);

    // The shortest game in which white takes four black pieces.
    const char* rest[] = {"13D", "31U", "14D", "21L", "43L", "42U", "13R", "41U", "23L"};
    QStringList blackMoves{"12R"}, whiteMoves;
    bool whiteToMove = true;
    for (const char* text : rest) {
        MoveRecord move;
        ASSERT_TRUE(ParseMoveText(text, move));
        PlayByMouse(*window, move);
        (whiteToMove ? whiteMoves : blackMoves) << text;
        EXPECT_EQ(History(window->BlackHistory()), blackMoves);
        EXPECT_EQ(History(window->WhiteHistory()), whiteMoves);
        ExpectCanvasShowsBoard(*window);
        if (window->Session().GameRunning()) {
            EXPECT_EQ(window->StatusText(),
                      whiteToMove ? "现在是 张三(黑)  走棋..." : "现在是 李四(白)  走棋...");
        }
        whiteToMove = !whiteToMove;
    }
    EXPECT_EQ(window->StatusText(), "游戏结束，白棋(李四)胜!!");
    EXPECT_LE(window->Session().CurrentBoard().blackPieces, 1);
    EXPECT_EQ(window->Session().CurrentBoard().CountPieces(Black),
              window->Session().CurrentBoard().blackPieces);
    EXPECT_FALSE(window->ClockRunning());
    EXPECT_FALSE(canvas->testAttribute(Qt::WA_SetCursor));
    const QString frozen = window->ClockText();

    // Nothing can be picked up any more.
    const QImage before = window->CanvasImage();
    Drag(*window, Centre(1, 4), Centre(1, 3));
    EXPECT_EQ(window->CanvasImage(), before);
    EXPECT_EQ(window->ClockText(), frozen);
    EXPECT_EQ(window->WhiteHistory()->topLevelItemCount(), 5);
}

TEST_F(GamePlayTest, DropsThatAreNotMovesPutThePieceBack) {
    auto window = OpenWindow(2);
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "甲", "乙");
    QWidget* canvas = window->Canvas();
    const QImage start = window->CanvasImage();

    // A press on the opponent's piece, on an empty point or between points starts no drag.
    for (QPoint p : {Centre(1, 3), Centre(2, 2), QPoint(60, 380)}) {
        QTest::mousePress(canvas, Qt::LeftButton, {}, p);
        QTest::mouseMove(canvas, QPoint(200, 240));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(200, 240));
        EXPECT_EQ(window->CanvasImage(), start);
    }
    // Same point, two points away, diagonal, occupied, between points: back where it was.
    Drag(*window, Centre(1, 2), Centre(1, 2));
    Drag(*window, Centre(1, 2), Centre(3, 2));
    Drag(*window, Centre(1, 1), Centre(2, 2));
    Drag(*window, Centre(1, 1), Centre(2, 1));
    Drag(*window, Centre(4, 2), QPoint(300, 330));
    EXPECT_EQ(window->CanvasImage(), start);
    EXPECT_EQ(window->BlackHistory()->topLevelItemCount(), 0);
    EXPECT_EQ(window->StatusText(), "现在是 甲(黑)  走棋...");

    // Past x = 400 the picture stays where it was last drawn; the release erases it.
    QTest::mousePress(canvas, Qt::LeftButton, {}, Centre(1, 2));
    QTest::mouseMove(canvas, QPoint(200, 250));
    QTest::mouseMove(canvas, QPoint(450, 250));
    EXPECT_TRUE(ShowsPicture(window->CanvasImage(), QRect(190, 240, 20, 20), black_));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(450, 250));
    EXPECT_EQ(window->CanvasImage(), start);

    // A release that never arrives: the pointer comes back with the button up.
    QTest::mousePress(canvas, Qt::LeftButton, {}, Centre(1, 2));
    QTest::mouseMove(canvas, QPoint(200, 250));
    QMouseEvent back(QEvent::MouseMove, QPointF(210, 260), canvas->mapToGlobal(QPointF(210, 260)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &back);
    EXPECT_FALSE(window->DragControl().Dragging());
    EXPECT_EQ(window->CanvasImage(), start);

    // ... or the next press comes first: the lifted piece goes back, the new one is taken.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(Centre(1, 2)),
                      canvas->mapToGlobal(QPointF(Centre(1, 2))), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    QTest::mouseMove(canvas, QPoint(200, 250));
    QMouseEvent again(QEvent::MouseButtonPress, QPointF(Centre(4, 2)),
                      canvas->mapToGlobal(QPointF(Centre(4, 2))), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(canvas, &again);
    EXPECT_EQ(window->CanvasImage(), start);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, Centre(3, 2));
    EXPECT_EQ(History(window->BlackHistory()), QStringList{"42L"});
    ExpectCanvasShowsBoard(*window);
}

TEST_F(GamePlayTest, GameAgainstTheComputerToTheEnd) {
    auto window = OpenWindow(2);
    StartFromMenu(*window, &StartGameDialog::OnePlayerRadio);
    // The start dialog's default selection is the first name of the sorted list.
    EXPECT_EQ(window->MatchText(), "战局：   李四(黑)   VS   电脑(白)");
    EXPECT_EQ(window->StatusText(), "现在该你走棋了...");

    int moves = 0;
    while (window->Session().GameRunning() && moves < 60) {
        const std::optional<MoveRecord> step = FirstBlackStep(window->Session().CurrentBoard());
        ASSERT_TRUE(step.has_value()) << "black has no step after " << moves << " moves";
        PlayByMouse(*window, *step);
        ++moves;
        EXPECT_EQ(window->BlackHistory()->topLevelItemCount(), moves);
        ExpectCanvasShowsBoard(*window);
        if (window->Session().GameRunning()) {
            // The computer has answered once its step has slid.
            EXPECT_EQ(window->WhiteHistory()->topLevelItemCount(), moves);
            EXPECT_EQ(window->StatusText(), "现在该你走棋了...");
            EXPECT_TRUE(ShowsHand(window->Canvas(), qRgb(0, 0, 0)));
        }
    }
    ASSERT_FALSE(window->Session().GameRunning()) << "no end after " << moves << " moves";
    const Board& board = window->Session().CurrentBoard();
    if (board.blackPieces <= 1)
        EXPECT_EQ(window->StatusText(), "游戏结束，你输了 :(");
    else
        EXPECT_EQ(window->StatusText(), "游戏结束，恭喜你，你赢了!!");
    EXPECT_FALSE(window->ClockRunning());

    // Restored from the task bar after the end: the board shows no pieces any more.
    QWindowStateChangeEvent restored(Qt::WindowMinimized);
    QApplication::sendEvent(window.get(), &restored);
    for (int column = 1; column <= 4; ++column)
        for (int row = 1; row <= 4; ++row)
            EXPECT_TRUE(ShowsBackground(window->CanvasImage(), Square(column, row), background_))
                << column << "," << row;
}

TEST_F(GamePlayTest, RestoringDuringAGameRedrawsThePieces) {
    auto window = OpenWindow(2);
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio);
    PlayByMouse(*window, MoveRecord{2, 1, Up});
    QWindowStateChangeEvent restored(Qt::WindowMinimized);
    QApplication::sendEvent(window.get(), &restored);
    ExpectCanvasShowsBoard(*window);
    EXPECT_TRUE(ShowsPicture(window->CanvasImage(), Square(2, 2), black_));
}

TEST_F(GamePlayTest, ComputerStepIsAnimatedWhileInputIsDropped) {
    auto window = OpenWindow(2);
    // White's (1, 3) steps down after black's 12R, then the computer has no move.
    ScriptedComputer computer({MoveRecord{1, 3, Down}});
    window->SetMoveChooser(&computer);
    window->SetAnimationMilliseconds(150);
    StartFromMenu(*window, &StartGameDialog::OnePlayerRadio, "玩家");

    PressCounter counter;
    QWidget* canvas = window->Canvas();
    canvas->installEventFilter(&counter);
    QTimer::singleShot(40, canvas,
                       [canvas] { QTest::mouseClick(canvas, Qt::LeftButton, {}, Centre(1, 1)); });
    QElapsedTimer elapsed;
    elapsed.start();
    Drag(*window, Centre(1, 2), Centre(2, 2));
    EXPECT_GE(elapsed.elapsed(), 150);
    EXPECT_EQ(counter.presses, 1);  // only the drag's own press reached the canvas
    EXPECT_EQ(History(window->WhiteHistory()), QStringList{"13D"});
    EXPECT_TRUE(ShowsPicture(window->CanvasImage(), Square(1, 2), white_));
    EXPECT_TRUE(ShowsBackground(window->CanvasImage(), Square(1, 3), background_));
    EXPECT_EQ(window->StatusText(), "现在该你走棋了...");

    // After the animation input is handled again; the computer now has no move.
    window->SetAnimationMilliseconds(0);
    Drag(*window, Centre(2, 2), Centre(2, 3));
    EXPECT_EQ(counter.presses, 2);
    EXPECT_EQ(window->StatusText(), "游戏结束，恭喜你，你赢了!!");
    EXPECT_FALSE(window->ClockRunning());
}

TEST_F(GamePlayTest, StopCancelAndRestart) {
    auto window = OpenWindow(2);
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "甲", "乙");
    Drag(*window, Centre(1, 2), Centre(2, 2));
    window->findChild<QAction*>("actionStop")->trigger();
    EXPECT_EQ(window->StatusText(), "现在是 乙(白)  走棋...");
    EXPECT_TRUE(window->ClockRunning());
    EXPECT_FALSE(window->Canvas()->testAttribute(Qt::WA_SetCursor));
    const QImage stopped = window->CanvasImage();
    Drag(*window, Centre(1, 3), Centre(1, 2));
    EXPECT_EQ(window->CanvasImage(), stopped);
    EXPECT_EQ(window->WhiteHistory()->topLevelItemCount(), 0);

    // A cancelled start dialog changes nothing.
    WhenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<StartGameDialog*>(modal);
        if (dialog == nullptr) return false;
        dialog->CancelButton()->click();
        return true;
    });
    window->findChild<QAction*>("actionStart")->trigger();
    EXPECT_EQ(window->BlackHistory()->topLevelItemCount(), 1);
    EXPECT_EQ(window->CanvasImage(), stopped);

    // Without an address book no game can start; the stopped one stays as it is.
    RemoveFile("set/player.information");
    SeenBox box;
    CloseNextMessageBox(&box);
    window->findChild<QAction*>("actionStart")->trigger();
    EXPECT_EQ(box.text, "找不到玩家信息文件！");
    EXPECT_EQ(window->BlackHistory()->topLevelItemCount(), 1);

    // A new start begins afresh.
    WriteFile("set/player.information", "playercount=0\n");
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "丙", "丁");
    EXPECT_EQ(window->BlackHistory()->topLevelItemCount(), 0);
    EXPECT_EQ(window->ClockText(), " 0: 0: 0");
    EXPECT_EQ(window->MatchText(), "战局：   丙(黑)   VS   丁(白)");
    ExpectCanvasShowsBoard(*window);
    EXPECT_EQ(window->Session().CurrentBoard().Code(1, 2), Black);
}

TEST_F(GamePlayTest, TheComputersStepSlidesBetweenThePointsThenStandsOnItsTarget) {
    auto window = OpenWindow(2);
    ScriptedComputer computer({MoveRecord{1, 3, Down}});
    window->SetMoveChooser(&computer);
    window->SetAnimationMilliseconds(400);
    StartFromMenu(*window, &StartGameDialog::OnePlayerRadio, "玩家");
    QWidget* canvas = window->Canvas();
    QTest::mousePress(canvas, Qt::LeftButton, {}, Centre(1, 2));
    QTest::mouseMove(canvas, Centre(2, 2));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, Centre(2, 2));
    // Under way: neither on its origin nor on its target, and nobody may move.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QImage scene = window->CanvasImage();
            return ShowsBackground(scene, Square(1, 3), background_) &&
                   ShowsBackground(scene, Square(1, 2), background_);
        },
        10000));
    EXPECT_EQ(window->Session().Phase(), TurnPhase::Animating);
    EXPECT_FALSE(window->findChild<QAction*>("actionUndo")->isEnabled());
    EXPECT_EQ(window->Session().History().size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->Session().LocalMayMove(); }, 10000));
    EXPECT_TRUE(ShowsPicture(window->CanvasImage(), Square(1, 2), white_));
    EXPECT_EQ(window->Session().History().size(), 2u);
    EXPECT_TRUE(ShowsHand(canvas, qRgb(0, 0, 0)));
}

TEST_F(GamePlayTest, ADragKeepsWhatItPassesOverAndAnUndoPutsTheLiftedPieceBack) {
    auto window = OpenWindow(2);
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "甲", "乙");
    QWidget* canvas = window->Canvas();
    // Over the black piece on (3, 1) and off it again: that piece shows, the lifted one not.
    QTest::mousePress(canvas, Qt::LeftButton, {}, Centre(2, 1));
    QTest::mouseMove(canvas, Centre(3, 1));
    QTest::mouseMove(canvas, QPoint(Centre(3, 1).x(), 300));
    EXPECT_TRUE(ShowsPicture(window->CanvasImage(), Square(3, 1), black_));
    EXPECT_TRUE(ShowsBackground(window->CanvasImage(), Square(2, 1), background_));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(Centre(3, 1).x(), 300));
    ExpectCanvasShowsBoard(*window);

    // An undo while a white piece is lifted: the piece goes back and the release plays nothing.
    PlayByMouse(*window, {2, 1, Up});
    QTest::mousePress(canvas, Qt::LeftButton, {}, Centre(1, 3));
    QTest::mouseMove(canvas, QPoint(150, 300));
    window->findChild<QAction*>("actionUndo")->trigger();
    EXPECT_FALSE(window->DragControl().Dragging());
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, Centre(2, 3));
    EXPECT_TRUE(History(window->WhiteHistory()).isEmpty());
    EXPECT_EQ(BoardToText(window->Session().CurrentBoard()), "bbbbb..bw..wwwww");
    ExpectCanvasShowsBoard(*window);
}

TEST_F(GamePlayTest, UndoAndRedoFromTheKeyboardAndTheMenu) {
    auto window = OpenWindow(2);
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "甲", "乙");
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* undo = window->findChild<QAction*>("actionUndo");
    auto* redo = window->findChild<QAction*>("actionRedo");
    ASSERT_NE(undo, nullptr);
    ASSERT_NE(redo, nullptr);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());

    // 21U, then white's 13R takes the black piece on (2, 2).
    PlayByMouse(*window, {2, 1, Up});
    PlayByMouse(*window, {1, 3, Right});
    ASSERT_EQ(History(window->WhiteHistory()), QStringList{"13R"});
    EXPECT_TRUE(undo->isEnabled());

    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(History(window->WhiteHistory()).isEmpty());
    EXPECT_EQ(History(window->BlackHistory()), QStringList{"21U"});
    EXPECT_EQ(window->Session().CurrentBoard().Code(2, 2), Black);
    EXPECT_EQ(window->StatusText(), "现在是 乙(白)  走棋...");
    EXPECT_TRUE(redo->isEnabled());
    ExpectCanvasShowsBoard(*window);

    undo->trigger();
    EXPECT_TRUE(History(window->BlackHistory()).isEmpty());
    EXPECT_EQ(BoardToText(window->Session().CurrentBoard()), "bbbbb..bw..wwwww");
    EXPECT_FALSE(undo->isEnabled());
    ExpectCanvasShowsBoard(*window);
    EXPECT_TRUE(ShowsHand(window->Canvas(), qRgb(0, 0, 0)));

    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    redo->trigger();
    EXPECT_EQ(History(window->BlackHistory()), QStringList{"21U"});
    EXPECT_EQ(History(window->WhiteHistory()), QStringList{"13R"});
    EXPECT_EQ(window->Session().CurrentBoard().Code(2, 2), Empty);
    EXPECT_FALSE(redo->isEnabled());
    ExpectCanvasShowsBoard(*window);
}

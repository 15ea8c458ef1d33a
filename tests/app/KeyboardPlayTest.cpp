#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTreeWidget>

#include "Board.h"
#include "BoardCanvas.h"
#include "BoardText.h"
#include "GuiFixture.h"
#include "MainDialog.h"
#include "StartGameDialog.h"

using namespace kelvara;

namespace {

class KeyboardPlayTest : public GuiFixture {
  protected:
    static void Key(MainDialog& window, Qt::Key key, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&window, &press);
    }
    static void Arrows(MainDialog& window, int dx, int dy) {
        for (; dx > 0; --dx) Key(window, Qt::Key_Right);
        for (; dx < 0; ++dx) Key(window, Qt::Key_Left);
        for (; dy > 0; --dy) Key(window, Qt::Key_Up);
        for (; dy < 0; ++dy) Key(window, Qt::Key_Down);
    }
    // Walks the ring to the piece, lifts it, turns to the neighbour and drops it there.
    static void PlayWithRing(MainDialog& window, const MoveRecord& move) {
        const BoardPoint at = window.Keyboard().Focus();
        Arrows(window, move.fromX - PointX(at), move.fromY - PointY(at));
        Key(window, Qt::Key_Space, " ");
        ASSERT_EQ(window.Keyboard().Lifted(), MakePoint(move.fromX, move.fromY));
        int toX = 0, toY = 0;
        ASSERT_TRUE(StepTarget(move.fromX, move.fromY, move.direction, toX, toY));
        Arrows(window, toX - move.fromX, toY - move.fromY);
        Key(window, Qt::Key_Return);
    }
    static void Type(MainDialog& window, const char* text) {
        for (const char* c = text; *c != '\0'; ++c)
            Key(window, Qt::Key_unknown, QString(QChar::fromLatin1(*c)));
        Key(window, Qt::Key_Enter);
    }
    static bool SlideOver(MainDialog& window) {
        return QTest::qWaitFor([&] { return window.Session().Phase() != TurnPhase::Animating; },
                               20000);
    }
};

}  // namespace

TEST_F(KeyboardPlayTest, ATwoPlayerGameToItsEndByRingAndByTypedMoves) {
    auto window = OpenWindow(2);
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
    const QImage untouched = window->Canvas()->grab().toImage();
    EXPECT_FALSE(window->Keyboard().Shown());
    Key(*window, Qt::Key_Left);  // the first arrow only shows the ring
    EXPECT_TRUE(window->Keyboard().Shown());
    EXPECT_EQ(window->Keyboard().Focus(), MakePoint(1, 1));
    EXPECT_NE(window->Canvas()->grab().toImage(), untouched);

    // The shortest game in which white takes four black pieces, moves by the ring and typed
    // in turn; the board follows a board that plays the same steps.
    const char* game[] = {"12R", "13D", "31U", "14d", "21L", "43l", "42U", "13R", "41U", "23L"};
    Board expected = window->Session().CurrentBoard();
    CellCode side = Black;
    for (std::size_t k = 0; k < std::size(game); ++k) {
        MoveRecord move;
        ASSERT_TRUE(ParseMoveText(game[k], move));
        if (k % 2 == 0)
            PlayWithRing(*window, move);
        else
            Type(*window, game[k]);
        ASSERT_TRUE(SlideOver(*window)) << game[k];
        expected.ApplyMove(side, move);
        EXPECT_EQ(BoardToText(window->Session().CurrentBoard()), BoardToText(expected)) << game[k];
        side = Enemy(side);
        ASSERT_TRUE(window->isVisible());  // Enter and Space never close it mid-game
    }
    EXPECT_EQ(window->WhiteHistory()->topLevelItemCount(), 5);
    EXPECT_EQ(window->StatusText(), "游戏结束，白棋(李四)胜!!");
}

TEST_F(KeyboardPlayTest, EscapeWrongDropsAndBadTypingLeaveTheBoardAlone) {
    auto window = OpenWindow(2);
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
    const std::string start = BoardToText(window->Session().CurrentBoard());
    Key(*window, Qt::Key_Up);
    Arrows(*window, 0, 1);  // (1, 2): a black piece
    Key(*window, Qt::Key_Space, " ");
    ASSERT_EQ(window->Keyboard().Lifted(), MakePoint(1, 2));
    Key(*window, Qt::Key_Escape);  // put back, the ring on it again, the window open
    EXPECT_EQ(window->Keyboard().Lifted(), 0);
    EXPECT_EQ(window->Keyboard().Focus(), MakePoint(1, 2));
    EXPECT_TRUE(window->isVisible());

    Key(*window, Qt::Key_Space, " ");
    Arrows(*window, 0, -1);  // onto the black piece below: no step
    Key(*window, Qt::Key_Space, " ");
    EXPECT_EQ(window->Keyboard().Lifted(), 0);
    Arrows(*window, 0, 1);  // the ring moves over the white piece: white may not move now
    Arrows(*window, 0, 1);
    Key(*window, Qt::Key_Space, " ");
    EXPECT_EQ(window->Keyboard().Lifted(), 0);

    for (const char* typed : {"13D", "12X", "5"}) Type(*window, typed);  // white's, bad, short
    EXPECT_EQ(BoardToText(window->Session().CurrentBoard()), start);
    EXPECT_EQ(window->BlackHistory()->topLevelItemCount(), 0);
}

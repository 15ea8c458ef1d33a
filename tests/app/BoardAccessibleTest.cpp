#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include "BoardAccessible.h"
#include "GuiFixture.h"
#include "MainDialog.h"
#include "StartGameDialog.h"

using namespace kelvara;

namespace {

class BoardAccessibleTest : public GuiFixture {};

}  // namespace

// The offscreen platform has no accessibility bridge, so events are not delivered here; what a
// screen reader reads on them (names, states, the focus, the board's last word) is checked.
TEST_F(BoardAccessibleTest, TheBoardIsATableOfNamedPointsThatFollowsTheRingAndTheSteps) {
    auto window = OpenWindow(2);
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(window->BoardArea());
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->role(), QAccessible::Table);
    ASSERT_EQ(board->childCount(), 16);
    QAccessibleTableInterface* table = board->tableInterface();
    ASSERT_NE(table, nullptr);
    // Top row first: row 3 of the table is the board's row 1.
    EXPECT_EQ(table->cellAt(3, 1)->text(QAccessible::Name), "第 2 列 第 1 行，黑棋");
    EXPECT_EQ(table->cellAt(0, 3)->text(QAccessible::Name), "第 4 列 第 4 行，白棋");
    EXPECT_EQ(table->cellAt(2, 1)->text(QAccessible::Name), "第 2 列 第 2 行，空");
    EXPECT_EQ(board->indexOfChild(table->cellAt(2, 1)), 9);
    EXPECT_EQ(table->cellAt(2, 1)->tableCellInterface()->rowIndex(), 2);
    EXPECT_EQ(board->focusChild(), nullptr);  // no ring yet

    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &up);  // shows the ring on (1, 1)
    QApplication::sendEvent(window.get(), &up);  // (1, 2)
    ASSERT_NE(board->focusChild(), nullptr);
    EXPECT_EQ(board->focusChild(), table->cellAt(2, 0));
    EXPECT_TRUE(board->focusChild()->state().focused);
    EXPECT_FALSE(table->cellAt(3, 0)->state().focused);

    PlayByMouse(*window, "12R");  // a step of anyone is said on the board
    EXPECT_EQ(board->text(QAccessible::Description), "黑棋走 12R");
    EXPECT_EQ(table->cellAt(2, 1)->text(QAccessible::Name), "第 2 列 第 2 行，黑棋");
    QAccessibleInterface* status = QAccessible::queryAccessibleInterface(window->StatusLabel());
    EXPECT_EQ(status->text(QAccessible::Name), "现在是 李四(白)  走棋...");
    const QRect cell = table->cellAt(2, 1)->rect();
    EXPECT_EQ(board->childAt(cell.center().x(), cell.center().y()), table->cellAt(2, 1));
}

// Over AT-SPI every focus event is spoken afresh, so the ring tells only when it moves or what
// it reads changes; a held piece is part of what it reads.
TEST_F(BoardAccessibleTest, TheRingTellsOnlyWhatChangedAndNamesAHeldPiece) {
    auto window = OpenWindow(2);
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
    QWidget* area = window->BoardArea();
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(area);
    const auto press = [&](Qt::Key key, const QString& text = {}) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(window.get(), &event);
    };
    press(Qt::Key_Up);      // the ring appears on (1, 1) and is told
    press(Qt::Key_1, "1");  // typed: the ring stays where it is
    EXPECT_FALSE(BoardAccessible::FocusMoved(area, MakePoint(1, 1)));
    EXPECT_TRUE(BoardAccessible::FocusMoved(area, MakePoint(2, 1)));
    EXPECT_TRUE(BoardAccessible::FocusMoved(area, MakePoint(1, 1)));
    press(Qt::Key_Escape);  // the typing is dropped
    press(Qt::Key_Up);      // (1, 2)
    press(Qt::Key_Space);   // lifted
    ASSERT_NE(board->focusChild(), nullptr);
    EXPECT_EQ(board->focusChild()->text(QAccessible::Name), "第 1 列 第 2 行，黑棋，已拿起");
    EXPECT_FALSE(BoardAccessible::FocusMoved(area, MakePoint(1, 2)));
    press(Qt::Key_Escape);  // put back: the words change again
    EXPECT_EQ(board->focusChild()->text(QAccessible::Name), "第 1 列 第 2 行，黑棋");
    EXPECT_FALSE(BoardAccessible::FocusMoved(area, MakePoint(1, 2)));
    press(Qt::Key_Space);
    press(Qt::Key_Right);  // onto (2, 2), the piece still held at (1, 2)
    EXPECT_EQ(board->tableInterface()->cellAt(2, 0)->text(QAccessible::Name),
              "第 1 列 第 2 行，黑棋，已拿起");
    press(Qt::Key_Space);  // dropped: the ring's point now holds the piece, and says so
    EXPECT_EQ(board->text(QAccessible::Description), "黑棋走 12R");
    EXPECT_FALSE(BoardAccessible::FocusMoved(area, MakePoint(2, 2)));
}

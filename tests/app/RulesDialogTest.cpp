#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

#include "Board.h"
#include "BoardDiagram.h"
#include "BoardText.h"
#include "GuiFixture.h"
#include "MainDialog.h"
#include "RulesDialog.h"
#include "ScenePicture.h"
#include "StartGameDialog.h"

using namespace kelvara;

namespace {

class RulesDialogTest : public GuiFixture {
  protected:
    static RulesDialog* OpenRules(MainDialog& window) {
        window.findChild<QAction*>("actionRules")->trigger();
        auto* rules = window.findChild<RulesDialog*>();
        EXPECT_NE(rules, nullptr);
        return rules;
    }
    static const BoardDiagram* Diagram(const RulesDialog& rules, const char* name) {
        auto* diagram = rules.findChild<BoardDiagram*>(name);
        EXPECT_NE(diagram, nullptr) << name;
        return diagram;
    }
    static QString Caption(const RulesDialog& rules, const char* name) {
        auto* label = rules.findChild<QLabel*>(QString::fromLatin1(name) + "Caption");
        return label != nullptr ? label->text() : QString();
    }
    // What the diagram shows on each point, read from its pixels at `scale`: 'b', 'w' or '.',
    // in the board text's order.
    static std::string ShownPosition(const BoardDiagram& diagram, double scale) {
        const QImage image = diagram.Render(scale, false);
        const ScenePicture black("res/black.png", {20, 20}, ScenePicture::Fit::Stretch);
        const ScenePicture white("res/white.png", {20, 20}, ScenePicture::Fit::Stretch);
        std::string text;
        for (int j = 1; j <= 4; ++j) {
            for (int i = 1; i <= 4; ++i) {
                const QRect square = BoardDiagram::PieceRect(i, j, scale).toAlignedRect();
                const bool b = ShowsPicture(image, square, black.At(scale));
                const bool w = ShowsPicture(image, square, white.At(scale));
                text += b && !w ? 'b' : w && !b ? 'w' : !b && !w ? '.' : '?';
            }
        }
        return text;
    }
};

}  // namespace

TEST_F(RulesDialogTest, OpensByF1AndFromTheMenuBesideAGameItLeavesAlone) {
    auto window = OpenWindow();
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
    PlayByMouse(*window, "12R");
    const std::string position = BoardToText(window->Session().CurrentBoard());
    const QString status = window->StatusText();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    QTest::keyClick(window.get(), Qt::Key_F1);
    auto* rules = window->findChild<RulesDialog*>();
    ASSERT_NE(rules, nullptr);
    EXPECT_TRUE(rules->isVisible());
    EXPECT_FALSE(rules->isModal());
    EXPECT_EQ(rules->windowTitle(), "游戏规则");
    ASSERT_TRUE(QTest::qWaitForWindowActive(rules));
    // Enter and Escape in the page never reach the game; Escape closes the page alone.
    QTest::keyClick(rules, Qt::Key_Return);
    QTest::keyClick(rules, Qt::Key_Escape);
    EXPECT_FALSE(rules->isVisible());
    EXPECT_TRUE(window->isVisible());

    EXPECT_EQ(OpenRules(*window), rules);  // the same page again, from the menu
    EXPECT_TRUE(rules->isVisible());
    // The game goes on beside the open page.
    EXPECT_EQ(BoardToText(window->Session().CurrentBoard()), position);
    EXPECT_EQ(window->StatusText(), status);
    PlayByMouse(*window, "13D");
    EXPECT_EQ(window->WhiteHistory()->topLevelItemCount(), 1);
}

TEST_F(RulesDialogTest, DiagramsShowTheRulesPositionsSharpAtOneAndTwoTimes) {
    auto window = OpenWindow();
    const RulesDialog* rules = OpenRules(*window);
    const BoardDiagram* before = Diagram(*rules, "captureBefore");
    const BoardDiagram* after = Diagram(*rules, "captureAfter");
    const BoardDiagram* walled = Diagram(*rules, "walledIn");
    const BoardDiagram* start = Diagram(*rules, "startDiagram");
    ASSERT_TRUE(before && after && walled && start);

    // The step named under the diagrams, played by the rules on the position before it,
    // gives the position drawn after it; and it does take a piece.
    const QString caption = Caption(*rules, "captureBefore");
    MoveRecord step;
    ASSERT_TRUE(ParseMoveText(RulesDialog::kCaptureStep, step));
    EXPECT_TRUE(caption.contains(RulesDialog::kCaptureStep)) << caption.toStdString();
    EXPECT_TRUE(before->Position().IsLegalStep(Black, step));
    Board played = before->Position();
    const CaptureList taken = played.ApplyMove(Black, step);
    ASSERT_EQ(taken.size(), 1u);
    const QString where =
        QStringLiteral("第 %1 列第 %2 行").arg(PointX(taken[0])).arg(PointY(taken[0]));
    EXPECT_TRUE(Caption(*rules, "captureAfter").contains(where));

    // White is walled in there with more than one piece: the side to move has lost.
    EXPECT_FALSE(walled->Position().HasLegalStep(White));
    EXPECT_GT(walled->Position().CountPieces(White), 1);
    EXPECT_EQ(walled->Position().Winner(White), Black);

    const double one = BoardDiagram::kScale;
    for (double scale : {one, 2 * one}) {
        SCOPED_TRACE(scale);
        EXPECT_EQ(ShownPosition(*start, scale), BoardToText(Board()));
        EXPECT_EQ(ShownPosition(*before, scale), RulesDialog::kCaptureBefore);
        EXPECT_EQ(ShownPosition(*after, scale), BoardToText(played));
        EXPECT_EQ(ShownPosition(*walled, scale), RulesDialog::kWalledIn);
        // The taken piece's point carries the board's cross after the step.
        const QRect square =
            BoardDiagram::PieceRect(PointX(taken[0]), PointY(taken[0]), scale).toAlignedRect();
        EXPECT_NE(after->Render(scale).copy(square), after->Render(scale, false).copy(square));
    }
}

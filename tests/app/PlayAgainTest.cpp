#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "GuiFixture.h"
#include "MainDialog.h"
#include "StartGameDialog.h"

using namespace kelvara;

namespace {

class PlayAgainTest : public GuiFixture {
  protected:
    static void Again(MainDialog& window) { window.findChild<QAction*>("actionAgain")->trigger(); }
    // Answers the next question box with `button`, and notes that it came.
    static void Answer(QMessageBox::StandardButton button, bool* asked) {
        WhenModal([=](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) return false;
            *asked = true;
            box->button(button)->click();
            return true;
        });
    }
};

}  // namespace

TEST_F(PlayAgainTest, TheEndSaysWhyAndAgainStartsTheSameGameAtOnce) {
    auto window = OpenWindow();
    ASSERT_TRUE(window->EndBanner()->isVisible());  // the first screen says where to begin
    EXPECT_EQ(window->EndBanner()->findChild<QPushButton*>("againButton")->text(), "开始");
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
    EXPECT_FALSE(window->EndBanner()->isVisible());
    for (const char* move : kWhiteWins) PlayByMouse(*window, move);
    ASSERT_EQ(window->StatusText(), "游戏结束，白棋(李四)胜!!");  // the status line as before
    ASSERT_TRUE(window->EndBanner()->isVisible());
    EXPECT_EQ(window->EndBanner()->findChild<QLabel*>("endReason")->text(), "黑棋只剩一子");

    QPushButton* again = window->EndBanner()->findChild<QPushButton*>("againButton");
    EXPECT_EQ(again->text(), "再来一局");
    again->click();  // no question: the game is over
    EXPECT_FALSE(window->EndBanner()->isVisible());
    EXPECT_TRUE(window->Session().GameRunning());
    EXPECT_EQ(window->MatchText(), "战局：   张三(黑)   VS   李四(白)");
    EXPECT_EQ(window->BlackHistory()->topLevelItemCount(), 0);
}

TEST_F(PlayAgainTest, AGameUnderWayIsGivenUpOnlyAfterAYes) {
    auto window = OpenWindow();
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
    PlayByMouse(*window, "12R");
    bool asked = false;
    Answer(QMessageBox::No, &asked);
    Again(*window);
    EXPECT_TRUE(asked);
    EXPECT_EQ(window->BlackHistory()->topLevelItemCount(), 1);  // kept

    asked = false;
    Answer(QMessageBox::Yes, &asked);
    Again(*window);
    EXPECT_TRUE(asked);
    EXPECT_EQ(window->BlackHistory()->topLevelItemCount(), 0);
    EXPECT_EQ(window->MatchText(), "战局：   张三(黑)   VS   李四(白)");
}

TEST_F(PlayAgainTest, TheStartDialogOpensOnTheLastKindAndNamesAndTheMatchNamesTheLevel) {
    auto window = OpenWindow();
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
    bool seen = false;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<StartGameDialog*>(modal);
        if (dialog == nullptr) return false;
        seen = true;
        EXPECT_TRUE(dialog->TwoPlayersRadio()->isChecked());
        EXPECT_EQ(dialog->BlackNameCombo()->currentText(), "张三");
        EXPECT_EQ(dialog->WhiteNameCombo()->currentText(), "李四");
        dialog->OnePlayerRadio()->click();
        dialog->OkButton()->click();
        return true;
    });
    window->ChooseLevel(Level::Beginner);
    window->findChild<QAction*>("actionStart")->trigger();  // no step yet: no question
    ASSERT_TRUE(seen);
    EXPECT_TRUE(window->MatchText().endsWith("VS   电脑（入门）(白)"))
        << window->MatchText().toStdString();
}

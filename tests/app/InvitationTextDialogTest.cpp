#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "GbkCodec.h"
#include "GuiFixture.h"
#include "InvitationTextDialog.h"

using kelvara::GbkCodec;
using kelvara::InvitationTextDialog;

namespace {

// Runs `input` modally while `act` works on it; returns exec's result.
int RunInput(InvitationTextDialog& input, const std::function<void(InvitationTextDialog&)>& act) {
    QTimer::singleShot(0, &input, [&] { act(input); });
    return input.exec();
}

void Commit(QWidget* editor, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(editor, &event);
}

class InvitationTextDialogTest : public GuiFixture {};

}  // namespace

TEST_F(InvitationTextDialogTest, OkReturnsTheEditAndCancelKeepsThePreset) {
    const struct {
        bool ok;
        const char* typed;  // nullptr: the preset left as it is
        std::string expected;
    } cases[] = {
        {true, nullptr, "默认"},
        {false, "别的", "默认"},
        {true, "", ""},
        {true, "别的", "别的"},
    };
    for (const auto& c : cases) {
        InvitationTextDialog input(nullptr, "请输入:", "默认");
        EXPECT_EQ(input.windowTitle(), "CKELVARA DATA INPUT");
        EXPECT_EQ(input.PromptLabel()->text(), "请输入:");
        EXPECT_EQ(input.Editor()->toPlainText(), "默认");
        const int result = RunInput(input, [&c](InvitationTextDialog& d) {
            if (c.typed != nullptr) d.Editor()->setPlainText(QString::fromUtf8(c.typed));
            (c.ok ? d.OkButton() : d.CancelButton())->click();
        });
        EXPECT_EQ(result, c.ok ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(input.Text(), c.expected);
    }
}

TEST_F(InvitationTextDialogTest, EnterMakesANewLineSentAsCrLf) {
    InvitationTextDialog input(nullptr, "", "ab");
    const int result = RunInput(input, [](InvitationTextDialog& d) {
        QTest::keyClick(d.Editor(), Qt::Key_Return);
        QTest::keyClicks(d.Editor(), "cd");
        QTimer::singleShot(0, &d, [&d] { d.OkButton()->click(); });
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(input.Text(), "ab\r\ncd");
}

TEST_F(InvitationTextDialogTest, APresetOverTheLimitIsCutAtACharacterBoundary) {
    InvitationTextDialog input(nullptr, "", std::string(511, 'x') + "中");
    EXPECT_EQ(input.EditorBytes(), std::string(511, 'x'));
}

TEST_F(InvitationTextDialogTest, TypingStopsAt512GbkBytes) {
    InvitationTextDialog input(nullptr, "", std::string(509, 'x'));
    RunInput(input, [](InvitationTextDialog& d) {
        // A line break counts two bytes; one double-byte character then fills the rest.
        QTest::keyClick(d.Editor(), Qt::Key_Return);
        Commit(d.Editor(), "中");
        EXPECT_EQ(GbkCodec::GbkLength(d.EditorBytes()),
                  509u + 2);  // "中" needs 2 and only 1 is left
        QTest::keyClicks(d.Editor(), "yz");
        EXPECT_EQ(GbkCodec::GbkLength(d.EditorBytes()), 512u);
        Commit(d.Editor(), "中");
        EXPECT_EQ(GbkCodec::GbkLength(d.EditorBytes()), 512u);
        // A paste that would go beyond is refused whole.
        d.Editor()->insertPlainText(QString(10, QLatin1Char('p')));
        EXPECT_EQ(GbkCodec::GbkLength(d.EditorBytes()), 512u);
        d.OkButton()->click();
    });
    EXPECT_EQ(input.Text(), std::string(509, 'x') + "\r\ny");
}

TEST_F(InvitationTextDialogTest, DeletingBelowTheLimitAllowsTypingAgain) {
    InvitationTextDialog input(nullptr, "", std::string(512, 'x'));
    RunInput(input, [](InvitationTextDialog& d) {
        Commit(d.Editor(), "中");
        EXPECT_EQ(GbkCodec::GbkLength(d.EditorBytes()), 512u);
        QTest::keyClick(d.Editor(), Qt::Key_Backspace);
        QTest::keyClick(d.Editor(), Qt::Key_Backspace);
        Commit(d.Editor(), "中");
        d.OkButton()->click();
    });
    EXPECT_EQ(input.Text(), std::string(510, 'x') + "中");
}

TEST_F(InvitationTextDialogTest, TextThatGbkCannotHoldIsRefusedWithAMessage) {
    InvitationTextDialog input(nullptr, "", "ok");
    SeenBox box;
    bool stayedOpen = false;
    const int result = RunInput(input, [&](InvitationTextDialog& d) {
        d.Editor()->setPlainText("笑😀");
        CloseNextMessageBox(&box);
        d.OkButton()->click();  // refused: the warning comes up and the dialog stays open
        stayedOpen = d.isVisible();
        d.Editor()->setPlainText("笑");
        d.OkButton()->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(box.shown);
    EXPECT_TRUE(box.text.contains("GBK"));
    EXPECT_EQ(box.icon, QMessageBox::Warning);
    EXPECT_EQ(input.Text(), "笑");
}

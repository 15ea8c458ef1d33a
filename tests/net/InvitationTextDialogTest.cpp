#include <gtest/gtest.h>

#include <QInputMethodEvent>
#include <QLabel>

#include "NetTestSupport.h"

using namespace nettest;

namespace {

// Runs `input` modally while `act` works on it; returns exec's result.
int RunInput(InvitationTextDialog& input, const std::function<void(InvitationTextDialog&)>& act) {
    QTimer::singleShot(0, [&] { act(input); });
    return input.exec();
}

void Press(InvitationTextDialog& input, const char* name) {
    input.findChild<QPushButton*>(QString::fromLatin1(name))->click();
}

void Commit(QWidget* editor, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(editor, &event);
}

}  // namespace

TEST(InvitationTextDialog, OkReturnsTheEditAndCancelKeepsThePreset) {
    InvitationTextDialog input;
    input.prompt = Gbk("请输入:");
    input.text = Gbk("默认");
    EXPECT_EQ(RunInput(input, [](InvitationTextDialog& d) { Press(d, "ok"); }), QDialog::Accepted);
    EXPECT_EQ(input.text, Gbk("默认"));
    EXPECT_EQ(input.windowTitle(), "CKELVARA DATA INPUT");

    EXPECT_EQ(RunInput(input,
                       [](InvitationTextDialog& d) {
                           d.Editor()->setPlainText(U("别的"));
                           Press(d, "cancel");
                       }),
              QDialog::Rejected);
    EXPECT_EQ(input.text, Gbk("默认"));

    RunInput(input, [](InvitationTextDialog& d) {
        d.Editor()->clear();
        Press(d, "ok");
    });
    EXPECT_EQ(input.text, "");
}

TEST(InvitationTextDialog, EnterMakesANewLineSentAsCrLf) {
    InvitationTextDialog input;
    input.text = "ab";
    const int result = RunInput(input, [](InvitationTextDialog& d) {
        QTest::keyClick(d.Editor(), Qt::Key_Return);
        QTest::keyClicks(d.Editor(), "cd");
        QTimer::singleShot(0, [&d] { Press(d, "ok"); });
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(input.text, "ab\r\ncd");
}

TEST(InvitationTextDialog, TypingStopsAt512GbkBytes) {
    InvitationTextDialog input;
    input.text = std::string(509, 'x');
    RunInput(input, [](InvitationTextDialog& d) {
        // A line break counts two bytes; one double-byte character then fills the rest.
        QTest::keyClick(d.Editor(), Qt::Key_Return);
        Commit(d.Editor(), U("中"));
        EXPECT_EQ(d.EditorBytes().size(), 509u + 2);  // "中" needs 2 and only 1 is left
        QTest::keyClicks(d.Editor(), "yz");
        EXPECT_EQ(d.EditorBytes().size(), 512u);
        Commit(d.Editor(), U("中"));
        EXPECT_EQ(d.EditorBytes().size(), 512u);
        // A paste that would go beyond is refused whole.
        d.Editor()->insertPlainText(QString(10, QLatin1Char('p')));
        EXPECT_EQ(d.EditorBytes().size(), 512u);
        Press(d, "ok");
    });
    EXPECT_EQ(input.text, std::string(509, 'x') + "\r\ny");
}

TEST(InvitationTextDialog, DeletingBelowTheLimitAllowsTypingAgain) {
    InvitationTextDialog input;
    input.text = std::string(512, 'x');
    RunInput(input, [](InvitationTextDialog& d) {
        Commit(d.Editor(), U("中"));
        EXPECT_EQ(d.EditorBytes().size(), 512u);
        QTest::keyClick(d.Editor(), Qt::Key_Backspace);
        QTest::keyClick(d.Editor(), Qt::Key_Backspace);
        Commit(d.Editor(), U("中"));
        Press(d, "ok");
    });
    EXPECT_EQ(input.text, std::string(510, 'x') + Gbk("中"));
}

TEST(InvitationTextDialog, TextThatGbkCannotHoldIsRefusedWithAMessage) {
    InvitationTextDialog input;
    input.text = "ok";
    ModalScript script;
    script.Box();
    const int result = RunInput(input, [&](InvitationTextDialog& d) {
        d.Editor()->setPlainText(U("笑😀"));
        Press(d, "ok");  // refused: the warning comes up and the dialog stays open
        QTimer::singleShot(50, [&d] {
            EXPECT_TRUE(d.isVisible());
            d.Editor()->setPlainText(U("笑"));
            Press(d, "ok");
        });
    });
    EXPECT_EQ(result, QDialog::Accepted);
    ASSERT_EQ(script.seen.size(), 1u);
    EXPECT_TRUE(script.seen[0].text.contains("GBK"));
    EXPECT_EQ(script.seen[0].icon, QMessageBox::Warning);
    EXPECT_EQ(input.text, Gbk("笑"));
}

#include <gtest/gtest.h>

#include <QInputMethodEvent>
#include <QLabel>

#include "GbkCodec.h"
#include "NetTestSupport.h"

using namespace nettest;

namespace {

// Runs `input` modally while `act` works on it; returns exec's result.
int RunInput(CInfoInput& input, const std::function<void(CInfoInput&)>& act) {
    QTimer::singleShot(0, [&] { act(input); });
    return input.exec();
}

void Press(CInfoInput& input, const char* name) {
    input.findChild<QPushButton*>(QString::fromLatin1(name))->click();
}

void Commit(QWidget* editor, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(editor, &event);
}

}  // namespace

TEST(CInfoInput, OkReturnsTheEditAndCancelKeepsThePreset) {
    CInfoInput input;
    input.prompt = "请输入:";
    input.text = "默认";
    EXPECT_EQ(RunInput(input, [](CInfoInput& d) { Press(d, "ok"); }), QDialog::Accepted);
    EXPECT_EQ(input.text, "默认");
    EXPECT_EQ(input.windowTitle(), "CKELVARA DATA INPUT");

    EXPECT_EQ(RunInput(input,
                       [](CInfoInput& d) {
                           d.Editor()->setPlainText(U("别的"));
                           Press(d, "cancel");
                       }),
              QDialog::Rejected);
    EXPECT_EQ(input.text, "默认");

    RunInput(input, [](CInfoInput& d) {
        d.Editor()->clear();
        Press(d, "ok");
    });
    EXPECT_EQ(input.text, "");
}

TEST(CInfoInput, EnterMakesANewLineSentAsCrLf) {
    CInfoInput input;
    input.text = "ab";
    const int result = RunInput(input, [](CInfoInput& d) {
        QTest::keyClick(d.Editor(), Qt::Key_Return);
        QTest::keyClicks(d.Editor(), "cd");
        QTimer::singleShot(0, [&d] { Press(d, "ok"); });
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(input.text, "ab\r\ncd");
}

TEST(CInfoInput, TypingStopsAt512GbkBytes) {
    CInfoInput input;
    input.text = std::string(509, 'x');
    RunInput(input, [](CInfoInput& d) {
        // A line break counts two bytes; one double-byte character then fills the rest.
        QTest::keyClick(d.Editor(), Qt::Key_Return);
        Commit(d.Editor(), U("中"));
        EXPECT_EQ(GbkCodec::GbkLength(d.EditorBytes()),
                  509u + 2);  // "中" needs 2 and only 1 is left
        QTest::keyClicks(d.Editor(), "yz");
        EXPECT_EQ(GbkCodec::GbkLength(d.EditorBytes()), 512u);
        Commit(d.Editor(), U("中"));
        EXPECT_EQ(GbkCodec::GbkLength(d.EditorBytes()), 512u);
        // A paste that would go beyond is refused whole.
        d.Editor()->insertPlainText(QString(10, QLatin1Char('p')));
        EXPECT_EQ(GbkCodec::GbkLength(d.EditorBytes()), 512u);
        Press(d, "ok");
    });
    EXPECT_EQ(input.text, std::string(509, 'x') + "\r\ny");
}

TEST(CInfoInput, DeletingBelowTheLimitAllowsTypingAgain) {
    CInfoInput input;
    input.text = std::string(512, 'x');
    RunInput(input, [](CInfoInput& d) {
        Commit(d.Editor(), U("中"));
        EXPECT_EQ(GbkCodec::GbkLength(d.EditorBytes()), 512u);
        QTest::keyClick(d.Editor(), Qt::Key_Backspace);
        QTest::keyClick(d.Editor(), Qt::Key_Backspace);
        Commit(d.Editor(), U("中"));
        Press(d, "ok");
    });
    EXPECT_EQ(input.text, std::string(510, 'x') + "中");
}

TEST(CInfoInput, TextThatGbkCannotHoldIsRefusedWithAMessage) {
    CInfoInput input;
    input.text = "ok";
    ModalScript script;
    script.Box();
    const int result = RunInput(input, [&](CInfoInput& d) {
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
    EXPECT_EQ(input.text, "笑");
}

TEST(CInfoNotice, ItsButtonSetsCancelledAndClosesIt) {
    CInfoNotice notice;
    notice.text = "请等待";
    notice.ShowNotice();
    EXPECT_TRUE(notice.isVisible());
    EXPECT_EQ(notice.findChild<QLabel*>("notice")->text(), U("请等待"));
    EXPECT_EQ(notice.findChild<QLabel*>("notice")->alignment(), Qt::AlignCenter);
    EXPECT_TRUE(notice.windowFlags() & Qt::FramelessWindowHint);
    auto* button = notice.findChild<QPushButton*>("cancel");
    EXPECT_EQ(button->text(), U("取消"));
    EXPECT_EQ(notice.cancelled, 0);
    button->click();
    EXPECT_EQ(notice.cancelled, 1);
    EXPECT_FALSE(notice.isVisible());
}

TEST(CInfoNotice, EscapeAlsoEndsTheWaitButClosingItFromCodeDoesNot) {
    CInfoNotice closed;
    closed.ShowNotice();
    closed.CloseNotice();
    EXPECT_FALSE(closed.isVisible());
    EXPECT_EQ(closed.cancelled, 0);

    CInfoNotice escaped;
    escaped.ShowNotice();
    QTest::keyClick(&escaped, Qt::Key_Escape);
    EXPECT_EQ(escaped.cancelled, 1);
    EXPECT_FALSE(escaped.isVisible());
}

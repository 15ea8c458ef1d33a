#include <gtest/gtest.h>

#include <QLabel>

#include "NetTestSupport.h"

using namespace nettest;

TEST(WaitingNotice, ItsButtonSetsCancelledAndClosesIt) {
    WaitingNotice notice;
    notice.text = Gbk("请等待");
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

TEST(WaitingNotice, EscapeAlsoEndsTheWaitButClosingItFromCodeDoesNot) {
    WaitingNotice closed;
    closed.ShowNotice();
    closed.CloseNotice();
    EXPECT_FALSE(closed.isVisible());
    EXPECT_EQ(closed.cancelled, 0);

    WaitingNotice escaped;
    escaped.ShowNotice();
    QTest::keyClick(&escaped, Qt::Key_Escape);
    EXPECT_EQ(escaped.cancelled, 1);
    EXPECT_FALSE(escaped.isVisible());
}

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "GuiFixture.h"
#include "WaitingNotice.h"

using kelvara::WaitingNotice;

namespace {

class WaitingNoticeTest : public GuiFixture {};

}  // namespace

TEST_F(WaitingNoticeTest, ItsButtonOrEscapeCancelsAndClosesIt) {
    for (const bool byButton : {true, false}) {
        WaitingNotice notice(nullptr, "请等待");
        QSignalSpy cancelled(&notice, &WaitingNotice::cancelled);
        notice.ShowNotice();
        EXPECT_TRUE(notice.isVisible());
        EXPECT_TRUE(notice.isModal());
        EXPECT_EQ(notice.Label()->text(), "请等待");
        EXPECT_EQ(notice.Label()->alignment(), Qt::AlignCenter);
        EXPECT_TRUE(notice.windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(notice.CancelButton()->text(), "取消");
        EXPECT_FALSE(notice.Cancelled());
        if (byButton)
            notice.CancelButton()->click();
        else
            QTest::keyClick(&notice, Qt::Key_Escape);
        EXPECT_EQ(cancelled.count(), 1);
        EXPECT_TRUE(notice.Cancelled());
        EXPECT_FALSE(notice.isVisible());
    }
}

TEST_F(WaitingNoticeTest, ClosingItFromCodeIsNoCancel) {
    WaitingNotice notice(nullptr, "");
    QSignalSpy cancelled(&notice, &WaitingNotice::cancelled);
    notice.ShowNotice();
    notice.CloseNotice();
    EXPECT_FALSE(notice.isVisible());
    EXPECT_FALSE(notice.Cancelled());
    EXPECT_EQ(cancelled.count(), 0);
}

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

#include "IncomingInvitations.h"
#include "InvitationListener.h"
#include "ModalScript.h"
#include "NetTestSupport.h"
#include "TcpNetworkPlay.h"

using namespace nettest;

namespace {

const char* const kQuestion =
    "来自 127.0.0.1 的朋友邀请你一起下六子棋,\n 你要接受对方的邀请吗？\n  附加信息:\n      ";
const char* const kPreset = "你好，我们来下六子棋好吗？";

// A copy with its network play put together as the program's start-up does, without the
// window: every question and message shows as a box of its own.
struct Player {
    FakeView view;
    GameSession session{view, nullptr, nullptr};
    TcpNetworkPlay network{session, nullptr, 0};

    Player() {
        session.SetNetworkLink(&network.Link());
        network.SetClientTiming(20, 2000);
        network.Hub().StartListening(0, QHostAddress::LocalHost);
    }
    quint16 Port() { return network.Hub().ListeningPort(); }
    InvitationListener& Listener() { return network.Hub().Listener(); }
};

struct Dialogue : ::testing::Test {
    Player a;
    Player b;
    ModalScript script;

    // `a` invites the copy at `port`; true when it was accepted. Returns once the script has
    // answered every window that came up.
    bool Invite(quint16 port) {
        bool finished = false;
        bool accepted = false;
        a.network.Invite(nullptr, kLoopback, port, [&](bool ok) {
            finished = true;
            accepted = ok;
        });
        EXPECT_TRUE(WaitFor([&] { return finished; }));
        EXPECT_FALSE(a.network.Busy());
        EXPECT_TRUE(WaitFor([] { return QApplication::activeModalWidget() == nullptr; }));
        return accepted;
    }

    // The connection test of `a` against `port`: the one box it showed.
    Seen Test(quint16 port) {
        ModalScript own;
        own.Box();
        a.network.TestConnection(nullptr, kLoopback, port);
        EXPECT_TRUE(WaitFor([&] { return own.Done(); }));
        EXPECT_FALSE(a.network.Busy());
        return own.seen.empty() ? Seen{} : own.seen.front();
    }
};

// A peer that connects and sends an invitation, as another copy would.
std::unique_ptr<QTcpSocket> Inviter(quint16 port) {
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(WaitFor([&] { return socket->state() == QAbstractSocket::ConnectedState; }));
    socket->write("i" + G("来吧"));
    socket->flush();
    return socket;
}

quint16 ClosedPort() {
    QTcpServer unused;
    unused.listen(QHostAddress::LocalHost, 0);
    return unused.serverPort();
}

}  // namespace

TEST_F(Dialogue, RefusedWithAReasonShowsEachWindowInTurn) {
    const QString reason = U("改天吧\n再见");
    script.Input(true).Box(QMessageBox::No).Input(true, &reason).Box();
    EXPECT_FALSE(Invite(b.Port()));
    ASSERT_TRUE(script.Done());
    ASSERT_EQ(script.seen.size(), 4u);
    // The inviter's text dialog.
    EXPECT_EQ(script.seen[0].caption, "CKELVARA DATA INPUT");
    EXPECT_EQ(script.seen[0].text, U("请输入邀请信息(512字节以内):"));
    EXPECT_EQ(script.seen[0].preset, U(kPreset));
    // The question on the invited copy, with the peer's address and the text.
    EXPECT_EQ(script.seen[1].caption, "KELVARA");
    EXPECT_EQ(script.seen[1].icon, QMessageBox::Question);
    EXPECT_EQ(script.seen[1].text, U(kQuestion) + U(kPreset));
    // The reason dialog.
    EXPECT_EQ(script.seen[2].text, U("请输入拒绝的原因(512字节以内):"));
    EXPECT_EQ(script.seen[2].preset, U("对不起，我现在很忙."));
    // The inviter sees the reason, line break as typed.
    EXPECT_EQ(script.seen[3].caption, "KELVARA");
    EXPECT_EQ(script.seen[3].icon, QMessageBox::Information);
    EXPECT_EQ(script.seen[3].text, U("对方拒绝了你的请求，原因是：\n   改天吧\r\n再见"));
    EXPECT_FALSE(b.session.GameRunning());
}

TEST_F(Dialogue, AnEmptyReasonOrCancelInTheReasonDialog) {
    const QString empty;
    script.Input(true, &empty).Box(QMessageBox::No).Input(true, &empty).Box();
    EXPECT_FALSE(Invite(b.Port()));
    ASSERT_EQ(script.seen.size(), 4u);
    EXPECT_EQ(script.seen[1].text, U(kQuestion));  // an empty invitation text
    EXPECT_EQ(script.seen[3].text, U("对方拒绝了你的请求，原因是：\n   "));

    // Cancel in the reason dialog still refuses, with the preset reason.
    ModalScript again;
    again.Input(true).Box(QMessageBox::No).Input(false).Box();
    EXPECT_FALSE(Invite(b.Port()));
    ASSERT_EQ(again.seen.size(), 4u);
    EXPECT_EQ(again.seen[3].text, U("对方拒绝了你的请求，原因是：\n   对不起，我现在很忙."));
}

TEST_F(Dialogue, AcceptedKeepsTheConnectionForTheNextNetworkGame) {
    script.Input(true).Box(QMessageBox::Yes);
    EXPECT_TRUE(Invite(b.Port()));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(b.session.ActiveSlot(), 1);
    a.session.Start({GameKind::Network, "甲", ""});
    EXPECT_TRUE(WaitFor([&] { return a.network.Hub().Channel(0).state == LocalTurn; }));
}

TEST_F(Dialogue, CancelInTheTextDialogSendsNothing) {
    QSignalSpy arrived(&b.Listener(), &InvitationListener::invitationArrived);
    script.Input(false);
    EXPECT_FALSE(Invite(b.Port()));
    EXPECT_EQ(script.seen.size(), 1u);
    EXPECT_EQ(b.Listener().WaitingConnections(), 0);
    EXPECT_EQ(arrived.count(), 0);
}

TEST_F(Dialogue, TheNoticeShowsWhileTheAnswerIsAwaitedAndItsButtonEndsTheWait) {
    QTcpServer silent;
    silent.listen(QHostAddress::LocalHost, 0);
    script.Input(true).CancelNotice();
    EXPECT_FALSE(Invite(silent.serverPort()));
    ASSERT_EQ(script.seen.size(), 2u);
    EXPECT_EQ(script.seen[1].text, U("请求已经发出,正在等待对方回应,请等待......"));
    // No box follows a cancelled wait (it would stay open, unanswered).
}

TEST_F(Dialogue, FailedInvitationsAreToldInABox) {
    QTcpServer invalid;
    invalid.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&invalid, &QTcpServer::newConnection, [&invalid] {
        QTcpSocket* s = invalid.nextPendingConnection();
        QObject::connect(s, &QTcpSocket::readyRead, s, [s] { s->write("x"); });
    });
    const struct {
        quint16 port;
        const char* text;
    } cases[] = {
        {ClosedPort(), "无法与主机建立连接!"},
        {invalid.serverPort(), "收到无效的应答！"},
    };
    for (const auto& c : cases) {
        ModalScript own;
        own.Input(true).Box();
        EXPECT_FALSE(Invite(c.port));
        ASSERT_EQ(own.seen.size(), 2u);
        EXPECT_EQ(own.seen[1].text, U(c.text));
        EXPECT_EQ(own.seen[1].caption, "KELVARA");
        EXPECT_EQ(own.seen[1].icon, QMessageBox::Information);
    }
}

TEST_F(Dialogue, EveryOutcomeOfTheConnectionTestHasItsBox) {
    QTcpServer closing;
    closing.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&closing, &QTcpServer::newConnection,
                     [&closing] { closing.nextPendingConnection()->close(); });
    QTcpServer silent;
    silent.listen(QHostAddress::LocalHost, 0);
    const struct {
        quint16 port;
        const char* text;
    } cases[] = {
        {b.Port(), "连接测试成功，对方程序版本为 v1.0"},
        {closing.serverPort(), "主机没有运行六子棋程序!!"},
        {silent.serverPort(), "连接超时！"},
        {ClosedPort(), "无法与主机建立连接!"},
    };
    for (const auto& c : cases) {
        const Seen box = Test(c.port);
        EXPECT_EQ(box.text, U(c.text));
        EXPECT_EQ(box.caption, "KELVARA");
        EXPECT_EQ(box.icon, QMessageBox::Information);
    }
}

TEST_F(Dialogue, ListenFailuresAreTold) {
    FakeView view;
    GameSession session{view, nullptr, nullptr};
    TcpNetworkPlay taken{session, nullptr, b.Port()};  // the port is b's, on any address
    script.Box().Box();
    EXPECT_FALSE(taken.StartListening());
    EXPECT_FALSE(a.network.StartListening());  // already listening
    ASSERT_TRUE(WaitFor([&] { return script.Done(); }));
    ASSERT_EQ(script.seen.size(), 2u);
    EXPECT_EQ(script.seen[0].text, U("创建接口失败！"));
    EXPECT_EQ(script.seen[0].caption, "KELVARA");
    EXPECT_EQ(script.seen[1].text, U("监听端口失败！"));
}

TEST_F(Dialogue, InvitationsArrivingTogetherAreAskedOneAtATime) {
    IncomingInvitations& incoming = b.network.Incoming();
    QSignalSpy arrived(&b.Listener(), &InvitationListener::invitationArrived);
    auto first = Inviter(b.Port());
    auto second = Inviter(b.Port());
    auto third = Inviter(b.Port());
    ASSERT_TRUE(WaitFor([&] { return arrived.count() == 3; }));
    // One question is up; the others wait behind it.
    EXPECT_EQ(incoming.Queued(), 2);
    EXPECT_NE(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()), nullptr);
    const int askedFirst = incoming.Asking();
    ASSERT_EQ(askedFirst, arrived[0][0].toInt());

    // A waiting inviter that leaves is never asked about.
    third->abort();
    ASSERT_TRUE(WaitFor([&] { return incoming.Queued() == 1; }));
    // The inviter being asked leaves: its question closes by itself and the next one is up.
    first->abort();
    ASSERT_TRUE(WaitFor([&] { return incoming.Asking() == arrived[1][0].toInt(); }));
    EXPECT_EQ(incoming.Queued(), 0);

    script.Box(QMessageBox::Yes);
    ASSERT_TRUE(WaitFor([&] { return second->bytesAvailable() > 0; }));
    EXPECT_EQ(second->readAll(), "a");
    EXPECT_EQ(b.session.ActiveSlot(), arrived[1][0].toInt());
    EXPECT_EQ(incoming.Asking(), -1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_EQ(script.seen.size(), 1u);
    EXPECT_EQ(script.seen[0].text, U(kQuestion) + U("来吧"));
}

TEST_F(Dialogue, AnInviterThatLeavesAfterNoTakesTheReasonDialogAway) {
    auto inviter = Inviter(b.Port());
    bool reasonShown = false;
    script.Then([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (box == nullptr) return false;
        // The inviter goes just as No is pressed: the window has not heard of it yet.
        inviter->abort();
        box->button(QMessageBox::No)->click();
        reasonShown =
            qobject_cast<InvitationTextDialog*>(QApplication::activeModalWidget()) != nullptr;
        return true;
    });
    ASSERT_TRUE(WaitFor([&] { return script.Done(); }));
    EXPECT_TRUE(reasonShown);
    // The reason dialog goes unanswered once the inviter is known to be gone.
    EXPECT_TRUE(WaitFor([&] { return QApplication::activeModalWidget() == nullptr; }));
    EXPECT_EQ(b.network.Incoming().Asking(), -1);
    EXPECT_EQ(b.Listener().HeldConnections(), 0);
}

TEST_F(Dialogue, EachListenerFailureShowsOneBoxHoweverOftenItHappens) {
    using Signal = void (InvitationListener::*)();
    const struct {
        Signal failure;
        const char* caption;
        const char* text;
        QMessageBox::Icon icon;
    } cases[] = {
        {&InvitationListener::replyFailed, "监听信息", "回应连接失败！", QMessageBox::Information},
        {&InvitationListener::acceptFailed, "六子棋", "接受连接时失败!", QMessageBox::NoIcon},
    };
    for (const auto& c : cases) {
        (b.Listener().*c.failure)();
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        (b.Listener().*c.failure)();
        EXPECT_EQ(QApplication::activeModalWidget(), box);
        EXPECT_EQ(box->windowTitle(), U(c.caption));
        EXPECT_EQ(box->text(), U(c.text));
        EXPECT_EQ(box->icon(), c.icon);
        box->button(QMessageBox::Ok)->click();
        // Once it is closed, the next failure is told again.
        ASSERT_TRUE(WaitFor([] { return QApplication::activeModalWidget() == nullptr; }));
        (b.Listener().*c.failure)();
        box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::Ok)->click();
        ASSERT_TRUE(WaitFor([] { return QApplication::activeModalWidget() == nullptr; }));
    }
}

TEST_F(Dialogue, InputWaitsOutTheConnectionTest) {
    QTcpServer silent;
    silent.listen(QHostAddress::LocalHost, 0);
    QPushButton button("x");
    button.show();
    QSignalSpy clicked(&button, &QPushButton::clicked);
    script.Box();
    a.network.TestConnection(nullptr, kLoopback, silent.serverPort());
    ASSERT_TRUE(a.network.Busy());
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 0);
    ASSERT_TRUE(WaitFor([&] { return script.Done(); }));
    EXPECT_EQ(script.seen[0].text, U("连接超时！"));
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
}

#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

#include "BoardText.h"
#include "GameConnection.h"
#include "InvitationClient.h"
#include "InvitationListener.h"
#include "NetTestSupport.h"

using namespace nettest;

namespace {

const char* const kQuestion =
    "来自 127.0.0.1 的朋友邀请你一起下六子棋,\n 你要接受对方的邀请吗？\n  附加信息:\n      ";

// Two copies in one process: `a` invites `b`.
struct Invitation : ::testing::Test {
    Copy a;
    Copy b;
    ModalScript script;
    InvitationClient client{nullptr};

    Invitation() { client.SetTiming(20, 2000); }

    std::unique_ptr<QTcpSocket> Invite() {
        return std::unique_ptr<QTcpSocket>(client.SendInvitation(kLoopback, b.Port()));
    }
};

}  // namespace

TEST_F(Invitation, RefusedWithAReason) {
    const QString reason = U("改天吧\n再见");
    script.Input(true).Box(QMessageBox::No).Input(true, &reason).Box();
    EXPECT_EQ(Invite(), nullptr);
    ASSERT_TRUE(script.Done());
    ASSERT_EQ(script.seen.size(), 4u);
    // The inviter's text dialog.
    EXPECT_EQ(script.seen[0].caption, "CKELVARA DATA INPUT");
    EXPECT_EQ(script.seen[0].text, U("请输入邀请信息(512字节以内):"));
    EXPECT_EQ(script.seen[0].preset, U("你好，我们来下六子棋好吗？"));
    // The question on the invited copy, with the peer's address and the text.
    EXPECT_EQ(script.seen[1].caption, "KELVARA");
    EXPECT_EQ(script.seen[1].icon, QMessageBox::Question);
    EXPECT_EQ(script.seen[1].text, U(kQuestion) + U("你好，我们来下六子棋好吗？"));
    // The reason dialog.
    EXPECT_EQ(script.seen[2].text, U("请输入拒绝的原因(512字节以内):"));
    EXPECT_EQ(script.seen[2].preset, U("对不起，我现在很忙."));
    // The inviter sees the reason, line break as typed.
    EXPECT_EQ(script.seen[3].caption, "KELVARA");
    EXPECT_EQ(script.seen[3].icon, QMessageBox::Information);
    EXPECT_EQ(script.seen[3].text, U("对方拒绝了你的请求，原因是：\n   改天吧\r\n再见"));
    EXPECT_EQ(b.session.GameState(), NoGame);
    // The inviter closed its end, so the refused connection gives its slot back.
    EXPECT_TRUE(WaitFor([&] { return b.hub.Listener().HeldConnections() == 0; }));
}

TEST_F(Invitation, RefusedWithAnEmptyReasonOrWithTheDefault) {
    const QString empty;
    script.Input(true).Box(QMessageBox::No).Input(true, &empty).Box();
    EXPECT_EQ(Invite(), nullptr);
    ASSERT_EQ(script.seen.size(), 4u);
    EXPECT_EQ(script.seen[3].text, U("对方拒绝了你的请求，原因是：\n   "));

    // Cancel in the reason dialog still refuses, with the preset reason.
    ModalScript again;
    again.Input(true).Box(QMessageBox::No).Input(false).Box();
    EXPECT_EQ(Invite(), nullptr);
    ASSERT_EQ(again.seen.size(), 4u);
    EXPECT_EQ(again.seen[3].text, U("对方拒绝了你的请求，原因是：\n   对不起，我现在很忙."));
}

TEST_F(Invitation, CancelInTheTextDialogSendsNothing) {
    script.Input(false);
    EXPECT_EQ(Invite(), nullptr);
    QTest::qWait(100);
    EXPECT_EQ(b.hub.Listener().HeldConnections(), 0);
    EXPECT_EQ(script.seen.size(), 1u);
}

TEST_F(Invitation, AnEmptyTextGivesAnEmptyAdditionalMessage) {
    const QString empty;
    script.Input(true, &empty).Box(QMessageBox::No).Input(true).Box();
    EXPECT_EQ(Invite(), nullptr);
    ASSERT_EQ(script.seen.size(), 4u);
    EXPECT_EQ(script.seen[1].text, U(kQuestion));
}

TEST_F(Invitation, NoListenerMeansNoConnection) {
    QTcpServer unused;
    unused.listen(QHostAddress::LocalHost, 0);
    const quint16 closedPort = unused.serverPort();
    unused.close();
    script.Input(true).Box();
    EXPECT_EQ(client.SendInvitation(kLoopback, closedPort), nullptr);
    ASSERT_EQ(script.seen.size(), 2u);
    EXPECT_EQ(script.seen[1].text, U("无法与主机建立连接!"));
}

// The whole road: invitation, acceptance, hellos, a game to its end on both copies.
TEST_F(Invitation, AcceptedThenAWholeGameToTheEnd) {
    b.session.Start({1, Gbk("乙"), ""});  // the invited copy's last Start leaves its name
    script.Input(true).Box(QMessageBox::Yes);
    QTcpSocket* socket = client.SendInvitation(kLoopback, b.Port());
    ASSERT_NE(socket, nullptr);
    ASSERT_TRUE(script.Done());
    EXPECT_EQ(socket->state(), QAbstractSocket::ConnectedState);

    // The invited copy plays white on the accepted slot and waits for the hello.
    EXPECT_EQ(b.hub.Connection(1).CurrentState(), GameConnection::State::Channel);
    EXPECT_EQ(b.session.ActiveSlot(), 1);
    EXPECT_EQ(b.session.Mode(), Network);
    EXPECT_EQ(b.hub.Channel(1).role, Answering);
    EXPECT_EQ(b.hub.Channel(1).state, AwaitingHello);

    a.hub.SetPendingPeer(socket);
    a.session.Start({3, Gbk("甲"), ""});
    ASSERT_TRUE(WaitFor([&] { return a.hub.Channel(0).state == LocalTurn; }));
    EXPECT_EQ(b.hub.Channel(1).state, AwaitingMove);
    EXPECT_EQ(a.view.match, Gbk("战局：   黑:甲(本机)   VS   白:乙(127.0.0.1)"));
    EXPECT_EQ(a.view.status, Gbk("现在该你走棋了..."));
    EXPECT_EQ(b.view.match, Gbk("战局：   白:乙(本机)   VS   黑:甲(127.0.0.1)"));
    EXPECT_EQ(b.view.status, Gbk("正在等待对方走棋,请稍后..."));
    EXPECT_EQ(b.session.InputEnabled(), 0);

    const char* moves[] = {"21U", "34D", "22U", "44L", "31U", "43U", "42U"};
    for (int i = 0; i < 7; ++i) {
        Copy& mover = i % 2 == 0 ? a : b;
        Copy& other = i % 2 == 0 ? b : a;
        ASSERT_EQ(mover.session.InputEnabled(), 1) << moves[i];
        Drag(mover.session, moves[i]);
        if (i < 6) {
            EXPECT_EQ(mover.view.status, Gbk("正在等待对方走棋,请稍后..."));
            ASSERT_TRUE(WaitFor([&] { return other.session.InputEnabled() == 1; })) << moves[i];
            EXPECT_EQ(other.view.status, Gbk("现在该你走棋了..."));
        }
        EXPECT_TRUE(WaitFor([&] {
            return BoardToText(a.session.CurrentBoard()) == BoardToText(b.session.CurrentBoard());
        }));
    }
    ASSERT_TRUE(WaitFor([&] { return b.session.GameState() == NoGame; }));
    EXPECT_EQ(a.session.GameState(), NoGame);
    EXPECT_EQ(a.view.status, Gbk("游戏结束，恭喜你，你赢了!!"));
    EXPECT_EQ(b.view.status, Gbk("游戏结束，你输了 :("));
    EXPECT_FALSE(a.view.timerRunning);
    EXPECT_FALSE(b.view.timerRunning);
    const std::vector<std::string> black{"21U", "22U", "31U", "42U"};
    const std::vector<std::string> white{"34D", "44L", "43U"};
    EXPECT_EQ(a.view.black, black);
    EXPECT_EQ(b.view.black, black);
    EXPECT_EQ(a.view.white, white);
    EXPECT_EQ(b.view.white, white);
    // Nothing ends the connection.
    EXPECT_TRUE(a.hub.Connection(0).IsOpen());
    EXPECT_TRUE(b.hub.Connection(1).IsOpen());
}

TEST_F(Invitation, TheNoticesCancelEndsTheWaitWithoutAGame) {
    // A host that takes the connection and never answers.
    QTcpServer silent;
    silent.listen(QHostAddress::LocalHost, 0);
    QByteArray received;
    QPointer<QTcpSocket> peer;
    QObject::connect(&silent, &QTcpServer::newConnection, [&] {
        peer = silent.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, [&] { received += peer->readAll(); });
    });
    script.Input(true).CancelNotice();
    EXPECT_EQ(client.SendInvitation(kLoopback, silent.serverPort()), nullptr);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(received, "i" + G("你好，我们来下六子棋好吗？"));
    // The socket was closed: the host sees the end of the connection.
    ASSERT_TRUE(WaitFor(
        [&] { return peer != nullptr && peer->state() != QAbstractSocket::ConnectedState; }));
}

TEST_F(Invitation, AnyOtherAnswerIsInvalid) {
    for (const QByteArray& answer : {QByteArray("x"), QByteArray()}) {
        QTcpServer raw;
        raw.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&raw, &QTcpServer::newConnection, [&raw, answer] {
            QTcpSocket* s = raw.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, s, [s, answer] {
                s->readAll();
                if (answer.isEmpty())
                    s->close();
                else
                    s->write(answer);
            });
        });
        ModalScript own;
        own.Input(true).Box();
        EXPECT_EQ(client.SendInvitation(kLoopback, raw.serverPort()), nullptr);
        ASSERT_EQ(own.seen.size(), 2u);
        EXPECT_EQ(own.seen[1].text, U("收到无效的应答！")) << answer.constData();
    }
}

TEST_F(Invitation, AnAcceptanceWithMoreBytesStillCounts) {
    QTcpServer raw;
    raw.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&raw, &QTcpServer::newConnection, [&raw] {
        QTcpSocket* s = raw.nextPendingConnection();
        QObject::connect(s, &QTcpSocket::readyRead, s, [s] {
            s->readAll();
            s->write("axyz");
        });
    });
    script.Input(true);
    std::unique_ptr<QTcpSocket> socket(client.SendInvitation(kLoopback, raw.serverPort()));
    EXPECT_NE(socket, nullptr);
}

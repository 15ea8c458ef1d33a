#include <gtest/gtest.h>

#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <optional>

#include "BoardText.h"
#include "GameConnection.h"
#include "InvitationClient.h"
#include "InvitationListener.h"
#include "NetTestSupport.h"

using namespace nettest;
using InvitationResult = InvitationClient::InvitationResult;

namespace {

const std::string kText = "你好，我们来下六子棋好吗？";

struct Answer {
    InvitationResult result = InvitationResult::SendFailed;
    QString reason;
    std::unique_ptr<QTcpSocket> socket;
};

// Two copies in one process: `a` invites `b`.
struct Invitation : ::testing::Test {
    Copy a;
    Copy b;
    InvitationClient client;

    Invitation() { client.SetTiming(20, 2000); }

    // Sends an invitation to `port` and waits for its end; `whileWaiting` runs once the
    // invitation is out.
    Answer Invite(quint16 port, const std::string& text = kText,
                  const std::function<void()>& whileWaiting = {}) {
        QSignalSpy sent(&client, &InvitationClient::invitationSent);
        QSignalSpy finished(&client, &InvitationClient::invitationFinished);
        if (whileWaiting)
            QObject::connect(&client, &InvitationClient::invitationSent, whileWaiting);
        client.StartInvitation(kLoopback, port, text);
        EXPECT_TRUE(WaitFor([&] { return finished.count() == 1; }));
        client.disconnect();
        Answer answer;
        if (finished.isEmpty()) return answer;
        const QList<QVariant> args = finished.takeFirst();
        answer.result = args[0].value<InvitationResult>();
        answer.reason = args[1].toString();
        answer.socket.reset(client.TakeSocket());
        // The notice goes up only for an invitation that went out.
        const bool out = answer.result != InvitationResult::ConnectFailed;
        EXPECT_EQ(sent.count(), out ? 1 : 0);
        return answer;
    }
};

// A server that answers every request with `answer`; an empty one closes the connection.
struct AnsweringServer {
    QTcpServer server;
    QByteArray received;
    QPointer<QTcpSocket> peer;
    explicit AnsweringServer(std::optional<QByteArray> answer) {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this, answer] {
            peer = server.nextPendingConnection();
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [this, answer] {
                received += peer->readAll();
                if (!answer) return;
                if (answer->isEmpty())
                    peer->close();
                else
                    peer->write(*answer);
            });
        });
    }
    quint16 Port() const { return server.serverPort(); }
};

}  // namespace

TEST_F(Invitation, RefusedWithTheReasonAsTypedOrEmpty) {
    b.answer = Copy::Answer::Refuse;
    for (const std::string& reason : {std::string("改天吧\r\n再见"), std::string()}) {
        b.reason = reason;
        const Answer answer = Invite(b.Port());
        EXPECT_EQ(answer.result, InvitationResult::Refused);
        EXPECT_EQ(answer.reason, QString::fromStdString(reason));
        EXPECT_EQ(answer.socket, nullptr);
    }
    // The question carried the peer's address and the text.
    ASSERT_EQ(b.asked.size(), 2u);
    EXPECT_EQ(b.asked[0].first, "127.0.0.1");
    EXPECT_EQ(b.asked[0].second, U("你好，我们来下六子棋好吗？"));
    EXPECT_FALSE(b.session.GameRunning());
    // The inviter closed its end, so the refused connection gives its slot back.
    EXPECT_TRUE(WaitFor([&] { return b.Listener().HeldConnections() == 0; }));
}

TEST_F(Invitation, AcceptedThenAWholeGameToTheEnd) {
    b.session.Start(
        {GameKind::OnePlayer, "乙", ""});  // the invited copy's last Start leaves its name
    b.answer = Copy::Answer::Accept;
    Answer answer = Invite(b.Port());
    ASSERT_EQ(answer.result, InvitationResult::Accepted);
    ASSERT_NE(answer.socket, nullptr);
    EXPECT_EQ(answer.socket->state(), QAbstractSocket::ConnectedState);

    // The invited copy plays white on the accepted slot and waits for the hello.
    EXPECT_EQ(b.hub.Connection(1).CurrentState(), GameConnection::State::Channel);
    EXPECT_EQ(b.session.ActiveSlot(), 1);
    EXPECT_EQ(b.session.Kind(), GameKind::Network);
    EXPECT_EQ(b.hub.Channel(1).role, Answering);
    EXPECT_EQ(b.hub.Channel(1).state, AwaitingHello);

    a.hub.SetPendingPeer(answer.socket.release());
    a.session.Start({GameKind::Network, "甲", ""});
    ASSERT_TRUE(WaitFor([&] { return a.hub.Channel(0).state == LocalTurn; }));
    EXPECT_EQ(b.hub.Channel(1).state, AwaitingMove);
    EXPECT_EQ(a.view.match, "战局：   黑:甲(本机)   VS   白:乙(127.0.0.1)");
    EXPECT_EQ(a.view.status, "现在该你走棋了...");
    EXPECT_EQ(b.view.match, "战局：   白:乙(本机)   VS   黑:甲(127.0.0.1)");
    EXPECT_EQ(b.view.status, "正在等待对方走棋,请稍后...");
    EXPECT_FALSE(b.session.LocalMayMove());

    const char* moves[] = {"21U", "34D", "22U", "44L", "31U", "43U", "42U"};
    for (int i = 0; i < 7; ++i) {
        Copy& mover = i % 2 == 0 ? a : b;
        Copy& other = i % 2 == 0 ? b : a;
        ASSERT_EQ(mover.session.LocalMayMove(), true) << moves[i];
        Drag(mover.session, moves[i]);
        if (i < 6) {
            EXPECT_EQ(mover.view.status, "正在等待对方走棋,请稍后...");
            ASSERT_TRUE(WaitFor([&] { return other.session.LocalMayMove(); })) << moves[i];
            EXPECT_EQ(other.view.status, "现在该你走棋了...");
        }
        EXPECT_TRUE(WaitFor([&] {
            return BoardToText(a.session.CurrentBoard()) == BoardToText(b.session.CurrentBoard());
        }));
    }
    ASSERT_TRUE(WaitFor([&] { return !b.session.GameRunning(); }));
    EXPECT_FALSE(a.session.GameRunning());
    EXPECT_EQ(a.view.status, "游戏结束，恭喜你，你赢了!!");
    EXPECT_EQ(b.view.status, "游戏结束，你输了 :(");
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

TEST_F(Invitation, CancelEndsTheWaitAndClosesTheSocket) {
    AnsweringServer silent(std::nullopt);  // takes the connection and never answers
    const Answer answer = Invite(silent.Port(), kText, [this] { client.Cancel(); });
    EXPECT_EQ(answer.result, InvitationResult::Cancelled);
    EXPECT_EQ(answer.socket, nullptr);
    ASSERT_TRUE(WaitFor([&] { return silent.received.size() > 0; }));
    EXPECT_EQ(silent.received, "i" + G("你好，我们来下六子棋好吗？"));
    // The host sees the end of the connection.
    ASSERT_TRUE(WaitFor([&] {
        return silent.peer != nullptr && silent.peer->state() != QAbstractSocket::ConnectedState;
    }));
}

TEST_F(Invitation, AnswersAreReadByTheirFirstByte) {
    const struct {
        QByteArray answer;  // empty: the host closes the connection
        InvitationResult result;
    } cases[] = {
        {"x", InvitationResult::InvalidAnswer},
        {"", InvitationResult::InvalidAnswer},
        {"axyz", InvitationResult::Accepted},  // an acceptance with more bytes still counts
        {"r", InvitationResult::Refused},
    };
    for (const auto& c : cases) {
        AnsweringServer raw(c.answer);
        EXPECT_EQ(Invite(raw.Port()).result, c.result) << c.answer.constData();
    }
}

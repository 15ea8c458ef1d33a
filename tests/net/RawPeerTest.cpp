#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

#include "BoardText.h"
#include "GameConnection.h"
#include "InvitationListener.h"
#include "NetTestSupport.h"

using namespace nettest;

namespace {

// A peer that speaks raw bytes to a copy.
struct RawPeer {
    QTcpSocket socket;
    QByteArray received;

    explicit RawPeer(quint16 port) {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { received += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, port);
        EXPECT_TRUE(WaitFor([this] { return socket.state() == QAbstractSocket::ConnectedState; }));
    }
    void Write(const QByteArray& bytes) {
        socket.write(bytes);
        socket.flush();
    }
    bool WaitBytes(int n) {
        return WaitFor([this, n] { return received.size() >= n; });
    }
    bool WaitClosed() {
        return WaitFor([this] { return socket.state() == QAbstractSocket::UnconnectedState; });
    }
    QByteArray Take() {
        QByteArray bytes = received;
        received.clear();
        return bytes;
    }
};

const std::string kStart = "bbbbb..bw..wwwww";

struct RawPeerTest : ::testing::Test {
    Copy copy;
    ModalScript script;

    // The copy's name in its hello is the one its last Start left.
    void NameTheCopy() {
        if (copy.session.PlayerName() != Gbk("白方")) copy.session.Start({1, Gbk("白方"), ""});
    }

    // A raw peer whose invitation the copy accepts, followed by the hello exchange: the raw
    // peer then plays black against the copy on `slot`.
    std::unique_ptr<RawPeer> Opponent(int slot, const QByteArray& name = "raw") {
        NameTheCopy();
        auto peer = std::make_unique<RawPeer>(copy.Port());
        script.Box(QMessageBox::Yes);
        peer->Write("i");
        EXPECT_TRUE(peer->WaitBytes(1));
        EXPECT_EQ(peer->Take(), "a");
        EXPECT_EQ(copy.session.ActiveSlot(), slot);
        peer->Write("m" + name);
        EXPECT_TRUE(peer->WaitBytes(1));
        EXPECT_TRUE(WaitFor([&] { return copy.session.channels[slot].state == AwaitingMove; }));
        EXPECT_TRUE(WaitFor([&] { return peer->received.size() >= 1 + 4; }));
        EXPECT_EQ(peer->Take(), "m" + G("白方"));
        return peer;
    }
};

}  // namespace

TEST_F(RawPeerTest, ProbeIsAnsweredWithItsExactBytesAndClosed) {
    RawPeer peer(copy.Port());
    peer.Write("w");
    ASSERT_TRUE(peer.WaitBytes(3));
    EXPECT_TRUE(peer.WaitClosed());
    EXPECT_EQ(peer.received, B({0x59, 0x01, 0x00}));
    EXPECT_TRUE(WaitFor([&] { return copy.hub.Listener().HeldConnections() == 0; }));
}

TEST_F(RawPeerTest, InvitationHelloAndMovesHaveTheirExactBytesBothWays) {
    NameTheCopy();
    RawPeer peer(copy.Port());
    script.Box(QMessageBox::Yes);
    peer.Write("i" + G("来玩吧\r\n好吗"));
    ASSERT_TRUE(peer.WaitBytes(1));
    EXPECT_EQ(peer.Take(), B({0x61}));
    ASSERT_EQ(script.seen.size(), 1u);
    EXPECT_EQ(
        script.seen[0].text,
        U("来自 127.0.0.1 的朋友邀请你一起下六子棋,\n 你要接受对方的邀请吗？\n  附加信息:\n      "
          "来玩吧\r\n好吗"));
    EXPECT_EQ(copy.session.channels[1].role, Answering);
    EXPECT_EQ(copy.session.channels[1].state, AwaitingHello);

    // A hello split over two writes still carries the whole name.
    peer.Write("m" + G("黑"));
    QTest::qWait(5);
    peer.Write(G("方"));
    ASSERT_TRUE(peer.WaitBytes(5));
    EXPECT_EQ(peer.Take(), "m" + G("白方"));
    EXPECT_EQ(copy.view.match, Gbk("战局：   白:白方(本机)   VS   黑:黑方(127.0.0.1)"));
    EXPECT_EQ(copy.session.OpponentName(), Gbk("黑方"));

    // A move split over two writes is played once, whole.
    peer.Write(B({0x74, 0x02}));
    QTest::qWait(50);
    EXPECT_TRUE(copy.view.black.empty());
    peer.Write(B({0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.session.InputEnabled() == 1; }));
    EXPECT_EQ(copy.view.black, std::vector<std::string>{"21U"});
    EXPECT_EQ(copy.view.status, Gbk("现在该你走棋了..."));

    Drag(copy.session, "34D");
    ASSERT_TRUE(peer.WaitBytes(4));
    EXPECT_EQ(peer.Take(), B({0x74, 0x03, 0x04, 0x01}));

    // Two moves joined in one write: the second is out of turn and waits for its turn.
    peer.Write(B({0x74, 0x02, 0x02, 0x00, 0x74, 0x03, 0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.view.black.size() == 2; }));
    QTest::qWait(50);
    EXPECT_EQ(copy.view.black.size(), 2u);
    Drag(copy.session, "44L");
    ASSERT_TRUE(peer.WaitBytes(4));
    EXPECT_EQ(peer.Take(), B({0x74, 0x04, 0x04, 0x02}));
    ASSERT_TRUE(WaitFor([&] { return copy.view.black.size() == 3; }));
    EXPECT_EQ(copy.view.black, (std::vector<std::string>{"21U", "22U", "31U"}));
}

TEST_F(RawPeerTest, IllegalMovesAreDroppedAndTheCopyKeepsWaiting) {
    auto peer = Opponent(1);
    const QByteArray illegal[] = {
        B({0x74, 0x00, 0x01, 0x03}),         // from-point on the ring
        B({0xFF - 0x8B, 0xFF, 0xFF, 0x00}),  // not a move at all
        B({0x74, 0xFF, 0x80, 0x00}),         // from-point far outside the board
        B({0x74, 0x01, 0x03, 0x03}),         // someone else's piece (white on 13)
        B({0x74, 0x01, 0x01, 0x03}),         // occupied destination
        B({0x74, 0x01, 0x01, 0x01}),         // off-grid destination
        B({0x74, 0x02, 0x02, 0x00}),         // an empty from-point
        B({0x74, 0x02, 0x01, 0x07}),         // direction outside 0..3
        B({0x74, 0x02, 0x01, 0x04}),         // no direction
        B({0x6D, 0x61}),                     // a second hello
    };
    for (const QByteArray& bytes : illegal) peer->Write(bytes);
    QTest::qWait(150);
    EXPECT_EQ(BoardToText(copy.session.CurrentBoard()), kStart);
    EXPECT_TRUE(copy.view.black.empty());
    EXPECT_EQ(copy.session.channels[1].state, AwaitingMove);
    EXPECT_EQ(copy.session.InputEnabled(), 0);
    EXPECT_EQ(copy.view.status, Gbk("正在等待对方走棋,请稍后..."));
    // A legal move after all that is played.
    peer->Write(B({0x74, 0x02, 0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.session.InputEnabled() == 1; }));
    EXPECT_EQ(copy.view.black, std::vector<std::string>{"21U"});
}

TEST_F(RawPeerTest, AnOverlongNameIsCutTo99Bytes) {
    auto peer = Opponent(1, QByteArray(150, 'n'));
    EXPECT_EQ(copy.session.OpponentName(), std::string(99, 'n'));
    // The tail of the name is not taken for a move later.
    peer->Write(B({0x74, 0x02, 0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.session.InputEnabled() == 1; }));
    EXPECT_EQ(copy.view.black, std::vector<std::string>{"21U"});
}

TEST_F(RawPeerTest, GarbageFirstRequestsGetNoAnswerAndHoldTheSlotUntilClosed) {
    for (const QByteArray& request : {QByteArray("hello"), B({0x00}), B({0x59, 0x01, 0x00}),
                                      QByteArray("a"), QByteArray("m") + "name"}) {
        RawPeer peer(copy.Port());
        peer.Write(request);
        QTest::qWait(80);
        EXPECT_TRUE(peer.received.isEmpty()) << request.toHex().constData();
        EXPECT_EQ(peer.socket.state(), QAbstractSocket::ConnectedState);
        EXPECT_EQ(copy.hub.Listener().HeldConnections(), 1);
        // Later bytes on such a connection are not read as a request either.
        peer.Write("w");
        QTest::qWait(50);
        EXPECT_TRUE(peer.received.isEmpty());
        peer.socket.disconnectFromHost();
        EXPECT_TRUE(WaitFor([&] { return copy.hub.Listener().HeldConnections() == 0; }));
    }
    EXPECT_EQ(copy.session.GameState(), NoGame);
}

TEST_F(RawPeerTest, ASilentConnectionIsDroppedAndTheWindowStaysResponsive) {
    copy.hub.Listener().SetRequestTimeout(200);
    RawPeer silent(copy.Port());
    EXPECT_TRUE(WaitFor([&] { return copy.hub.Listener().HeldConnections() == 1; }));
    // Meanwhile a probe from someone else is answered at once.
    RawPeer tester(copy.Port());
    tester.Write("w");
    ASSERT_TRUE(tester.WaitBytes(3));
    EXPECT_EQ(silent.socket.state(), QAbstractSocket::ConnectedState);
    ASSERT_TRUE(silent.WaitClosed());
    EXPECT_TRUE(WaitFor([&] { return copy.hub.Listener().HeldConnections() == 0; }));
}

TEST_F(RawPeerTest, FiveConnectionsAtMostAndASixthWaitsForAFreeSlot) {
    std::vector<std::unique_ptr<RawPeer>> held;
    for (int i = 0; i < 5; ++i) {
        held.push_back(std::make_unique<RawPeer>(copy.Port()));
        held.back()->Write("x");
    }
    ASSERT_TRUE(WaitFor([&] { return copy.hub.Listener().HeldConnections() == 5; }));
    RawPeer sixth(copy.Port());
    sixth.Write("w");
    QTest::qWait(150);
    EXPECT_TRUE(sixth.received.isEmpty());
    held[2]->socket.disconnectFromHost();
    ASSERT_TRUE(sixth.WaitBytes(3));
    EXPECT_EQ(sixth.received, B({0x59, 0x01, 0x00}));
    // Slots handed out over a run are not used up: many probes later a probe still works.
    for (int i = 0; i < 8; ++i) {
        RawPeer tester(copy.Port());
        tester.Write("w");
        ASSERT_TRUE(tester.WaitBytes(3)) << i;
        ASSERT_TRUE(tester.WaitClosed());
    }
}

TEST_F(RawPeerTest, MovesOnAnEarlierGamesConnectionAreIgnored) {
    auto first = Opponent(1, "one");
    auto second = Opponent(2, "two");
    EXPECT_EQ(copy.session.ActiveSlot(), 2);
    first->Write(B({0x74, 0x02, 0x01, 0x00}));
    QTest::qWait(100);
    EXPECT_TRUE(copy.view.black.empty());
    EXPECT_EQ(BoardToText(copy.session.CurrentBoard()), kStart);
    second->Write(B({0x74, 0x02, 0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.view.black.size() == 1; }));
    EXPECT_EQ(copy.view.black, std::vector<std::string>{"21U"});
}

TEST_F(RawPeerTest, AnInviterThatLeavesDuringTheQuestionStartsNoGame) {
    RawPeer peer(copy.Port());
    // The inviter goes away while the question is up; then the user says Yes.
    script
        .Then([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box == nullptr) return false;
            peer.socket.abort();
            QTest::qWait(100);
            box->button(QMessageBox::Yes)->click();
            return true;
        })
        .Box();
    peer.Write("i");
    ASSERT_TRUE(WaitFor([&] { return script.Done(); }));
    ASSERT_EQ(script.seen.size(), 1u);
    EXPECT_EQ(script.seen[0].text, U("回应连接失败！"));
    EXPECT_EQ(script.seen[0].caption, U("监听信息"));
    EXPECT_EQ(script.seen[0].icon, QMessageBox::Information);
    EXPECT_EQ(copy.session.GameState(), NoGame);
    EXPECT_EQ(copy.hub.Listener().acceptedSlot, -2);
    EXPECT_TRUE(WaitFor([&] { return copy.hub.Listener().HeldConnections() == 0; }));
}

TEST_F(RawPeerTest, ANewInvitingGameClosesTheOldSocketOnSlotZero) {
    QTcpServer far;
    far.listen(QHostAddress::LocalHost, 0);
    auto connectPair = [&far]() {
        auto* local = new QTcpSocket;
        local->connectToHost(QHostAddress::LocalHost, far.serverPort());
        EXPECT_TRUE(WaitFor([&] { return far.hasPendingConnections(); }));
        QTcpSocket* remote = far.nextPendingConnection();
        EXPECT_TRUE(WaitFor([&] { return local->state() == QAbstractSocket::ConnectedState; }));
        return std::make_pair(local, remote);
    };
    auto [local1, remote1] = connectPair();
    copy.hub.SetPendingPeer(local1);
    copy.session.Start({3, Gbk("甲"), ""});
    ASSERT_TRUE(WaitFor([&] { return remote1->bytesAvailable() >= 3; }));
    EXPECT_EQ(remote1->readAll(), "m" + G("甲"));

    auto [local2, remote2] = connectPair();
    copy.hub.SetPendingPeer(local2);
    copy.session.Start({3, Gbk("甲"), ""});
    EXPECT_TRUE(WaitFor([&] { return remote1->state() == QAbstractSocket::UnconnectedState; }));
    ASSERT_TRUE(WaitFor([&] { return remote2->bytesAvailable() >= 3; }));
    // The closed game's peer can no longer reach the session; the new one can.
    remote2->write("m" + G("乙"));
    ASSERT_TRUE(WaitFor([&] { return copy.session.channels[0].state == LocalTurn; }));
    EXPECT_EQ(copy.view.match, Gbk("战局：   黑:甲(本机)   VS   白:乙(127.0.0.1)"));
}

TEST_F(RawPeerTest, ListeningOnAPortInUseFailsWithItsMessage) {
    FakeView view;
    GameSession session{view, nullptr, nullptr};
    NetworkHub second{session, nullptr};
    script.Box();
    EXPECT_FALSE(second.StartListening(copy.Port(), QHostAddress::LocalHost));
    ASSERT_EQ(script.seen.size(), 1u);
    EXPECT_EQ(script.seen[0].text, U("创建接口失败！"));
    EXPECT_EQ(script.seen[0].caption, "KELVARA");
    EXPECT_EQ(script.seen[0].icon, QMessageBox::Information);
}

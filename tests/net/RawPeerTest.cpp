#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
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

    // The copy's name in its hello is the one its last Start left.
    void NameTheCopy() {
        if (copy.session.PlayerName() != "白方")
            copy.session.Start({GameKind::OnePlayer, "白方", ""});
    }

    // A raw peer whose invitation the copy accepts, followed by the hello exchange: the raw
    // peer then plays black against the copy on `slot`.
    std::unique_ptr<RawPeer> Opponent(int slot, const QByteArray& name = "raw") {
        NameTheCopy();
        auto peer = std::make_unique<RawPeer>(copy.Port());
        copy.answer = Copy::Answer::Accept;
        peer->Write("i");
        EXPECT_TRUE(peer->WaitBytes(1));
        EXPECT_EQ(peer->Take(), "a");
        EXPECT_EQ(copy.session.ActiveSlot(), slot);
        peer->Write("m" + name);
        EXPECT_TRUE(peer->WaitBytes(1));
        EXPECT_TRUE(WaitFor([&] { return copy.hub.Channel(slot).state == AwaitingMove; }));
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
    EXPECT_TRUE(WaitFor([&] { return copy.Listener().HeldConnections() == 0; }));
}

TEST_F(RawPeerTest, InvitationHelloAndMovesHaveTheirExactBytesBothWays) {
    NameTheCopy();
    RawPeer peer(copy.Port());
    copy.answer = Copy::Answer::Accept;
    peer.Write("i" + G("来玩吧\r\n好吗"));
    ASSERT_TRUE(peer.WaitBytes(1));
    EXPECT_EQ(peer.Take(), B({0x61}));
    ASSERT_EQ(copy.asked.size(), 1u);
    EXPECT_EQ(copy.asked[0].first, "127.0.0.1");
    EXPECT_EQ(copy.asked[0].second, U("来玩吧\r\n好吗"));
    EXPECT_EQ(copy.hub.Channel(1).role, Answering);
    EXPECT_EQ(copy.hub.Channel(1).state, AwaitingHello);

    // A hello split over two writes still carries the whole name.
    GameConnection& c = copy.hub.Connection(1);
    peer.Write("m" + G("黑"));
    ASSERT_TRUE(WaitFor([&] { return c.Buffer().Size() == 3; }));
    peer.Write(G("方"));
    ASSERT_TRUE(peer.WaitBytes(5));
    EXPECT_EQ(peer.Take(), "m" + G("白方"));
    EXPECT_EQ(copy.view.match, "战局：   白:白方(本机)   VS   黑:黑方(127.0.0.1)");
    EXPECT_EQ(copy.session.OpponentName(), "黑方");

    // A move split over two writes is played once, whole.
    peer.Write(B({0x74, 0x02}));
    ASSERT_TRUE(WaitFor([&] { return c.Buffer().Size() == 2; }));
    EXPECT_TRUE(copy.view.black.empty());
    peer.Write(B({0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.session.LocalMayMove(); }));
    EXPECT_EQ(copy.view.black, std::vector<std::string>{"21U"});
    EXPECT_EQ(copy.view.status, "现在该你走棋了...");

    Drag(copy.session, "34D");
    ASSERT_TRUE(peer.WaitBytes(4));
    EXPECT_EQ(peer.Take(), B({0x74, 0x03, 0x04, 0x01}));

    // Two moves joined in one write: the second is out of turn and waits for its turn.
    peer.Write(B({0x74, 0x02, 0x02, 0x00, 0x74, 0x03, 0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.view.black.size() == 2; }));
    EXPECT_EQ(c.Buffer().Size(), 4u);
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
    // The last refused move is named; the hello after it is no move and is dropped unnamed.
    ASSERT_TRUE(WaitFor([&] {
        return copy.view.status == "对方的走法 21ERR 不合规则,正在等待对方走棋,请稍后..." &&
               copy.hub.Connection(1).Buffer().Empty();
    }));
    EXPECT_EQ(BoardToText(copy.session.CurrentBoard()), kStart);
    EXPECT_TRUE(copy.view.black.empty());
    EXPECT_EQ(copy.hub.Channel(1).state, AwaitingMove);
    EXPECT_FALSE(copy.session.LocalMayMove());
    // A legal move after all that is played.
    peer->Write(B({0x74, 0x02, 0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.session.LocalMayMove(); }));
    EXPECT_EQ(copy.view.black, std::vector<std::string>{"21U"});
}

TEST_F(RawPeerTest, JunkEndingInTheMoveCodeLeavesTheMoveAfterItToBePlayed) {
    auto peer = Opponent(1);
    peer->Write(QByteArray("xyzt") + B({0x74, 0x02, 0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.session.LocalMayMove(); }));
    EXPECT_EQ(copy.view.black, std::vector<std::string>{"21U"});
    EXPECT_TRUE(copy.hub.Connection(1).Buffer().Empty());
}

TEST_F(RawPeerTest, AnOverlongNameIsCutTo99Bytes) {
    auto peer = Opponent(1, QByteArray(150, 'n'));
    EXPECT_EQ(copy.session.OpponentName(), std::string(99, 'n'));
    // The tail of the name is not taken for a move later.
    peer->Write(B({0x74, 0x02, 0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.session.LocalMayMove(); }));
    EXPECT_EQ(copy.view.black, std::vector<std::string>{"21U"});
}

TEST_F(RawPeerTest, AFirstRequestWithNoKnownCodeClosesTheConnectionUnanswered) {
    for (const QByteArray& request : {QByteArray("hello"), B({0x00}), B({0x59, 0x01, 0x00}),
                                      QByteArray("a"), QByteArray("m") + "name"}) {
        RawPeer peer(copy.Port());
        peer.Write(request);
        ASSERT_TRUE(peer.WaitClosed()) << request.toHex().constData();
        EXPECT_TRUE(peer.received.isEmpty()) << request.toHex().constData();
        EXPECT_EQ(copy.Listener().HeldConnections(), 0);
        EXPECT_TRUE(WaitFor([&] { return copy.Listener().WaitingConnections() == 0; }));
    }
    EXPECT_FALSE(copy.session.GameRunning());
}

TEST_F(RawPeerTest, ASilentConnectionIsDroppedAndTheWindowStaysResponsive) {
    copy.Listener().SetRequestTimeout(200);
    RawPeer silent(copy.Port());
    // Waiting for its first request, it takes none of the five slots.
    EXPECT_TRUE(WaitFor([&] { return copy.Listener().WaitingConnections() == 1; }));
    EXPECT_EQ(copy.Listener().HeldConnections(), 0);
    // Meanwhile a probe from someone else is answered at once.
    RawPeer tester(copy.Port());
    tester.Write("w");
    ASSERT_TRUE(tester.WaitBytes(3));
    EXPECT_EQ(silent.socket.state(), QAbstractSocket::ConnectedState);
    ASSERT_TRUE(silent.WaitClosed());
    EXPECT_TRUE(WaitFor([&] { return copy.Listener().WaitingConnections() == 0; }));
}

TEST_F(RawPeerTest, JunkAndSilentPeersCannotMakeTheListenerDeaf) {
    std::vector<std::unique_ptr<RawPeer>> junk;
    for (int i = 0; i < 5; ++i) {
        junk.push_back(std::make_unique<RawPeer>(copy.Port()));
        junk.back()->Write("z");
    }
    std::vector<std::unique_ptr<RawPeer>> silent;
    for (int i = 0; i < 50; ++i) silent.push_back(std::make_unique<RawPeer>(copy.Port()));
    ASSERT_TRUE(WaitFor([&] { return copy.Listener().WaitingConnections() == 50; }));
    for (auto& peer : junk) EXPECT_TRUE(peer->WaitClosed());

    // A fresh probe is answered at once, not after the silent peers' deadlines.
    QElapsedTimer clock;
    clock.start();
    RawPeer probe(copy.Port());
    probe.Write("w");
    ASSERT_TRUE(probe.WaitBytes(3));
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(probe.received, B({0x59, 0x01, 0x00}));
    EXPECT_TRUE(probe.WaitClosed());
    // The silent peers are all still connected and waiting: none was refused or pushed out.
    EXPECT_EQ(copy.Listener().HeldConnections(), 0);
    for (auto& peer : silent) EXPECT_EQ(peer->socket.state(), QAbstractSocket::ConnectedState);
    EXPECT_EQ(copy.Listener().WaitingConnections(), 50);
    // Many probes later a probe still works.
    for (int i = 0; i < 8; ++i) {
        RawPeer tester(copy.Port());
        tester.Write("w");
        ASSERT_TRUE(tester.WaitBytes(3)) << i;
        ASSERT_TRUE(tester.WaitClosed());
    }
}

TEST_F(RawPeerTest, BeyondTheWaitingBoundTheLongestWaitingPeerMakesRoom) {
    std::vector<std::unique_ptr<RawPeer>> silent;
    for (int i = 0; i < InvitationListener::kMaxWaiting; ++i)
        silent.push_back(std::make_unique<RawPeer>(copy.Port()));
    ASSERT_TRUE(WaitFor(
        [&] { return copy.Listener().WaitingConnections() == InvitationListener::kMaxWaiting; }));
    RawPeer probe(copy.Port());
    probe.Write("w");
    ASSERT_TRUE(probe.WaitBytes(3));
    EXPECT_TRUE(silent.front()->WaitClosed());
    EXPECT_LE(copy.Listener().WaitingConnections(), InvitationListener::kMaxWaiting);
}

TEST_F(RawPeerTest, ProbesOfPeersThatHaveGoneReportNoFailedReply) {
    QSignalSpy failed(&copy.Listener(), &InvitationListener::replyFailed);
    std::vector<std::unique_ptr<RawPeer>> junk;
    for (int i = 0; i < 5; ++i) {
        junk.push_back(std::make_unique<RawPeer>(copy.Port()));
        junk.back()->Write("z");
    }
    for (int i = 0; i < 40; ++i) {
        RawPeer gone(copy.Port());
        gone.Write("w");
        gone.socket.abort();
    }
    RawPeer probe(copy.Port());
    probe.Write("w");
    ASSERT_TRUE(probe.WaitBytes(3));
    EXPECT_TRUE(WaitFor([&] { return copy.Listener().WaitingConnections() == 0; }));
    EXPECT_EQ(failed.count(), 0);
}

TEST_F(RawPeerTest, ARefusedInvitationsConnectionIsClosedOnceTheRefusalIsSent) {
    RawPeer peer(copy.Port());
    copy.answer = Copy::Answer::Refuse;
    peer.Write("i");
    ASSERT_TRUE(peer.WaitClosed());
    EXPECT_EQ(peer.received, "r" + G("对不起，我现在很忙."));
    EXPECT_TRUE(WaitFor([&] { return copy.Listener().HeldConnections() == 0; }));
    EXPECT_FALSE(copy.session.GameRunning());
}

TEST_F(RawPeerTest, AnOpenQuestionHoldsItsSlot) {
    RawPeer peer(copy.Port());
    int heldDuringQuestion = -1;
    QObject::connect(&copy.Listener(), &InvitationListener::invitationArrived, [&](int slot) {
        heldDuringQuestion = copy.Listener().HeldConnections();
        EXPECT_TRUE(copy.Listener().InvitationOpen(slot));
        EXPECT_TRUE(copy.Listener().Accept(slot));
    });
    peer.Write("i");
    ASSERT_TRUE(peer.WaitBytes(1));
    EXPECT_EQ(heldDuringQuestion, 1);
    // Accepted, it carries the game and keeps the slot.
    EXPECT_EQ(copy.Listener().HeldConnections(), 1);
    EXPECT_EQ(copy.hub.Channel(1).state, AwaitingHello);
}

TEST_F(RawPeerTest, ATruncatedMoveFrameIsDroppedAndTheNextMoveIsPlayed) {
    auto peer = Opponent(1);
    peer->Write(B({0x74, 0x02}));
    GameConnection& c = copy.hub.Connection(1);
    ASSERT_TRUE(WaitFor([&] { return c.Buffer().Size() == 2; }));
    // After a quiet time the fragment is gone ...
    ASSERT_TRUE(WaitFor([&] { return c.Buffer().Empty(); }));
    EXPECT_TRUE(copy.view.black.empty());
    // ... and the whole move that follows is read as itself.
    peer->Write(B({0x74, 0x02, 0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.session.LocalMayMove(); }));
    EXPECT_EQ(copy.view.black, std::vector<std::string>{"21U"});
    EXPECT_EQ(copy.view.status, "现在该你走棋了...");
}

TEST_F(RawPeerTest, APeerThatLeavesMidGameEndsItAndTheNextGameCanStart) {
    auto peer = Opponent(1);
    peer->Write(B({0x74, 0x02, 0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.session.LocalMayMove(); }));
    peer->socket.disconnectFromHost();
    ASSERT_TRUE(WaitFor([&] { return !copy.session.GameRunning(); }));
    EXPECT_EQ(copy.view.status, "游戏结束，对方已经离开!!");
    EXPECT_FALSE(copy.view.timerRunning);
    EXPECT_FALSE(copy.session.LocalMayMove());
    EXPECT_EQ(copy.Listener().HeldConnections(), 0);
    // A new invitation gets the slot and a game.
    auto next = Opponent(1, "next");
    EXPECT_TRUE(copy.session.GameRunning());
    EXPECT_TRUE(copy.view.timerRunning);
    // The inviting side too: the peer leaves while its hello is awaited.
    QTcpServer far;
    far.listen(QHostAddress::LocalHost, 0);
    auto* local = new QTcpSocket;
    local->connectToHost(QHostAddress::LocalHost, far.serverPort());
    ASSERT_TRUE(WaitFor([&] { return far.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> remote(far.nextPendingConnection());
    ASSERT_TRUE(WaitFor([&] { return local->state() == QAbstractSocket::ConnectedState; }));
    copy.hub.SetPendingPeer(local);
    copy.session.Start({GameKind::Network, "甲", ""});
    ASSERT_TRUE(WaitFor([&] { return remote->bytesAvailable() >= 3; }));
    remote->abort();
    ASSERT_TRUE(WaitFor([&] { return !copy.session.GameRunning(); }));
    EXPECT_EQ(copy.view.status, "游戏结束，对方已经离开!!");
}

TEST_F(RawPeerTest, ARefusedPeerMoveIsNamedAndTheGameWaitsForALegalOne) {
    auto peer = Opponent(1);
    peer->Write(B({0x74, 0x01, 0x04, 0x00}));  // off the board
    ASSERT_TRUE(WaitFor([&] { return copy.view.status != "正在等待对方走棋,请稍后..."; }));
    EXPECT_EQ(copy.view.status, "对方的走法 14U 不合规则,正在等待对方走棋,请稍后...");
    EXPECT_FALSE(copy.session.LocalMayMove());
    peer->Write(B({0x74, 0x02, 0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.session.LocalMayMove(); }));
    EXPECT_EQ(copy.view.black, std::vector<std::string>{"21U"});
}

TEST_F(RawPeerTest, MovesOnAnEarlierGamesConnectionAreIgnored) {
    auto first = Opponent(1, "one");
    auto second = Opponent(2, "two");
    EXPECT_EQ(copy.session.ActiveSlot(), 2);
    // The old connection reads the move (its handler runs before the spy's) and drops it.
    QSignalSpy read(copy.hub.Connection(1).Socket(), &QIODevice::readyRead);
    first->Write(B({0x74, 0x02, 0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return read.count() > 0; }));
    EXPECT_TRUE(copy.view.black.empty());
    EXPECT_EQ(BoardToText(copy.session.CurrentBoard()), kStart);
    second->Write(B({0x74, 0x02, 0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.view.black.size() == 1; }));
    EXPECT_EQ(copy.view.black, std::vector<std::string>{"21U"});
}

TEST_F(RawPeerTest, AnInviterThatLeavesBeforeTheAnswerWithdrawsItsInvitation) {
    RawPeer peer(copy.Port());
    QSignalSpy arrived(&copy.Listener(), &InvitationListener::invitationArrived);
    QSignalSpy withdrawn(&copy.Listener(), &InvitationListener::invitationWithdrawn);
    QSignalSpy failed(&copy.Listener(), &InvitationListener::replyFailed);
    peer.Write("i");
    ASSERT_TRUE(WaitFor([&] { return arrived.count() == 1; }));
    const int slot = arrived[0][0].toInt();
    peer.socket.abort();
    ASSERT_TRUE(WaitFor([&] { return withdrawn.count() == 1; }));
    EXPECT_EQ(withdrawn[0][0].toInt(), slot);
    // Its slot is back at once; answers that come late start no game and tell of no failure.
    EXPECT_EQ(copy.Listener().HeldConnections(), 0);
    EXPECT_FALSE(copy.Listener().InvitationOpen(slot));
    EXPECT_FALSE(copy.Listener().Accept(slot));
    copy.Listener().Refuse(slot, "late");
    EXPECT_EQ(failed.count(), 0);
    EXPECT_FALSE(copy.session.GameRunning());
    EXPECT_EQ(copy.hub.Channel(slot).state, Idle);
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
    const auto [local1, remote1Socket] = connectPair();
    QTcpSocket* remote1 = remote1Socket;  // a plain variable, so the lambdas below can take it
    copy.hub.SetPendingPeer(local1);
    copy.session.Start({GameKind::Network, "甲", ""});
    // The hello goes out on the socket just attached: sent before, it would be lost.
    ASSERT_TRUE(WaitFor([&] { return remote1->bytesAvailable() >= 3; }));
    EXPECT_EQ(remote1->readAll(), "m" + G("甲"));

    const auto [local2, remote2Socket] = connectPair();
    QTcpSocket* remote2 = remote2Socket;
    copy.hub.SetPendingPeer(local2);
    copy.session.Start({GameKind::Network, "甲", ""});
    EXPECT_TRUE(WaitFor([&] { return remote1->state() == QAbstractSocket::UnconnectedState; }));
    // Sent before the new socket was attached, the hello would have gone to the old peer.
    ASSERT_TRUE(WaitFor([&] { return remote2->bytesAvailable() >= 3; }));
    EXPECT_EQ(remote2->readAll(), "m" + G("甲"));
    // The closed game's peer can no longer reach the session; the new one can.
    remote2->write("m" + G("乙"));
    ASSERT_TRUE(WaitFor([&] { return copy.hub.Channel(0).state == LocalTurn; }));
    EXPECT_EQ(copy.view.match, "战局：   黑:甲(本机)   VS   白:乙(127.0.0.1)");
}

TEST_F(RawPeerTest, ListeningOnAPortInUseFailsAsASocketFailure) {
    FakeView view;
    GameSession session{view, nullptr, nullptr};
    NetworkHub second{session};
    EXPECT_EQ(second.StartListening(copy.Port(), QHostAddress::LocalHost),
              InvitationListener::ListenResult::SocketFailed);
}

TEST_F(RawPeerTest, ASupersededGamesConnectionGivesItsSlotToANewInvitation) {
    std::vector<std::unique_ptr<RawPeer>> peers;
    for (int slot = 1; slot <= 5; ++slot) peers.push_back(Opponent(slot, "p"));
    EXPECT_EQ(copy.Listener().HeldConnections(), 5);
    // Slot 5 carries the running game; the four before carry none any more. A sixth
    // invitation takes the first of them, whose peer is let go.
    auto sixth = Opponent(1, "six");
    EXPECT_TRUE(peers[0]->WaitClosed());
    EXPECT_EQ(copy.session.ActiveSlot(), 1);
    EXPECT_EQ(peers[4]->socket.state(), QAbstractSocket::ConnectedState);
    sixth->Write(B({0x74, 0x02, 0x01, 0x00}));
    ASSERT_TRUE(WaitFor([&] { return copy.session.LocalMayMove(); }));
    EXPECT_EQ(copy.view.black, std::vector<std::string>{"21U"});
}

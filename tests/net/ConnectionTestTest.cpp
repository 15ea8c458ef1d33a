#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include "InvitationClient.h"
#include "InvitationListener.h"
#include "NetTestSupport.h"

using namespace nettest;

namespace {

constexpr int kPollMs = 30;

struct ConnectionTest : ::testing::Test {
    ModalScript script;
    InvitationClient client{nullptr};

    ConnectionTest() { client.SetTiming(kPollMs, 2000); }

    // Runs the test against `port` and returns the one message box it showed.
    Seen Run(quint16 port) {
        script.Box();
        client.TestConnection(kLoopback, port);
        EXPECT_TRUE(script.Done());
        return script.seen.empty() ? Seen{} : script.seen.front();
    }
};

// A server that does one thing with every connection it accepts.
struct RawServer {
    QTcpServer server;
    std::vector<QTcpSocket*> accepted;
    explicit RawServer(std::function<void(QTcpSocket*)> onAccept) {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this, onAccept] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                accepted.push_back(s);
                onAccept(s);
            }
        });
    }
    quint16 Port() const { return server.serverPort(); }
};

quint16 UnusedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();  // closed again when `probe` goes
}

}  // namespace

TEST_F(ConnectionTest, ACopyAnswersWithVersionOneZeroAndGivesItsSlotBack) {
    Copy peer;
    QElapsedTimer clock;
    clock.start();
    const Seen box = Run(peer.Port());
    EXPECT_EQ(box.caption, "KELVARA");
    EXPECT_EQ(box.text, U("连接测试成功，对方程序版本为 v1.0"));
    EXPECT_EQ(box.icon, QMessageBox::Information);
    // The reply is read at a poll, after a one-period wait, not as soon as it arrives. The
    // bound is half a period so that no timer granularity can undercut it.
    EXPECT_GE(clock.elapsed(), kPollMs / 2);
    EXPECT_TRUE(WaitFor([&] { return peer.hub.Listener().HeldConnections() == 0; }));
    // A probe leaves the peer's game state alone.
    EXPECT_FALSE(peer.session.GameRunning());
}

TEST_F(ConnectionTest, VersionBytesAreShownSigned) {
    RawServer raw([](QTcpSocket* s) {
        QObject::connect(s, &QTcpSocket::readyRead, s, [s] {
            s->readAll();
            s->write(B({0x59, 0xFF, 0x02}));
        });
    });
    EXPECT_EQ(Run(raw.Port()).text, U("连接测试成功，对方程序版本为 v-1.2"));
}

TEST_F(ConnectionTest, AServerThatClosesAtOnceRunsNoKelvara) {
    RawServer raw([](QTcpSocket* s) { s->close(); });
    const Seen box = Run(raw.Port());
    EXPECT_EQ(box.text, U("主机没有运行六子棋程序!!"));
    EXPECT_EQ(box.caption, "KELVARA");
}

TEST_F(ConnectionTest, RepliesOfOtherLengthsOrCodesRunNoKelvara) {
    for (const QByteArray& reply :
         {B({0x59, 0x01}), B({0x59, 0x01, 0x00, 0x00}), B({0x58, 0x01, 0x00})}) {
        RawServer raw([reply](QTcpSocket* s) {
            QObject::connect(s, &QTcpSocket::readyRead, s, [s, reply] {
                s->readAll();
                s->write(reply);
            });
        });
        ModalScript own;
        own.Box();
        client.TestConnection(kLoopback, raw.Port());
        ASSERT_EQ(own.seen.size(), 1u);
        EXPECT_EQ(own.seen[0].text, U("主机没有运行六子棋程序!!")) << reply.toHex().constData();
    }
}

TEST_F(ConnectionTest, ASilentServerTimesOutAfterTenPolls) {
    QByteArray received;
    RawServer raw([&received](QTcpSocket* s) {
        QObject::connect(s, &QTcpSocket::readyRead, s,
                         [s, &received] { received += s->readAll(); });
    });
    QElapsedTimer clock;
    clock.start();
    const Seen box = Run(raw.Port());
    EXPECT_EQ(box.text, U("连接超时！"));
    // Ten periods were waited, not one: half of them is a bound no timer can undercut.
    EXPECT_GE(clock.elapsed(), 5 * kPollMs);
    EXPECT_EQ(received, B({0x77}));
    // The test closed its socket.
    ASSERT_EQ(raw.accepted.size(), 1u);
    EXPECT_TRUE(
        WaitFor([&] { return raw.accepted[0]->state() != QAbstractSocket::ConnectedState; }));
}

TEST_F(ConnectionTest, NoListenerMeansNoConnection) {
    const Seen box = Run(UnusedPort());
    EXPECT_EQ(box.text, U("无法与主机建立连接!"));
    EXPECT_EQ(box.caption, "KELVARA");
    EXPECT_EQ(box.icon, QMessageBox::Information);
}

TEST_F(ConnectionTest, AConnectThatHangsGivesUpAtTheTimeLimit) {
    // A listening socket whose queue is full and never accepted: further connection
    // requests are left unanswered by the system.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(fd, 0), 0);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    const quint16 port = ntohs(address.sin_port);
    std::vector<std::unique_ptr<QTcpSocket>> fillers;
    for (int i = 0; i < 3; ++i) {
        fillers.push_back(std::make_unique<QTcpSocket>());
        fillers.back()->connectToHost(QHostAddress::LocalHost, port);
    }
    QTest::qWait(100);

    client.SetTiming(kPollMs, 300);
    QElapsedTimer clock;
    clock.start();
    const Seen box = Run(port);
    const qint64 took = clock.elapsed();
    ::close(fd);
    // The request is never answered, so the limit ends the wait: not at once (half the limit
    // is a bound that no timer granularity undercuts), and not much later.
    EXPECT_EQ(box.text, U("无法与主机建立连接!"));
    EXPECT_GE(took, 150);
    EXPECT_LT(took, 3000);
}

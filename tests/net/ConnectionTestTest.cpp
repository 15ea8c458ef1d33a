#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

#include "InvitationClient.h"
#include "InvitationListener.h"
#include "NetTestSupport.h"

using namespace nettest;
using TestResult = InvitationClient::TestResult;

namespace {

constexpr int kPollMs = 30;

struct Outcome {
    TestResult result = TestResult::SendFailed;
    int major = 0;
    int minor = 0;
};

struct ConnectionTest : ::testing::Test {
    InvitationClient client;

    ConnectionTest() { client.SetTiming(kPollMs, 2000); }

    // Runs the test against `port` and returns what it found.
    Outcome Run(quint16 port) {
        QSignalSpy finished(&client, &InvitationClient::testFinished);
        client.StartTest(kLoopback, port);
        EXPECT_TRUE(WaitFor([&] { return finished.count() == 1; }));
        if (finished.isEmpty()) return {};
        const QList<QVariant> args = finished.takeFirst();
        EXPECT_FALSE(client.Busy());
        return {args[0].value<TestResult>(), args[1].toInt(), args[2].toInt()};
    }
};

// A server that does one thing with every connection it accepts.
struct AcceptingServer {
    QTcpServer server;
    std::vector<QTcpSocket*> accepted;
    explicit AcceptingServer(std::function<void(QTcpSocket*)> onAccept) {
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

// A server that answers every request with `reply`.
std::function<void(QTcpSocket*)> Replying(const QByteArray& reply) {
    return [reply](QTcpSocket* s) {
        QObject::connect(s, &QTcpSocket::readyRead, s, [s, reply] {
            s->readAll();
            s->write(reply);
        });
    };
}

}  // namespace

TEST_F(ConnectionTest, ACopyAnswersWithVersionOneZeroAndGivesItsSlotBack) {
    Copy peer;
    QElapsedTimer clock;
    clock.start();
    const Outcome outcome = Run(peer.Port());
    EXPECT_EQ(outcome.result, TestResult::Answered);
    EXPECT_EQ(outcome.major, 1);
    EXPECT_EQ(outcome.minor, 0);
    // The reply is read at a poll, after a one-period wait, not as soon as it arrives. The
    // bound is half a period so that no timer granularity can undercut it.
    EXPECT_GE(clock.elapsed(), kPollMs / 2);
    EXPECT_TRUE(WaitFor([&] { return peer.Listener().HeldConnections() == 0; }));
    // A probe leaves the peer's game state alone and asks nothing.
    EXPECT_FALSE(peer.session.GameRunning());
    EXPECT_TRUE(peer.asked.empty());
}

TEST_F(ConnectionTest, RepliesAreReadAsVersionsOnlyWhenTheyAreThreeBytesStartingWithY) {
    const struct {
        QByteArray reply;
        TestResult result;
        int major, minor;
    } cases[] = {
        {B({0x59, 0xFF, 0x02}), TestResult::Answered, -1, 2},  // version bytes are signed
        {B({0x59, 0x01}), TestResult::NotKelvara, 0, 0},
        {B({0x59, 0x01, 0x00, 0x00}), TestResult::NotKelvara, 0, 0},
        {B({0x58, 0x01, 0x00}), TestResult::NotKelvara, 0, 0},
    };
    for (const auto& c : cases) {
        AcceptingServer raw(Replying(c.reply));
        const Outcome outcome = Run(raw.Port());
        EXPECT_EQ(outcome.result, c.result) << c.reply.toHex().constData();
        EXPECT_EQ(outcome.major, c.major) << c.reply.toHex().constData();
        EXPECT_EQ(outcome.minor, c.minor) << c.reply.toHex().constData();
    }
}

TEST_F(ConnectionTest, ASilentServerTimesOutAfterTenPolls) {
    QByteArray received;
    AcceptingServer raw([&received](QTcpSocket* s) {
        QObject::connect(s, &QTcpSocket::readyRead, s,
                         [s, &received] { received += s->readAll(); });
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(Run(raw.Port()).result, TestResult::TimedOut);
    // Ten periods were waited, not one: half of them is a bound no timer can undercut.
    EXPECT_GE(clock.elapsed(), 5 * kPollMs);
    EXPECT_EQ(received, B({0x77}));
    // The test closed its socket.
    ASSERT_EQ(raw.accepted.size(), 1u);
    EXPECT_TRUE(
        WaitFor([&] { return raw.accepted[0]->state() != QAbstractSocket::ConnectedState; }));
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
    // Let the fillers' requests reach the queue before the test's own.
    ASSERT_TRUE(
        WaitFor([&] { return fillers.back()->state() != QAbstractSocket::HostLookupState; }));

    client.SetTiming(kPollMs, 300);
    QElapsedTimer clock;
    clock.start();
    const TestResult result = Run(port).result;
    const qint64 took = clock.elapsed();
    ::close(fd);
    // The request is never answered, so the limit ends the wait: not at once (half the limit
    // is a bound that no timer granularity undercuts), and not much later.
    EXPECT_EQ(result, TestResult::ConnectFailed);
    EXPECT_GE(took, 150);
    EXPECT_LT(took, 3000);
}

TEST_F(ConnectionTest, ASecondStartWhileBusyIsIgnored) {
    AcceptingServer raw([](QTcpSocket*) {});
    QSignalSpy finished(&client, &InvitationClient::testFinished);
    client.StartTest(kLoopback, raw.Port());
    EXPECT_TRUE(client.Busy());
    client.StartTest(kLoopback, raw.Port());
    client.StartInvitation(kLoopback, raw.Port(), "x");
    ASSERT_TRUE(WaitFor([&] { return finished.count() == 1; }));
    EXPECT_EQ(raw.accepted.size(), 1u);
}

#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QtGlobal>
#include <string>

class QTcpSocket;

namespace kelvara {

// The outgoing side of network play: the connection test and the invitation. Both connect to
// an IPv4 address and port within a time limit and then look for the peer's answer once per
// poll period (a text answer has no length; the period lets all of it arrive). Nothing here
// blocks or asks the user: each attempt ends with one signal, and the window tells the user.
class InvitationClient : public QObject {
    Q_OBJECT

  public:
    static constexpr int kConnectTimeoutMs = 10000;
    static constexpr int kPollIntervalMs = 1000;
    // The connection test gives up after this many poll periods without an answer.
    static constexpr int kTestPolls = 10;

    enum class TestResult {
        Answered,       // a copy of this program answered with its version
        NotKelvara,     // the host answered something else, or closed the connection
        TimedOut,       // no answer within kTestPolls periods
        ConnectFailed,  // no connection within the time limit
        SendFailed,     // the probe could not be sent
    };
    Q_ENUM(TestResult)
    enum class InvitationResult {
        Accepted,       // the socket waits in TakeSocket()
        Refused,        // with the peer's reason
        InvalidAnswer,  // any other answer, or the connection closed unanswered
        ConnectFailed,
        SendFailed,
        Cancelled,  // Cancel() while the answer was awaited
    };
    Q_ENUM(InvitationResult)

    explicit InvitationClient(QObject* parent = nullptr);
    ~InvitationClient() override;

    // Poll period of both waits and the connect time limit (tests use short ones).
    void SetTiming(int pollIntervalMs, int connectTimeoutMs);

    // True from a Start call until its result signal.
    bool Busy() const { return kind_ != Kind::None; }

    // Sends a probe; ends with testFinished. Ignored while Busy().
    void StartTest(quint32 address, quint16 port);
    // Sends an invitation with `text` (UTF-8; sent as GBK); invitationSent once it is out, then
    // invitationFinished. Ignored while Busy().
    void StartInvitation(quint32 address, quint16 port, const std::string& text);
    // Ends the wait for the answer to an invitation: invitationFinished(Cancelled).
    void Cancel();

    // The connected socket after an accepted invitation; the caller owns it.
    QTcpSocket* TakeSocket();

  signals:
    void testFinished(kelvara::InvitationClient::TestResult result, int major, int minor);
    void invitationSent();
    void invitationFinished(kelvara::InvitationClient::InvitationResult result,
                            const QString& reason);

  private:
    enum class Kind { None, Test, Invitation };

    void Connect(quint32 address, quint16 port);
    void OnConnected();
    void OnConnectFailed();
    void OnPoll();
    // Looks at what the peer has sent; true when that ends the attempt.
    bool LookForAnswer();
    void FinishTest(TestResult result, int major = 0, int minor = 0);
    void FinishInvitation(InvitationResult result, const QString& reason = {});
    void DropSocket();

    Kind kind_ = Kind::None;
    std::string message_;
    QPointer<QTcpSocket> socket_;
    QTimer connectTimer_;
    QTimer pollTimer_;
    int polls_ = 0;
    bool connecting_ = false;
    int pollIntervalMs_ = kPollIntervalMs;
    int connectTimeoutMs_ = kConnectTimeoutMs;
};

}  // namespace kelvara

#pragma once

#include <QtGlobal>
#include <string>

class QTcpSocket;
class QWidget;

namespace kelvara {

// The outgoing side of network play, run from the start-game dialog: the connection test and
// the invitation. Both connect to an IPv4 address and port, and report every outcome in a
// message box owned by `owner`. Waits run local event loops, so the window keeps painting.
class InvitationClient {
  public:
    static constexpr int kConnectTimeoutMs = 10000;
    static constexpr int kPollIntervalMs = 1000;
    static constexpr int kTestPolls = 10;

    explicit InvitationClient(QWidget* owner) : owner_(owner) {}

    // Poll period of both waits and the connect time limit (tests use short ones).
    void SetTiming(int pollIntervalMs, int connectTimeoutMs) {
        pollIntervalMs_ = pollIntervalMs;
        connectTimeoutMs_ = connectTimeoutMs;
    }

    // Sends a probe and shows whether a copy of this program answered, and its version.
    void TestConnection(quint32 address, quint16 port);

    // Asks for the invitation text, sends it and waits under a cancellable notice. Returns
    // the connected socket (the caller owns it) when the peer accepted, else nullptr: the
    // text dialog was cancelled, the connection failed, the peer refused or answered
    // something else, or the user ended the wait.
    QTcpSocket* SendInvitation(quint32 address, quint16 port);

  private:
    // Connects within the time limit; nullptr (after telling the user) on failure.
    QTcpSocket* Connect(quint32 address, quint16 port);
    bool SendBytes(QTcpSocket* socket, const std::string& bytes);
    void Inform(const char* utf8Text);

    QWidget* owner_;
    int pollIntervalMs_ = kPollIntervalMs;
    int connectTimeoutMs_ = kConnectTimeoutMs;
};

}  // namespace kelvara

#include "TcpNetworkPlay.h"

#include "InvitationClient.h"

namespace kelvara {

TcpNetworkPlay::TcpNetworkPlay(GameSession& session, QWidget* owner, quint16 listenPort)
    : hub_(session, owner),
      listenPort_(listenPort),
      pollIntervalMs_(InvitationClient::kPollIntervalMs),
      connectTimeoutMs_(InvitationClient::kConnectTimeoutMs) {}

void TcpNetworkPlay::SetClientTiming(int pollIntervalMs, int connectTimeoutMs) {
    pollIntervalMs_ = pollIntervalMs;
    connectTimeoutMs_ = connectTimeoutMs;
}

bool TcpNetworkPlay::StartListening() {
    return hub_.StartListening(listenPort_);
}

void TcpNetworkPlay::TestConnection(QWidget* dialog, std::uint32_t address, quint16 port) {
    InvitationClient client(dialog);
    client.SetTiming(pollIntervalMs_, connectTimeoutMs_);
    client.TestConnection(address, port);
}

bool TcpNetworkPlay::Invite(QWidget* dialog, std::uint32_t address, quint16 port) {
    InvitationClient client(dialog);
    client.SetTiming(pollIntervalMs_, connectTimeoutMs_);
    QTcpSocket* socket = client.SendInvitation(address, port);
    if (socket == nullptr) return false;
    hub_.SetPendingPeer(socket);
    return true;
}

}  // namespace kelvara

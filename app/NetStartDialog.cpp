#include "NetStartDialog.h"

#include <QLineEdit>

#include "InvitationClient.h"
#include "NetworkHub.h"

namespace kelvara {

NetStartDialog::NetStartDialog(NetworkHub& hub, QWidget* parent, std::string addressBookPath)
    : CSGDlg(parent, std::move(addressBookPath)),
      hub_(hub),
      pollIntervalMs_(InvitationClient::kPollIntervalMs),
      connectTimeoutMs_(InvitationClient::kConnectTimeoutMs) {}

void NetStartDialog::SetClientTiming(int pollIntervalMs, int connectTimeoutMs) {
    pollIntervalMs_ = pollIntervalMs;
    connectTimeoutMs_ = connectTimeoutMs;
}

bool NetStartDialog::RunInvitation() {
    InvitationClient client(this);
    client.SetTiming(pollIntervalMs_, connectTimeoutMs_);
    QTcpSocket* socket = client.SendInvitation(PeerAddress(), static_cast<quint16>(PeerPort()));
    if (socket == nullptr) return false;
    hub_.SetPendingPeer(socket);
    return true;
}

void NetStartDialog::TestConnection() {
    // A port field without a number leaves the port held before.
    std::int16_t port = PeerPort();
    if (!ParsePort(PortEdit()->text(), &port)) port = PeerPort();
    InvitationClient client(this);
    client.SetTiming(pollIntervalMs_, connectTimeoutMs_);
    client.TestConnection(ParseAddress(AddressEdit()->text()), static_cast<quint16>(port));
}

}  // namespace kelvara

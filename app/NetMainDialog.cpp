#include "NetMainDialog.h"

#include "InvitationClient.h"
#include "NetStartDialog.h"
#include "NetworkHub.h"

namespace kelvara {

namespace {

quint16 PortFromEnvironment(quint16 fallback) {
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("KELVARA_LISTEN_PORT", &ok);
    return ok && port > 0 && port < 65536 ? static_cast<quint16>(port) : fallback;
}

}  // namespace

NetMainDialog::NetMainDialog(QWidget* parent)
    : MainDialog(parent),
      hub_(new NetworkHub(Session(), this, this)),
      listenPort_(PortFromEnvironment(static_cast<quint16>(ListenPort()))),
      pollIntervalMs_(InvitationClient::kPollIntervalMs),
      connectTimeoutMs_(InvitationClient::kConnectTimeoutMs) {
    Session().SetNetworkLink(hub_);
}

NetMainDialog::~NetMainDialog() {
    // The connections refer to the session, which goes with the base class.
    Session().SetNetworkLink(nullptr);
    delete hub_;
}

void NetMainDialog::SetClientTiming(int pollIntervalMs, int connectTimeoutMs) {
    pollIntervalMs_ = pollIntervalMs;
    connectTimeoutMs_ = connectTimeoutMs;
}

bool NetMainDialog::StartListening() {
    return hub_->StartListening(listenPort_);
}

std::unique_ptr<CSGDlg> NetMainDialog::CreateStartDialog() {
    auto dialog = std::make_unique<NetStartDialog>(*hub_, this);
    dialog->SetClientTiming(pollIntervalMs_, connectTimeoutMs_);
    return dialog;
}

}  // namespace kelvara

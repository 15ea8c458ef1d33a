#pragma once

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <array>
#include <memory>

#include "InvitationListener.h"
#include "NetworkLink.h"

namespace kelvara {

class GameConnection;
class GameSession;

// The window's network side: the listener and the six game connections (slot 0 for a game
// this copy started by inviting, slots 1 to 5 for incoming connections). It is the session's
// NetworkLink: the session attaches the invited peer, sends hellos and moves, and reads and
// sets the connections' channel states through it.
class NetworkHub : public QObject, public NetworkLink {
    Q_OBJECT

  public:
    explicit NetworkHub(GameSession& session, QObject* parent = nullptr);
    ~NetworkHub() override;

    // Starts the listener (port 0: any free port).
    InvitationListener::ListenResult StartListening(
        quint16 port, const QHostAddress& address = QHostAddress::AnyIPv4);
    quint16 ListeningPort() const;

    // The socket of an accepted invitation; AttachPeer(0) moves it into slot 0.
    void SetPendingPeer(QTcpSocket* socket);

    void AttachPeer(int slot) override;
    void SendHello(int slot, const std::string& name) override;
    void SendMove(int slot, const MoveRecord& move) override;
    ChannelStatus Channel(int slot) const override;
    void SetChannel(int slot, const ChannelStatus& status) override;

    GameConnection& Connection(int slot);
    InvitationListener& Listener() { return *listener_; }

  private:
    void Send(int slot, const std::string& bytes);

    GameSession& session_;
    std::array<GameConnection*, kSlots> connections_{};
    InvitationListener* listener_;
    QPointer<QTcpSocket> pendingPeer_;
};

}  // namespace kelvara

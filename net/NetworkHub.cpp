#include "NetworkHub.h"

#include <QTcpSocket>

#include "GameConnection.h"
#include "GameSession.h"
#include "WireProtocol.h"

namespace kelvara {

NetworkHub::NetworkHub(GameSession& session, QObject* parent) : QObject(parent), session_(session) {
    for (int slot = 0; slot < kSlots; ++slot)
        connections_[static_cast<std::size_t>(slot)] = new GameConnection(slot, session, this);
    listener_ = new InvitationListener(session, connections_, this);
}

NetworkHub::~NetworkHub() {
    if (pendingPeer_ != nullptr) delete pendingPeer_;
}

InvitationListener::ListenResult NetworkHub::StartListening(quint16 port,
                                                            const QHostAddress& address) {
    return listener_->StartListening(port, address);
}

quint16 NetworkHub::ListeningPort() const {
    return listener_->Port();
}

void NetworkHub::SetPendingPeer(QTcpSocket* socket) {
    if (pendingPeer_ != nullptr && pendingPeer_ != socket) delete pendingPeer_;
    pendingPeer_ = socket;
    if (socket != nullptr) socket->setParent(this);
}

GameConnection& NetworkHub::Connection(int slot) {
    return *connections_[static_cast<std::size_t>(slot)];
}

void NetworkHub::AttachPeer(int slot) {
    if (slot != 0) return;  // incoming slots are filled by the listener
    // The previous game's socket on slot 0 is closed before the new one takes its place.
    QTcpSocket* socket = pendingPeer_;
    pendingPeer_ = nullptr;
    connections_[0]->Attach(socket, GameConnection::State::Channel);
}

ChannelStatus NetworkHub::Channel(int slot) const {
    if (slot < 0 || slot >= kSlots) return {};
    const GameConnection& c = *connections_[static_cast<std::size_t>(slot)];
    return c.CurrentState() == GameConnection::State::Channel ? c.Channel() : ChannelStatus{};
}

void NetworkHub::SetChannel(int slot, const ChannelStatus& status) {
    if (slot < 0 || slot >= kSlots) return;
    connections_[static_cast<std::size_t>(slot)]->SetChannel(status);
}

void NetworkHub::Send(int slot, const std::string& bytes) {
    if (slot < 0 || slot >= kSlots) return;
    GameConnection& c = *connections_[static_cast<std::size_t>(slot)];
    // The session does not look at the result: a lost connection shows as a silent peer.
    c.Send(bytes);
    // The session moves to a reading state when this returns; bytes already here are read
    // then.
    c.ScheduleProcessing();
}

void NetworkHub::SendHello(int slot, const std::string& name) {
    Send(slot, WireProtocol::Hello(name));
}

void NetworkHub::SendMove(int slot, const MoveRecord& move) {
    Send(slot, WireProtocol::Move(move));
}

}  // namespace kelvara

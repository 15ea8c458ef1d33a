#include "InvitationListener.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

#include "GameConnection.h"
#include "GameSession.h"
#include "WireProtocol.h"

namespace kelvara {

InvitationListener::InvitationListener(GameSession& session,
                                       std::array<GameConnection*, NetworkLink::kSlots> connections,
                                       QObject* parent)
    : QObject(parent), session_(session), connections_(connections), server_(new QTcpServer(this)) {
    // Connections are taken out of the queue as they come, so the queue only has to hold a
    // burst; it must not refuse connections while many wait for their first request.
    server_->setListenBacklogSize(kMaxWaiting);
    server_->setMaxPendingConnections(kMaxWaiting);
    connect(server_, &QTcpServer::newConnection, this, &InvitationListener::OnIncomingConnection);
    connect(server_, &QTcpServer::acceptError, this,
            [this](QAbstractSocket::SocketError) { emit acceptFailed(); });
    for (int slot = kFirstIncomingSlot; slot <= kLastIncomingSlot; ++slot) {
        connect(connections_[static_cast<std::size_t>(slot)], &GameConnection::closed, this,
                &InvitationListener::OnSlotClosed);
    }
}

InvitationListener::~InvitationListener() = default;

InvitationListener::ListenResult InvitationListener::StartListening(quint16 port,
                                                                    const QHostAddress& address) {
    if (server_->listen(address, port)) return ListenResult::Listening;
    switch (server_->serverError()) {
        case QAbstractSocket::AddressInUseError:
        case QAbstractSocket::SocketAccessError:
        case QAbstractSocket::SocketAddressNotAvailableError:
        case QAbstractSocket::UnsupportedSocketOperationError:
        case QAbstractSocket::SocketResourceError:
            return ListenResult::SocketFailed;
        default:
            return ListenResult::ListenFailed;
    }
}

quint16 InvitationListener::Port() const {
    return server_->serverPort();
}

bool InvitationListener::IsListening() const {
    return server_->isListening();
}

int InvitationListener::HeldConnections() const {
    int held = 0;
    for (int slot = kFirstIncomingSlot; slot <= kLastIncomingSlot; ++slot)
        if (connections_[static_cast<std::size_t>(slot)]->CurrentState() !=
            GameConnection::State::Closed)
            ++held;
    return held;
}

int InvitationListener::FreeSlotIndex() {
    for (int slot = kFirstIncomingSlot; slot <= kLastIncomingSlot; ++slot)
        if (connections_[static_cast<std::size_t>(slot)]->CurrentState() ==
            GameConnection::State::Closed)
            return slot;
    // A connection whose game is over or was superseded carries no game any more.
    for (int slot = kFirstIncomingSlot; slot <= kLastIncomingSlot; ++slot) {
        GameConnection& c = *connections_[static_cast<std::size_t>(slot)];
        if (c.CurrentState() == GameConnection::State::Channel &&
            !session_.CarriesRunningGame(slot)) {
            c.Close();
            return slot;
        }
    }
    return -1;
}

void InvitationListener::OnIncomingConnection() {
    while (server_->hasPendingConnections()) {
        QTcpSocket* socket = server_->nextPendingConnection();
        if (socket == nullptr) {
            emit acceptFailed();
            return;
        }
        if (static_cast<int>(waiting_.size()) >= kMaxWaiting) {
            // Full: the connection that has waited longest makes room.
            GameConnection* oldest = waiting_.front();
            oldest->Close();
            Forget(oldest);
        }
        auto* c = new GameConnection(-1, session_, this);
        connect(c, &GameConnection::requestData, this, &InvitationListener::OnRequestData);
        connect(c, &GameConnection::requestTimedOut, this, &InvitationListener::OnWaitingGone);
        connect(c, &GameConnection::closed, this, &InvitationListener::OnWaitingGone);
        c->Attach(socket, GameConnection::State::AwaitingRequest);
        c->StartRequestDeadline(requestTimeoutMs_);
        waiting_.push_back(c);
    }
}

void InvitationListener::Forget(GameConnection* waiting) {
    const auto it = std::find(waiting_.begin(), waiting_.end(), waiting);
    if (it == waiting_.end()) return;
    waiting_.erase(it);
    waiting->disconnect(this);
    waiting->deleteLater();
}

void InvitationListener::OnWaitingGone(GameConnection* c) {
    c->Close();
    Forget(c);
}

void InvitationListener::OnSlotClosed(GameConnection* c) {
    if (c->CurrentState() == GameConnection::State::Asking) {
        // The inviter left before it was answered: its question goes, and so does the slot.
        c->Close();
        emit invitationWithdrawn(c->Slot());
    }
    SlotFreed();
}

void InvitationListener::SlotFreed() {
    // A slot was given back: an invitation that waited for one may take it.
    QTimer::singleShot(0, this, &InvitationListener::TakeSlots);
}

void InvitationListener::TakeSlots() {
    const std::vector<GameConnection*> waiting = waiting_;
    for (GameConnection* c : waiting) {
        if (std::find(waiting_.begin(), waiting_.end(), c) == waiting_.end()) continue;
        if (c->Buffer().Front() == WireProtocol::kInvitation) OnRequestData(c);
    }
}

void InvitationListener::OnRequestData(GameConnection* c) {
    if (c->CurrentState() != GameConnection::State::AwaitingRequest) return;
    StreamSplitter& buffer = c->Buffer();
    switch (buffer.Front()) {
        case WireProtocol::kProbe: {
            buffer.Clear();
            // A peer that has already gone cannot be answered; that is no news to the user.
            if (!c->Send(WireProtocol::ProbeReply()) && c->IsOpen()) emit replyFailed();
            c->CloseAfterSending();
            Forget(c);
            break;
        }
        case WireProtocol::kInvitation:
            if (!c->TextComplete(WireProtocol::kRequestLimit)) return;
            TakeSlot(c);
            break;
        default:
            // Not a request of this program: the connection is closed at once.
            c->Close();
            Forget(c);
            break;
    }
}

bool InvitationListener::TakeSlot(GameConnection* waiting) {
    const int slot = FreeSlotIndex();
    // No slot free: the invitation waits unanswered until one is given back, or until its
    // deadline.
    if (slot < 0) return false;
    const std::string request = waiting->Buffer().TakeText(WireProtocol::kRequestLimit);
    GameConnection& c = *connections_[static_cast<std::size_t>(slot)];
    c.Attach(waiting->Release(), GameConnection::State::Asking);
    Forget(waiting);
    emit invitationArrived(slot, QString::fromStdString(c.PeerAddress()),
                           QString::fromStdString(WireProtocol::Text(request)));
    return true;
}

GameConnection* InvitationListener::Asking(int slot) const {
    if (slot < kFirstIncomingSlot || slot > kLastIncomingSlot) return nullptr;
    GameConnection* c = connections_[static_cast<std::size_t>(slot)];
    return c->CurrentState() == GameConnection::State::Asking ? c : nullptr;
}

bool InvitationListener::InvitationOpen(int slot) const {
    const GameConnection* c = Asking(slot);
    return c != nullptr && c->IsOpen();
}

void InvitationListener::Refuse(int slot, const std::string& reason) {
    GameConnection* c = Asking(slot);
    if (c == nullptr) return;
    if (!c->Send(WireProtocol::Refusal(reason)) && c->IsOpen()) emit replyFailed();
    // The refusal ends the conversation: the slot is given back once it has been sent.
    c->CloseAfterSending();
    SlotFreed();
}

bool InvitationListener::Accept(int slot) {
    GameConnection* c = Asking(slot);
    if (c == nullptr) return false;
    const bool sent = c->Send(WireProtocol::Acceptance());
    if (!c->IsOpen()) {
        // The inviter left while the question was open: no game on a closed connection.
        c->Close();
        SlotFreed();
        return false;
    }
    if (!sent) emit replyFailed();
    session_.OnInvitationAccepted(slot);
    emit invitationAccepted(slot);
    c->ScheduleProcessing();
    return true;
}

}  // namespace kelvara

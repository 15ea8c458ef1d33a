#include "InvitationListener.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

#include "GameConnection.h"
#include "GameSession.h"
#include "GbkText.h"
#include "InvitationTextDialog.h"
#include "MessageBox.h"
#include "WireProtocol.h"

namespace kelvara {

namespace {

std::string Gbk(const char* utf8) {
    return GbkText::FromQString(QString::fromUtf8(utf8));
}

}  // namespace

InvitationListener::InvitationListener(GameSession& session,
                                       std::array<GameConnection*, NetworkLink::kSlots> connections,
                                       QWidget* owner, QObject* parent)
    : QObject(parent),
      session_(session),
      connections_(connections),
      owner_(owner),
      server_(new QTcpServer(this)) {
    // Connections are taken out of the queue as they come, so the queue only has to hold a
    // burst; it must not refuse connections while many wait for their first request.
    server_->setListenBacklogSize(kMaxWaiting);
    server_->setMaxPendingConnections(kMaxWaiting);
    connect(server_, &QTcpServer::newConnection, this, &InvitationListener::OnIncomingConnection);
    connect(server_, &QTcpServer::acceptError, this,
            [this](QAbstractSocket::SocketError) { AcceptFailed(); });
    for (int slot = kFirstIncomingSlot; slot <= kLastIncomingSlot; ++slot) {
        connect(connections_[static_cast<std::size_t>(slot)], &GameConnection::closed, this,
                &InvitationListener::OnSlotClosed);
    }
}

InvitationListener::~InvitationListener() = default;

bool InvitationListener::StartListening(quint16 port, const QHostAddress& address) {
    if (server_->listen(address, port)) return true;
    switch (server_->serverError()) {
        case QAbstractSocket::AddressInUseError:
        case QAbstractSocket::SocketAccessError:
        case QAbstractSocket::SocketAddressNotAvailableError:
        case QAbstractSocket::UnsupportedSocketOperationError:
        case QAbstractSocket::SocketResourceError:
            MessageBox::Inform(owner_, QStringLiteral("创建接口失败！"));
            break;
        default:
            MessageBox::Inform(owner_, QStringLiteral("监听端口失败！"));
            break;
    }
    return false;
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

void InvitationListener::ReplyFailed(const GameConnection& c) {
    // A peer that has already gone cannot be answered; that is no news to the user. One box
    // tells of any number of failures, and it opens once the handler has finished with its
    // connection, so no handler waits under it.
    if (!c.IsOpen() || replyBoxOpen_) return;
    replyBoxOpen_ = true;
    QTimer::singleShot(0, this, [this] {
        QPointer<InvitationListener> self(this);
        MessageBox::Show(owner_, MessageBox::ListenCaption(), QStringLiteral("回应连接失败！"),
                         QMessageBox::Information);
        if (self != nullptr) replyBoxOpen_ = false;
    });
}

void InvitationListener::AcceptFailed() {
    if (acceptBoxOpen_) return;
    acceptBoxOpen_ = true;
    QPointer<InvitationListener> self(this);
    MessageBox::Show(owner_, MessageBox::ProgramTitle(), QStringLiteral("接受连接时失败!"),
                     QMessageBox::NoIcon);
    if (self != nullptr) acceptBoxOpen_ = false;
}

void InvitationListener::OnIncomingConnection() {
    while (server_->hasPendingConnections()) {
        QTcpSocket* socket = server_->nextPendingConnection();
        if (socket == nullptr) {
            AcceptFailed();
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

void InvitationListener::OnSlotClosed() {
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
            const bool sent = c->Send(WireProtocol::ProbeReply());
            if (!sent) ReplyFailed(*c);
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
    AnswerInvitation(slot, request);
    return true;
}

void InvitationListener::AnswerInvitation(int slot, const std::string& request) {
    GameConnection& c = *connections_[static_cast<std::size_t>(slot)];
    const std::uint64_t serial = c.Serial();
    const QString question =
        QStringLiteral(
            "来自 %1 的朋友邀请你一起下六子棋,\n 你要接受对方的邀请吗？\n  附加信息:\n      ")
            .arg(QString::fromStdString(c.PeerAddress())) +
        GbkText::ToQString(WireProtocol::Text(request));

    QPointer<InvitationListener> self(this);
    const bool accepted = MessageBox::Ask(owner_, MessageBox::NetCaption(), question);
    if (self == nullptr || c.Serial() != serial) return;

    if (!accepted) {
        InvitationTextDialog input(owner_);
        input.prompt = Gbk("请输入拒绝的原因(512字节以内):");
        input.text = Gbk("对不起，我现在很忙.");
        input.exec();  // Cancel keeps the preset reason
        if (self == nullptr || c.Serial() != serial) return;
        const bool sent = c.Send(WireProtocol::Refusal(input.text));
        if (!sent) ReplyFailed(c);
        if (self == nullptr || c.Serial() != serial) return;
        // The refusal ends the conversation: the slot is given back once it has been sent.
        c.CloseAfterSending();
        OnSlotClosed();
        return;
    }

    const bool sent = c.Send(WireProtocol::Acceptance());
    if (!c.IsOpen()) {
        // The inviter left while the question was open: no game on a closed connection.
        c.Close();
        OnSlotClosed();
        return;
    }
    if (!sent) ReplyFailed(c);
    if (self == nullptr || c.Serial() != serial) return;
    session_.OnInvitationAccepted(slot);
    emit invitationAccepted(slot);
    c.ScheduleProcessing();
}

}  // namespace kelvara

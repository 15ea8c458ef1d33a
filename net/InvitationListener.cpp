#include "InvitationListener.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "CInfoInput.h"
#include "GameConnection.h"
#include "GameSession.h"
#include "GbkText.h"
#include "MessageBox.h"
#include "WireProtocol.h"

namespace kelvara {

namespace {

constexpr int kBacklog = 5;
constexpr int kRetryMs = 1000;

std::string Gbk(const char* utf8) {
    return GbkText::FromQString(QString::fromUtf8(utf8));
}

void ReplyFailed(QWidget* owner) {
    MessageBox::Show(owner, MessageBox::ListenCaption(), QStringLiteral("回应连接失败！"),
                     QMessageBox::Information);
}

}  // namespace

InvitationListener::InvitationListener(GameSession& session,
                                       std::array<GameConnection*, 6> connections, QWidget* owner,
                                       QObject* parent)
    : QObject(parent),
      session_(session),
      connections_(connections),
      owner_(owner),
      server_(new QTcpServer(this)),
      retryTimer_(new QTimer(this)) {
    server_->setListenBacklogSize(kBacklog);
    server_->setMaxPendingConnections(kBacklog);
    connect(server_, &QTcpServer::newConnection, this, &InvitationListener::OnIncomingConnection);
    connect(server_, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError) {
        MessageBox::Show(owner_, MessageBox::ProgramTitle(), QStringLiteral("接受连接时失败!"),
                         QMessageBox::NoIcon);
    });
    retryTimer_->setSingleShot(true);
    connect(retryTimer_, &QTimer::timeout, this, &InvitationListener::OnIncomingConnection);
    for (int slot = kFirstIncomingSlot; slot <= kLastIncomingSlot; ++slot) {
        GameConnection* c = connections_[static_cast<std::size_t>(slot)];
        connect(c, &GameConnection::requestData, this, &InvitationListener::OnRequestData);
        connect(c, &GameConnection::requestTimedOut, this, &InvitationListener::OnRequestTimedOut);
        connect(c, &GameConnection::closed, this, &InvitationListener::OnConnectionClosed);
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

bool InvitationListener::CarriesRunningGame(int slot) const {
    return session_.Mode() == Network && session_.GameState() == Running &&
           session_.ActiveSlot() == slot &&
           connections_[static_cast<std::size_t>(slot)]->CurrentPhase() ==
               GameConnection::Phase::Game;
}

bool InvitationListener::SlotFree(int slot) const {
    const GameConnection& c = *connections_[static_cast<std::size_t>(slot)];
    if (c.CurrentPhase() == GameConnection::Phase::Free) return true;
    // A closed connection gives its slot back, unless a question about it is still open or
    // it carries the game in progress.
    return !c.IsOpen() && c.CurrentPhase() != GameConnection::Phase::Asking &&
           !CarriesRunningGame(slot);
}

int InvitationListener::FreeSlotIndex() const {
    for (int slot = kFirstIncomingSlot; slot <= kLastIncomingSlot; ++slot)
        if (SlotFree(slot)) return slot;
    return -1;
}

int InvitationListener::HeldConnections() const {
    int held = 0;
    for (int slot = kFirstIncomingSlot; slot <= kLastIncomingSlot; ++slot)
        if (!SlotFree(slot)) ++held;
    return held;
}

void InvitationListener::OnIncomingConnection() {
    while (server_->hasPendingConnections()) {
        const int slot = FreeSlotIndex();
        if (slot < 0) {
            // All five slots are held: the connection waits until one is given back.
            retryTimer_->start(kRetryMs);
            return;
        }
        QTcpSocket* socket = server_->nextPendingConnection();
        if (socket == nullptr) {
            MessageBox::Show(owner_, MessageBox::ProgramTitle(), QStringLiteral("接受连接时失败!"),
                             QMessageBox::NoIcon);
            return;
        }
        GameConnection& c = *connections_[static_cast<std::size_t>(slot)];
        session_.channels[static_cast<std::size_t>(slot)] = ChannelStatus{};
        c.Attach(socket, GameConnection::Phase::FirstRequest);
        c.StartRequestTimer(requestTimeoutMs_);
    }
}

void InvitationListener::FreeSlot(int slot) {
    connections_[static_cast<std::size_t>(slot)]->Close();
    if (!CarriesRunningGame(slot))
        session_.channels[static_cast<std::size_t>(slot)] = ChannelStatus{};
    // A connection that waited for a slot may take this one.
    QTimer::singleShot(0, this, &InvitationListener::OnIncomingConnection);
}

void InvitationListener::OnRequestTimedOut(int slot) {
    FreeSlot(slot);
}

void InvitationListener::OnConnectionClosed(int slot) {
    const GameConnection& c = *connections_[static_cast<std::size_t>(slot)];
    // An open question frees its slot when answered; the running game's slot when it is over.
    if (c.CurrentPhase() == GameConnection::Phase::Asking || CarriesRunningGame(slot)) return;
    FreeSlot(slot);
}

void InvitationListener::OnRequestData(int slot) {
    GameConnection& c = *connections_[static_cast<std::size_t>(slot)];
    if (c.CurrentPhase() != GameConnection::Phase::FirstRequest) return;
    StreamSplitter& buffer = c.Buffer();
    switch (buffer.Front()) {
        case WireProtocol::kProbe: {
            buffer.Clear();
            const bool sent = c.Send(WireProtocol::ProbeReply());
            c.CloseAfterSending();
            FreeSlot(slot);
            if (!sent) ReplyFailed(owner_);
            break;
        }
        case WireProtocol::kInvitation:
            if (!c.TextComplete(WireProtocol::kRequestLimit)) return;
            AnswerInvitation(slot, buffer.TakeText(WireProtocol::kRequestLimit));
            break;
        default:
            // Not a request of this program: no answer; the connection stays open, unread.
            buffer.Clear();
            c.SetPhase(GameConnection::Phase::Held);
            break;
    }
}

void InvitationListener::AnswerInvitation(int slot, const std::string& request) {
    GameConnection& c = *connections_[static_cast<std::size_t>(slot)];
    c.SetPhase(GameConnection::Phase::Asking);
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
        CInfoInput input(owner_);
        input.prompt = Gbk("请输入拒绝的原因(512字节以内):");
        input.text = Gbk("对不起，我现在很忙.");
        input.exec();  // Cancel keeps the preset reason
        if (self == nullptr || c.Serial() != serial) return;
        const bool sent = c.Send(WireProtocol::Refusal(input.text));
        c.SetPhase(GameConnection::Phase::Held);
        const bool gone = !c.IsOpen();
        if (gone) FreeSlot(slot);
        if (!sent) ReplyFailed(owner_);
        return;
    }

    const bool sent = c.Send(WireProtocol::Acceptance());
    if (!c.IsOpen()) {
        // The inviter left while the question was open: no game on a closed connection.
        FreeSlot(slot);
        ReplyFailed(owner_);
        return;
    }
    acceptedSlot = slot;
    c.SetPhase(GameConnection::Phase::Game);
    session_.channels[static_cast<std::size_t>(slot)] = ChannelStatus{};
    session_.OnInvitationAccepted(slot);
    emit invitationAccepted(slot);
    c.ScheduleProcessing();
    if (!sent) ReplyFailed(owner_);
}

}  // namespace kelvara

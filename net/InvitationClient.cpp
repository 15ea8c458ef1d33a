#include "InvitationClient.h"

#include <QHostAddress>
#include <QTcpSocket>

#include "WireProtocol.h"

namespace kelvara {

namespace {

std::string ReadAtMost(QTcpSocket* socket, std::size_t limit) {
    const QByteArray bytes = socket->read(static_cast<qint64>(limit));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

InvitationClient::InvitationClient(QObject* parent) : QObject(parent) {
    connectTimer_.setSingleShot(true);
    connectTimer_.setTimerType(Qt::PreciseTimer);
    connect(&connectTimer_, &QTimer::timeout, this, &InvitationClient::OnConnectFailed);
    // The poll period is part of the protocol's pacing: a coarse timer may fire early.
    pollTimer_.setTimerType(Qt::PreciseTimer);
    connect(&pollTimer_, &QTimer::timeout, this, &InvitationClient::OnPoll);
}

InvitationClient::~InvitationClient() {
    DropSocket();
}

void InvitationClient::SetTiming(int pollIntervalMs, int connectTimeoutMs) {
    pollIntervalMs_ = pollIntervalMs;
    connectTimeoutMs_ = connectTimeoutMs;
}

void InvitationClient::DropSocket() {
    connectTimer_.stop();
    pollTimer_.stop();
    connecting_ = false;
    if (socket_ == nullptr) return;
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

QTcpSocket* InvitationClient::TakeSocket() {
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    if (socket != nullptr) {
        socket->disconnect(this);
        socket->setParent(nullptr);
    }
    return socket;
}

void InvitationClient::StartTest(quint32 address, quint16 port) {
    if (Busy()) return;
    kind_ = Kind::Test;
    message_ = WireProtocol::Probe();
    Connect(address, port);
}

void InvitationClient::StartInvitation(quint32 address, quint16 port, const std::string& text) {
    if (Busy()) return;
    kind_ = Kind::Invitation;
    message_ = WireProtocol::Invitation(text);
    Connect(address, port);
}

void InvitationClient::Cancel() {
    // Only the wait for the answer can be cancelled; the peer never accepted, so the attempt
    // ends as after a refusal.
    if (kind_ != Kind::Invitation || connecting_) return;
    FinishInvitation(InvitationResult::Cancelled);
}

void InvitationClient::Connect(quint32 address, quint16 port) {
    auto* socket = new QTcpSocket(this);
    socket_ = socket;
    connecting_ = true;
    connect(socket, &QTcpSocket::connected, this, &InvitationClient::OnConnected);
    connect(socket, &QAbstractSocket::errorOccurred, this, &InvitationClient::OnConnectFailed);
    socket->connectToHost(QHostAddress(address), port);
    if (socket->state() == QAbstractSocket::ConnectedState) {
        OnConnected();
    } else if (socket->state() == QAbstractSocket::UnconnectedState) {
        OnConnectFailed();
    } else {
        connectTimer_.start(connectTimeoutMs_);
    }
}

void InvitationClient::OnConnectFailed() {
    if (!connecting_) return;
    if (kind_ == Kind::Test)
        FinishTest(TestResult::ConnectFailed);
    else
        FinishInvitation(InvitationResult::ConnectFailed);
}

void InvitationClient::OnConnected() {
    if (!connecting_) return;
    connecting_ = false;
    connectTimer_.stop();
    socket_->disconnect(this);
    const auto size = static_cast<qint64>(message_.size());
    if (socket_->state() != QAbstractSocket::ConnectedState ||
        socket_->write(message_.data(), size) != size) {
        if (kind_ == Kind::Test)
            FinishTest(TestResult::SendFailed);
        else
            FinishInvitation(InvitationResult::SendFailed);
        return;
    }
    socket_->flush();
    if (kind_ == Kind::Invitation) emit invitationSent();
    // The first look comes at once, then one per period.
    polls_ = 0;
    if (Busy() && !LookForAnswer()) pollTimer_.start(pollIntervalMs_);
}

void InvitationClient::OnPoll() {
    ++polls_;
    if (kind_ == Kind::Test && polls_ >= kTestPolls) {
        FinishTest(TestResult::TimedOut);
        return;
    }
    LookForAnswer();
}

bool InvitationClient::LookForAnswer() {
    if (socket_ == nullptr) return false;
    const bool closed = socket_->state() != QAbstractSocket::ConnectedState;
    // A reply, or the peer's close: either ends the wait.
    if (socket_->bytesAvailable() <= 0 && !closed) return false;
    if (kind_ == Kind::Test) {
        const std::string reply = ReadAtMost(socket_, WireProtocol::kProbeReplyLimit);
        int major = 0;
        int minor = 0;
        if (WireProtocol::ReadVersion(reply, major, minor))
            FinishTest(TestResult::Answered, major, minor);
        else
            FinishTest(TestResult::NotKelvara);
        return true;
    }
    const std::string answer = ReadAtMost(socket_, WireProtocol::kAnswerLimit);
    switch (WireProtocol::Code(answer)) {
        case WireProtocol::kAcceptance:
            FinishInvitation(InvitationResult::Accepted);
            break;
        case WireProtocol::kRefusal:
            FinishInvitation(InvitationResult::Refused,
                             QString::fromStdString(WireProtocol::Text(answer)));
            break;
        default:
            FinishInvitation(InvitationResult::InvalidAnswer);
            break;
    }
    return true;
}

void InvitationClient::FinishTest(TestResult result, int major, int minor) {
    DropSocket();
    kind_ = Kind::None;
    emit testFinished(result, major, minor);
}

void InvitationClient::FinishInvitation(InvitationResult result, const QString& reason) {
    if (result == InvitationResult::Accepted) {
        // The socket stays for the game; nothing here reads it any more.
        connectTimer_.stop();
        pollTimer_.stop();
        if (socket_ != nullptr) socket_->disconnect(this);
    } else {
        DropSocket();
    }
    kind_ = Kind::None;
    emit invitationFinished(result, reason);
}

}  // namespace kelvara

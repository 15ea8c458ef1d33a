#include "GameConnection.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <algorithm>

#include "GameSession.h"
#include "WireProtocol.h"

namespace kelvara {

namespace {

int textQuietMs = 50;
int textCapMs = 1000;

}  // namespace

GameConnection::GameConnection(int slot, GameSession& session, QObject* parent)
    : QObject(parent), slot_(slot), session_(session) {
    textTimer_.setSingleShot(true);
    connect(&textTimer_, &QTimer::timeout, this, [this] {
        textSettled_ = true;
        Dispatch();
    });
    requestTimer_.setSingleShot(true);
    connect(&requestTimer_, &QTimer::timeout, this, [this] {
        if (phase_ == Phase::FirstRequest) emit requestTimedOut(slot_);
    });
}

GameConnection::~GameConnection() {
    if (socket_ != nullptr) {
        socket_->disconnect(this);
        socket_->abort();
        delete socket_;
    }
}

void GameConnection::SetTextSettleTimes(int quietMs, int capMs) {
    textQuietMs = quietMs;
    textCapMs = capMs;
}

void GameConnection::SetPhase(Phase phase) {
    phase_ = phase;
    if (phase != Phase::FirstRequest) requestTimer_.stop();
}

bool GameConnection::IsOpen() const {
    return socket_ != nullptr && socket_->state() == QAbstractSocket::ConnectedState;
}

void GameConnection::Attach(QTcpSocket* socket, Phase phase) {
    Close();
    socket_ = socket;
    ++serial_;
    phase_ = phase;
    if (socket == nullptr) {
        phase_ = Phase::Free;
        return;
    }
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, &GameConnection::OnReadyRead);
    connect(socket, &QTcpSocket::disconnected, this, &GameConnection::OnDisconnected);
    // Bytes that came before the hand-over are read like any others.
    if (socket->bytesAvailable() > 0) QTimer::singleShot(0, this, &GameConnection::OnReadyRead);
}

QTcpSocket* GameConnection::Detach() {
    requestTimer_.stop();
    ResetText();
    buffer_.Clear();
    phase_ = Phase::Free;
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    if (socket != nullptr) socket->disconnect(this);
    return socket;
}

void GameConnection::Close() {
    QTcpSocket* socket = Detach();
    if (socket == nullptr) return;
    socket->abort();
    socket->deleteLater();
}

void GameConnection::CloseAfterSending() {
    QTcpSocket* socket = Detach();
    if (socket == nullptr) return;
    socket->setParent(nullptr);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    // A peer that never reads must not keep the socket for ever.
    QTimer::singleShot(5000, socket, [socket] { socket->abort(); });
    socket->disconnectFromHost();
    if (socket->state() == QAbstractSocket::UnconnectedState) socket->deleteLater();
}

bool GameConnection::Send(const std::string& bytes) {
    if (!IsOpen()) return false;
    const auto size = static_cast<qint64>(bytes.size());
    if (socket_->write(bytes.data(), size) != size) return false;
    socket_->flush();
    return true;
}

std::string GameConnection::PeerAddress() const {
    if (socket_ == nullptr) return {};
    bool ok = false;
    const quint32 ipv4 = socket_->peerAddress().toIPv4Address(&ok);
    if (!ok) return {};
    return QHostAddress(ipv4).toString().toStdString();
}

void GameConnection::ResetText() {
    textTimer_.stop();
    textStarted_ = false;
    textSettled_ = false;
}

bool GameConnection::TextComplete(std::size_t limit) {
    if (buffer_.Size() >= limit || textSettled_) {
        ResetText();
        return true;
    }
    if (!textStarted_) {
        textStarted_ = true;
        textClock_.start();
    }
    const qint64 left = std::max<qint64>(0, textCapMs - textClock_.elapsed());
    textTimer_.start(static_cast<int>(std::min<qint64>(textQuietMs, left)));
    return false;
}

void GameConnection::StartRequestTimer(int ms) {
    requestTimer_.start(ms);
}

void GameConnection::OnReadyRead() {
    if (socket_ == nullptr) return;
    const QByteArray bytes = socket_->readAll();
    if (phase_ == Phase::Held || phase_ == Phase::Asking || phase_ == Phase::Free) return;
    buffer_.Append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    Dispatch();
}

void GameConnection::OnDisconnected() {
    emit closed(slot_);
}

void GameConnection::Dispatch() {
    if (buffer_.Empty()) return;
    switch (phase_) {
        case Phase::FirstRequest:
            requestTimer_.stop();
            emit requestData(slot_);
            break;
        case Phase::Game:
            ProcessGameData();
            break;
        default:
            buffer_.Clear();
            break;
    }
}

void GameConnection::ScheduleProcessing() {
    QPointer<GameConnection> self(this);
    const std::uint64_t serial = serial_;
    QTimer::singleShot(0, this, [self, serial] {
        if (self != nullptr && self->serial_ == serial && self->phase_ == Phase::Game)
            self->ProcessGameData();
    });
}

void GameConnection::ProcessGameData() {
    // The session may run a nested event loop (the move animation) in which more bytes
    // arrive; they are taken after the current message, in order.
    if (processing_) {
        processAgain_ = true;
        return;
    }
    processing_ = true;
    do {
        processAgain_ = false;
        ProcessOnce();
    } while (processAgain_);
    processing_ = false;
}

void GameConnection::ProcessOnce() {
    while (!buffer_.Empty() && phase_ == Phase::Game) {
        // Only the running game's connection speaks to the session.
        if (session_.Mode() != Network || session_.ActiveSlot() != slot_) {
            buffer_.Clear();
            return;
        }
        const std::int32_t state = session_.channels[slot_].state;
        if (state == AwaitingHello) {
            if (!TextComplete(WireProtocol::kChannelLimit)) return;
            const std::string block = buffer_.TakeText(WireProtocol::kChannelLimit);
            if (WireProtocol::Code(block) == WireProtocol::kHello)
                session_.OnHelloReceived(slot_, WireProtocol::Text(block), PeerAddress());
        } else if (state == AwaitingMove) {
            std::string block;
            const auto take = buffer_.TakeMove(WireProtocol::kMove, WireProtocol::kMoveSize,
                                               WireProtocol::kChannelLimit, block);
            if (take == StreamSplitter::MoveTake::NeedMore) return;
            if (take == StreamSplitter::MoveTake::Dropped) continue;
            MoveRecord move = session_.CurrentMove();
            bool directionValid = false;
            // A direction byte outside 0..3 makes no step: the move is dropped.
            if (WireProtocol::ReadMove(block, move, &directionValid) && directionValid)
                session_.OnMoveReceived(slot_, move);
        } else {
            // Not this state's turn to read: the bytes wait for the next reading state.
            return;
        }
    }
}

}  // namespace kelvara

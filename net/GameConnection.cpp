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

// A peer that never reads its last answer must not keep the socket for ever.
constexpr int kLastAnswerMs = 3000;

bool ChannelReads(std::int32_t state) {
    return state == AwaitingHello || state == AwaitingMove;
}

}  // namespace

GameConnection::GameConnection(int slot, GameSession& session, QObject* parent)
    : QObject(parent), slot_(slot), session_(session) {
    textTimer_.setSingleShot(true);
    textTimer_.setTimerType(Qt::PreciseTimer);
    connect(&textTimer_, &QTimer::timeout, this, [this] {
        textSettled_ = true;
        Dispatch();
    });
    requestTimer_.setSingleShot(true);
    requestTimer_.setTimerType(Qt::PreciseTimer);
    connect(&requestTimer_, &QTimer::timeout, this, [this] {
        if (state_ == State::AwaitingRequest) emit requestTimedOut(this);
    });
    moveTimer_.setSingleShot(true);
    moveTimer_.setTimerType(Qt::PreciseTimer);
    connect(&moveTimer_, &QTimer::timeout, this, &GameConnection::OnMoveQuiet);
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

void GameConnection::SetState(State state) {
    state_ = state;
    if (state != State::AwaitingRequest) requestTimer_.stop();
}

void GameConnection::SetChannel(const ChannelStatus& status) {
    if (socket_ == nullptr) return;  // no game without a peer
    if (state_ != State::Channel) {
        // From here on the buffer holds what the peer says during a game.
        SetState(State::Channel);
        ResetText();
        buffer_ = StreamSplitter(kChannelBuffer);
    }
    channel_ = status;
}

bool GameConnection::IsOpen() const {
    return socket_ != nullptr && socket_->state() == QAbstractSocket::ConnectedState;
}

void GameConnection::Attach(QTcpSocket* socket, State state) {
    Close();
    if (socket == nullptr) return;
    socket_ = socket;
    ++serial_;
    SetState(state);
    buffer_ = StreamSplitter(state == State::Channel ? kChannelBuffer : kRequestBuffer);
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, &GameConnection::OnReadyRead);
    connect(socket, &QTcpSocket::disconnected, this, &GameConnection::OnDisconnected);
    // Bytes that came before the hand-over are read like any others.
    if (socket->bytesAvailable() > 0) QTimer::singleShot(0, this, &GameConnection::OnReadyRead);
}

QTcpSocket* GameConnection::Release() {
    requestTimer_.stop();
    moveTimer_.stop();
    ResetText();
    buffer_.Clear();
    state_ = State::Closed;
    channel_ = ChannelStatus{};
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    if (socket != nullptr) {
        socket->disconnect(this);
        socket->setParent(nullptr);
    }
    return socket;
}

void GameConnection::Close() {
    QTcpSocket* socket = Release();
    if (socket == nullptr) return;
    socket->abort();
    socket->deleteLater();
}

void GameConnection::CloseAfterSending() {
    QTcpSocket* socket = Release();
    if (socket == nullptr) return;
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    auto* limit = new QTimer(socket);
    limit->setSingleShot(true);
    connect(limit, &QTimer::timeout, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    limit->start(kLastAnswerMs);
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

void GameConnection::StartRequestDeadline(int ms) {
    requestTimer_.start(ms);
}

void GameConnection::OnReadyRead() {
    if (socket_ == nullptr) return;
    const QByteArray bytes = socket_->readAll();
    // Nothing is read while a question about the connection is open.
    if (state_ == State::Asking || state_ == State::Closed) return;
    lastArrival_.start();
    buffer_.Append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    Dispatch();
}

void GameConnection::OnDisconnected() {
    if (state_ == State::Channel) {
        const bool inGame = channel_.state != Idle;
        // The slot is given back; the session learns that its game has lost its peer.
        Close();
        if (inGame) session_.OnPeerLeft(slot_);
    }
    emit closed(this);
}

void GameConnection::Dispatch() {
    if (buffer_.Empty()) return;
    switch (state_) {
        case State::AwaitingRequest:
            emit requestData(this);
            break;
        case State::Channel:
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
        if (self != nullptr && self->serial_ == serial && self->state_ == State::Channel)
            self->ProcessGameData();
    });
}

void GameConnection::ProcessGameData() {
    // A call into the session may lead to an event loop of its own (a message box of the
    // window, say) in which more bytes arrive; they are taken after the current message.
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
    while (!buffer_.Empty() && state_ == State::Channel && ChannelReads(channel_.state)) {
        const std::uint64_t serial = serial_;
        if (channel_.state == AwaitingHello) {
            if (!TextComplete(WireProtocol::kChannelLimit)) return;
            const std::string block = buffer_.TakeText(WireProtocol::kChannelLimit);
            if (WireProtocol::Code(block) == WireProtocol::kHello)
                session_.OnHelloReceived(slot_, WireProtocol::Text(block), PeerAddress());
        } else {
            std::string block;
            // A frame whose from-point is off the board was a stray 't' in junk: only that
            // byte goes, and the bytes after it are read afresh.
            const auto take =
                buffer_.TakeMove(WireProtocol::kMove, WireProtocol::kMoveSize,
                                 WireProtocol::kChannelLimit, block, &WireProtocol::MoveOnBoard);
            if (take == StreamSplitter::MoveTake::NeedMore) {
                ArmMoveResync();
                return;
            }
            moveTimer_.stop();
            if (take == StreamSplitter::MoveTake::Dropped) continue;
            MoveRecord move;
            bool directionValid = false;
            WireProtocol::ReadMove(block, move, &directionValid);
            // A direction byte outside 0..3 makes no step: the session refuses it by name.
            if (!directionValid) move.direction = static_cast<signed char>(block[3]);
            session_.OnMoveReceived(slot_, move);
        }
        // The session may have started another game on this connection or closed it.
        if (serial != serial_) return;
    }
    // Not this state's turn to read: the bytes wait for the next reading state.
}

void GameConnection::ArmMoveResync() {
    const qint64 quiet = lastArrival_.isValid() ? lastArrival_.elapsed() : kMoveQuietMs;
    moveTimer_.start(static_cast<int>(std::max<qint64>(0, kMoveQuietMs - quiet)));
}

void GameConnection::OnMoveQuiet() {
    if (state_ != State::Channel || channel_.state != AwaitingMove) return;
    if (buffer_.Empty() || buffer_.Front() != WireProtocol::kMove ||
        buffer_.Size() >= WireProtocol::kMoveSize)
        return;
    if (lastArrival_.isValid() && lastArrival_.elapsed() < kMoveQuietMs) {
        ArmMoveResync();  // a byte came meanwhile: the quiet time starts again
        return;
    }
    // A frame that stopped short: the peer's next move starts afresh.
    buffer_.Clear();
    ProcessGameData();
}

}  // namespace kelvara

#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdint>
#include <string>

#include "NetworkLink.h"
#include "StreamSplitter.h"

namespace kelvara {

class GameSession;

// One connection and its state machine: the socket, its state, its deadlines and its bounded
// receive buffer. The listener moves it through the states before a game; the game session
// moves it through the channel states of a game (through NetworkLink); the connection itself
// reads the peer's bytes and tells the session what arrived.
//
//   Closed ── accepted ──> AwaitingRequest ── invitation ──> Asking ── accepted ──> channel
//                               │  probe, refusal: the answer is sent and the socket closed
//                               └─ no known code, deadline, peer gone: closed at once
//   Closed ── invitation accepted by the peer (slot 0) ──> channel
//
// The channel states are those of ChannelState (SendingHello ... LocalTurn) with the role of
// the local player. A peer that leaves while the connection is in a channel state ends the
// running game on it (GameSession::OnPeerLeft) and the connection is Closed.
class GameConnection : public QObject {
    Q_OBJECT

  public:
    enum class State {
        Closed,           // no socket
        AwaitingRequest,  // accepted by the listener, its first request not read yet
        Asking,           // its invitation is being put to the user
        Channel,          // carries (or carried) a game: see Channel()
    };

    // A move frame that stays incomplete this long without a further byte is dropped, so the
    // next whole move is read as itself.
    static constexpr int kMoveQuietMs = 1000;
    // Receive buffer bounds: the first request is one read of the listener, the channel
    // holds what a peer may send out of turn.
    static constexpr std::size_t kRequestBuffer = 515;
    static constexpr std::size_t kChannelBuffer = 4096;

    GameConnection(int slot, GameSession& session, QObject* parent = nullptr);
    ~GameConnection() override;

    // Slot 0 to 5, or -1 for a connection that waits for its first request.
    int Slot() const { return slot_; }
    State CurrentState() const { return state_; }
    ChannelStatus Channel() const { return channel_; }
    // Entering a channel state (or Idle) makes the connection a game channel.
    void SetChannel(const ChannelStatus& status);
    void SetState(State state);
    QTcpSocket* Socket() const { return socket_; }
    // Changes with every socket attached, so a waiting handler can tell its peer is still here.
    std::uint64_t Serial() const { return serial_; }
    bool IsOpen() const;
    StreamSplitter& Buffer() { return buffer_; }

    // Takes ownership of `socket` in `state`; a socket held before is closed first.
    void Attach(QTcpSocket* socket, State state);
    // Gives up the socket (still open, not closed) and leaves the connection Closed.
    QTcpSocket* Release();
    // Closes the connection at once.
    void Close();
    // Closes the connection after the socket has sent what it holds (the peer gets a bounded
    // moment to read it).
    void CloseAfterSending();

    // Blocking in effect: the bytes are queued whole or the send fails.
    bool Send(const std::string& bytes);
    // Dotted IPv4 address of the peer; empty when it cannot be had.
    std::string PeerAddress() const;

    // Texts have no length: a text is taken once `limit` bytes are here, or when no byte has
    // come for a short quiet time (capped since the text's first byte). Returns true when the
    // text at the front may be taken now; otherwise arranges to read again later.
    bool TextComplete(std::size_t limit);
    static void SetTextSettleTimes(int quietMs, int capMs);

    // The first request must arrive within this time from the accept.
    void StartRequestDeadline(int ms);

    // Reads the game channel now: hellos and moves go to the session, which decides.
    void ProcessGameData();
    // The same, once control is back in the event loop (after a state change).
    void ScheduleProcessing();

  signals:
    void requestData(GameConnection* connection);      // bytes arrived in AwaitingRequest
    void requestTimedOut(GameConnection* connection);  // nothing complete arrived in time
    void closed(GameConnection* connection);           // the peer closed or the socket failed

  private:
    void OnReadyRead();
    void OnDisconnected();
    void Dispatch();
    void ProcessOnce();
    void ResetText();
    void ArmMoveResync();
    void OnMoveQuiet();

    int slot_;
    GameSession& session_;
    QPointer<QTcpSocket> socket_;
    State state_ = State::Closed;
    ChannelStatus channel_{};
    std::uint64_t serial_ = 0;
    StreamSplitter buffer_{kRequestBuffer};
    QTimer textTimer_;
    QElapsedTimer textClock_;
    bool textStarted_ = false;
    bool textSettled_ = false;
    QTimer requestTimer_;
    QTimer moveTimer_;
    QElapsedTimer lastArrival_;
    bool processing_ = false;
    bool processAgain_ = false;
};

}  // namespace kelvara

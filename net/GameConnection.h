#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdint>
#include <string>

#include "StreamSplitter.h"

namespace kelvara {

class GameSession;

// One of the window's six connection slots: the socket, its receive buffer and the reading of
// the game channel. Role and state of the game live in GameSession::channels[slot]; this
// class parses the bytes and hands hellos and moves to the session, which decides.
class GameConnection : public QObject {
    Q_OBJECT

  public:
    // Who reads the connection's bytes.
    enum class Phase {
        Free,          // no connection
        FirstRequest,  // accepted by the listener, its first request not read yet
        Asking,        // an invitation is being put to the user
        Held,          // open, nothing more is read from it (data is discarded)
        Game,          // carries a game: the game channel reads it
    };

    GameConnection(int slot, GameSession& session, QObject* parent = nullptr);
    ~GameConnection() override;

    int Slot() const { return slot_; }
    Phase CurrentPhase() const { return phase_; }
    void SetPhase(Phase phase);
    QTcpSocket* Socket() const { return socket_; }
    // Changes with every socket attached, so a waiting handler can tell its peer is still here.
    std::uint64_t Serial() const { return serial_; }
    bool IsOpen() const;
    StreamSplitter& Buffer() { return buffer_; }

    // Takes ownership of `socket`; a socket held before is closed first.
    void Attach(QTcpSocket* socket, Phase phase);
    // Closes the connection at once and frees the slot.
    void Close();
    // Frees the slot but lets the socket send what it still holds before it closes.
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

    // Silent peers: FirstRequest connections that send nothing within this time are dropped.
    void StartRequestTimer(int ms);
    void StopRequestTimer() { requestTimer_.stop(); }

    // Reads the game channel now (Game phase): hellos and moves go to the session when this
    // is the running game's connection and its state reads them.
    void ProcessGameData();
    // The same, once control is back in the event loop (after a state change).
    void ScheduleProcessing();

  signals:
    void requestData(int slot);      // bytes arrived in the FirstRequest phase
    void requestTimedOut(int slot);  // nothing arrived in time in the FirstRequest phase
    void closed(int slot);           // the peer closed or the connection failed

  private:
    void OnReadyRead();
    void OnDisconnected();
    void Dispatch();
    void ProcessOnce();
    void ResetText();
    // Gives up the socket (not closed) and resets the connection to a free slot.
    QTcpSocket* Detach();

    int slot_;
    GameSession& session_;
    QPointer<QTcpSocket> socket_;
    Phase phase_ = Phase::Free;
    std::uint64_t serial_ = 0;
    StreamSplitter buffer_;
    QTimer textTimer_;
    QElapsedTimer textClock_;
    bool textStarted_ = false;
    bool textSettled_ = false;
    QTimer requestTimer_;
    bool processing_ = false;
    bool processAgain_ = false;
};

}  // namespace kelvara

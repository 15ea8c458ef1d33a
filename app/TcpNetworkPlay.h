#pragma once

#include <QtGlobal>

#include "NetworkHub.h"
#include "NetworkPlay.h"

class QWidget;

namespace kelvara {

class GameSession;

// Network play over TCP: the hub (listener and six game connections) for `session`, and the
// connection test and invitation of the start dialog. Made by the program's start-up beside
// the window and destroyed before it.
class TcpNetworkPlay : public NetworkPlay {
  public:
    // `owner` is the window over which the listener puts its questions and messages.
    TcpNetworkPlay(GameSession& session, QWidget* owner, quint16 listenPort);

    NetworkHub& Hub() { return hub_; }
    // Port the listener is started on (0: any free port; NetworkHub tells which).
    quint16 ListenPort() const { return listenPort_; }
    void SetListenPort(quint16 port) { listenPort_ = port; }
    // Poll period and connect limit of the connection test and the invitation.
    void SetClientTiming(int pollIntervalMs, int connectTimeoutMs);

    NetworkLink& Link() override { return hub_; }
    bool StartListening() override;
    void TestConnection(QWidget* dialog, std::uint32_t address, quint16 port) override;
    bool Invite(QWidget* dialog, std::uint32_t address, quint16 port) override;

  private:
    NetworkHub hub_;
    quint16 listenPort_;
    int pollIntervalMs_;
    int connectTimeoutMs_;
};

}  // namespace kelvara

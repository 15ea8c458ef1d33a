#pragma once

#include <QtGlobal>
#include <cstdint>

class QWidget;

namespace kelvara {

class NetworkLink;

// Network play as the main window and its start dialog use it. The program's start-up makes
// one from the network layer and hands it to the window; a window without one plays on this
// machine only (no listener, and OK for a network game leaves the start dialog open).
class NetworkPlay {
  public:
    virtual ~NetworkPlay() = default;

    // The game session's side of the game channel: attach the invited peer, send hellos and
    // moves.
    virtual NetworkLink& Link() = 0;

    // Starts the listener for invitations; false (after telling the user why) when it cannot.
    virtual bool StartListening() = 0;

    // "测试连接": asks the program at address:port for its version and shows the outcome in
    // message boxes over `dialog`.
    virtual void TestConnection(QWidget* dialog, std::uint32_t address, quint16 port) = 0;

    // Sends an invitation to address:port and waits for the answer. True when it was accepted:
    // the connection is then kept for the network game that the Start command begins next.
    virtual bool Invite(QWidget* dialog, std::uint32_t address, quint16 port) = 0;
};

}  // namespace kelvara

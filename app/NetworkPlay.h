#pragma once

#include <QtGlobal>
#include <cstdint>
#include <functional>

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

    // "测试连接": asks the program at address:port for its version and shows the outcome in a
    // message box over `dialog`. Returns at once; user input is held off until the outcome.
    virtual void TestConnection(QWidget* dialog, std::uint32_t address, quint16 port) = 0;

    // Asks for the invitation text, sends it to address:port and waits for the answer under a
    // notice, all without blocking. `done` then runs with true when the invitation was
    // accepted (the connection is kept for the network game that the Start command begins
    // next), or with false after the user was told why not (or cancelled).
    virtual void Invite(QWidget* dialog, std::uint32_t address, quint16 port,
                        std::function<void(bool accepted)> done) = 0;
};

}  // namespace kelvara

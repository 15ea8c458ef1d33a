#pragma once

#include <cstdint>
#include <string>

#include "BoardTypes.h"

namespace kelvara {

enum ConnectionRole : std::int32_t { Answering = 0, Inviting = 1, Listening = 2 };
enum ChannelState : std::int32_t {
    Idle = 0,
    SendingHello = 1,
    AwaitingHello = 2,
    SendingMove = 3,
    AwaitingMove = 4,
    LocalTurn = 5
};

// The role and channel state of one of the six game connections, as the turn flow sees them.
struct ChannelStatus {
    std::int32_t role = Answering;
    std::int32_t state = Idle;
};

// What the game session asks of the network. The connections belong to the network layer,
// and so do their roles and channel states: the session reads and sets them here, by slot.
class NetworkLink {
  public:
    // Slot 0 carries a game this copy started by inviting; slots 1 to 5 incoming connections.
    static constexpr int kSlots = 6;

    virtual ~NetworkLink() = default;
    // Makes the socket of the accepted invitation the socket of connection `slot`.
    virtual void AttachPeer(int slot) = 0;
    virtual void SendHello(int slot, const std::string& name) = 0;
    virtual void SendMove(int slot, const MoveRecord& move) = 0;
    // Role and channel state of connection `slot`: Idle when it carries no game.
    virtual ChannelStatus Channel(int slot) const = 0;
    virtual void SetChannel(int slot, const ChannelStatus& status) = 0;
};

}  // namespace kelvara

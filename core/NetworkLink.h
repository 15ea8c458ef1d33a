#pragma once

#include <string>

#include "BoardTypes.h"

namespace kelvara {

// What the game session asks of the network: the connections themselves belong to the window.
class NetworkLink {
  public:
    virtual ~NetworkLink() = default;
    // Makes the socket of the accepted invitation the socket of connection `slot`.
    virtual void AttachPeer(int slot) = 0;
    virtual void SendHello(int slot, const std::string& name) = 0;
    virtual void SendMove(int slot, const MoveRecord& move) = 0;
};

}  // namespace kelvara

#pragma once

namespace kelvara {

// The three ways to play: against the computer, two players at one machine, or against a
// peer over the network.
enum class GameKind { OnePlayer, TwoPlayers, Network };

}  // namespace kelvara

#pragma once

namespace kelvara {

// Where the turn flow of a game stands; it decides who may act.
enum class TurnPhase {
    NoGame,            // no game has been started yet
    LocalTurn,         // a player at this machine may move (SideToMove() says which colour)
    ComputerThinking,  // the computer's turn waits until its player is ready to choose
    AwaitingPeer,      // the network peer's hello or move is awaited
    Animating,         // a step slides to its target; it is complete when the slide ends
    Stopped,           // the game was stopped: nobody may move, the clock goes on
    Over               // the game has ended
};

}  // namespace kelvara

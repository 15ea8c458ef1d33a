#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "Board.h"
#include "BoardGeometry.h"
#include "GameView.h"
#include "MoveChooser.h"
#include "NetworkLink.h"
#include "PlyRecord.h"

namespace kelvara {

enum GameMode : std::int32_t { OnePlayer = 0, TwoPlayers = 1, Network = 2 };
enum GameRunState : std::int32_t { NoGame = 0, Running = 2 };
// What the start-game dialog hands over on OK. Names are GBK bytes.
struct StartChoice {
    int gameKind = 1;  // 1 one player, 2 two players, 3 network
    std::string blackName;
    std::string whiteName;
};

enum class TurnCursor { Default, BlackHand, WhiteHand, Unchanged };

// The game in progress and the hand-over of turns in all three modes. Runs on the window's
// thread; everything it shows goes through GameView, everything it sends through NetworkLink.
//
// Every step of every mode (the local drop, the computer's answer, the peer's move) is played
// by PlayMove, which applies it, shows it, records it as a PlyRecord and hands the turn over.
// The record is what Undo() and Redo() work on. The window and the network change the game
// only through the operations below and read it through the const accessors.
class GameSession {
  public:
    GameSession(GameView& view, MoveChooser* computer, NetworkLink* link);
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    std::int32_t Mode() const { return mode; }
    std::int32_t GameState() const { return gameState; }
    std::int32_t SideToMove() const { return sideToMove; }
    std::int32_t InputEnabled() const { return inputEnabled; }
    const Board& CurrentBoard() const { return board; }
    const MoveRecord& CurrentMove() const { return currentMove; }
    const std::string& PlayerName() const { return playerName; }
    const std::string& OpponentName() const { return opponentName; }
    std::int32_t ClockHours() const { return clockHours; }
    std::int32_t ClockMinutes() const { return clockMinutes; }
    std::int32_t ClockSeconds() const { return clockSeconds; }
    std::int32_t ActiveSlot() const { return activeSlot; }
    // A piece is lifted and follows the mouse.
    bool Dragging() const { return dragging != 0; }

    // The steps played since the game's start (or since SetUpPosition), oldest first; steps
    // taken back by Undo() are not among them until Redo() plays them again.
    std::span<const PlyRecord> History() const { return {history_.data(), played_}; }

    void SetMoveChooser(MoveChooser* computer) { computer_ = computer; }
    void SetNetworkLink(NetworkLink* link) { link_ = link; }

    // Menu commands and private messages.
    void Start(const StartChoice& choice);
    void Stop();
    void OnMoveDone();
    void OnInvitationAccepted(int slot);

    // The computer's turn is due but its player is not ready to choose yet: the status line
    // says the computer is thinking and nobody may move. ResumeComputerTurn() plays it once the
    // player is ready (true), and drops it when the game has moved on meanwhile (Stop, a new
    // game); false while it still has to wait or nothing was pending.
    bool ComputerTurnPending() const { return computerPending_; }
    bool ResumeComputerTurn();

    // Puts `position` on the board with `toMove` to move, as if the game had reached it: the
    // board is drawn afresh and the record starts again from here (nothing to take back). The
    // turn is not handed over: whoever may move now stays as it was.
    void SetUpPosition(const Board& position, CellCode toMove);

    // Taking steps back and playing them again, in the one-player and two-player games only,
    // while a local player may move or after such a game has ended. In the game against the
    // computer one undo takes back the computer's answer and the player's step together, and
    // one redo plays both again. A new step drops the steps that could have been replayed.
    bool CanUndo() const;
    bool CanRedo() const;
    bool Undo();
    bool Redo();

    // Game channel input. The hello is taken only in AwaitingHello, a move only in
    // AwaitingMove on the running game's connection and only when it is a legal step for the
    // peer's colour; anything else is dropped. Return whether the message was taken.
    bool OnHelloReceived(int slot, const std::string& name, const std::string& peerAddress);
    // A peer move that is refused because it is no legal step is named in the status line.
    bool OnMoveReceived(int slot, const MoveRecord& move);
    // The peer of `slot` has gone: when it carried the running game, the game ends with a
    // text that says so and the clock stops.
    void OnPeerLeft(int slot);
    // Whether `slot` carries the network game in progress.
    bool CarriesRunningGame(int slot) const;

    // Local mouse, in client pixels. A press picks up only a piece of the side to move.
    void OnLeftButtonDown(int px, int py);
    void OnMouseMove(int px, int py, bool leftButtonHeld);
    void OnLeftButtonUp(int px, int py);
    // Puts a lifted piece back on its point when its release never arrived.
    void SettleDrag();
    TurnCursor CursorFor() const;

    void OnClockTick();
    static std::string FormatClock(int hours, int minutes, int seconds);

  private:
    // Where a step to be played came from; it decides how it is shown and who moves next.
    enum class MoveSource { LocalMouse, Computer, Peer };

    void GameReset();
    void ComputerTurn();
    void EndCheck();
    void GameOver(CellCode winner);
    bool PeerMoveIsLegal(const ChannelStatus& channel, const MoveRecord& move) const;
    // The connection's role and channel state live in the network layer.
    ChannelStatus Channel(int slot) const;
    void SetChannel(int slot, std::int32_t role, std::int32_t state);
    void SetChannelState(int slot, std::int32_t state);
    void ClockReset();
    void ClockStop();

    // The one place where a step is played.
    void PlayMove(CellCode side, const MoveRecord& step, MoveSource source);
    // Applies `ply.step` for `ply.side` on the board, fills in what it took and erases the
    // pieces taken from the view.
    void ApplyPly(PlyRecord& ply);
    void TakeBackPly(const PlyRecord& ply);
    std::size_t UndoCount() const;
    std::size_t RedoCount() const;
    bool MayRewind() const;
    // Erases the square the lifted piece was last drawn in and draws again the pieces on
    // other points that the square overlaps.
    void EraseDragSquare();

    GameView& view_;
    MoveChooser* computer_;
    NetworkLink* link_;

    std::int32_t mode = OnePlayer;
    std::int32_t gameState = NoGame;
    std::int32_t sideToMove = Empty;
    std::int32_t inputEnabled = 0;
    Board board;
    MoveRecord currentMove;
    std::string playerName;
    std::string opponentName;
    std::int32_t clockHours = 0;
    std::int32_t clockMinutes = 0;
    std::int32_t clockSeconds = 0;
    std::int32_t activeSlot = 0;

    // Drag state of the local mouse.
    std::int32_t buttonDown = 0;
    std::int32_t dragging = 0;
    BoardPoint selectedPoint = 0;
    PixelRect dragRect{};
    CellCode dragSide = Black;

    // Every step played, and how many of them are on the board; the rest can be replayed.
    std::vector<PlyRecord> history_;
    std::size_t played_ = 0;
    bool computerPending_ = false;
};

}  // namespace kelvara

#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "Board.h"
#include "BoardGeometry.h"
#include "CaptureObserver.h"
#include "GameView.h"
#include "MoveChooser.h"
#include "NetworkLink.h"

namespace kelvara {

enum GameMode : std::int32_t { OnePlayer = 0, TwoPlayers = 1, Network = 2 };
enum GameState : std::int32_t { NoGame = 0, Running = 2 };
enum ConnectionRole : std::int32_t { Answering = 0, Inviting = 1, Listening = 2 };
enum ChannelState : std::int32_t {
    Idle = 0,
    SendingHello = 1,
    AwaitingHello = 2,
    SendingMove = 3,
    AwaitingMove = 4,
    LocalTurn = 5
};

// The role and state of one of the window's six game connections, as the turn flow sees them.
struct ChannelStatus {
    std::int32_t role = Answering;
    std::int32_t state = Idle;
};

// What the start-game dialog hands over on OK. Names are GBK bytes.
struct StartChoice {
    int gameKind = 1;  // 1 one player, 2 two players, 3 network
    std::string blackName;
    std::string whiteName;
};

enum class TurnCursor { Default, BlackHand, WhiteHand, Unchanged };

// The game in progress and the hand-over of turns in all three modes. Runs on the window's
// thread; everything it shows goes through GameView, everything it sends through NetworkLink.
class GameSession : private CaptureObserver {
  public:
    static constexpr int kSlots = 6;

    GameSession(GameView& view, MoveChooser* computer, NetworkLink* link);
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

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
    std::array<ChannelStatus, kSlots> channels{};

    // Drag state of the local mouse.
    std::int32_t buttonDown = 0;
    std::int32_t dragging = 0;
    BoardPoint selectedPoint = 0;
    PixelRect dragRect{};
    CellCode dragSide = Black;

    void SetMoveChooser(MoveChooser* computer) { computer_ = computer; }
    void SetNetworkLink(NetworkLink* link) { link_ = link; }

    // Menu commands and private messages.
    void Start(const StartChoice& choice);
    void Stop();
    void OnMoveDone();
    void OnInvitationAccepted(int slot);

    // Game channel input. The hello is taken only in AwaitingHello, a move only in
    // AwaitingMove on the running game's connection and only when it is a legal step for the
    // peer's colour; anything else is dropped. Return whether the message was taken.
    bool OnHelloReceived(int slot, const std::string& name, const std::string& peerAddress);
    bool OnMoveReceived(int slot, const MoveRecord& move);

    // Local mouse, in client pixels.
    void OnLeftButtonDown(int px, int py);
    void OnMouseMove(int px, int py, bool leftButtonHeld);
    void OnLeftButtonUp(int px, int py);
    // Puts a lifted piece back on its point when its release never arrived.
    void SettleDrag();
    TurnCursor CursorFor() const;

    void OnClockTick();
    static std::string FormatClock(int hours, int minutes, int seconds);

  private:
    void PieceCaptured(int x, int y) override;
    void GameReset();
    void ComputerTurn();
    void EndCheck();
    void GameOver(CellCode winner);
    bool PeerMoveIsLegal(const ChannelStatus& channel, const MoveRecord& move) const;
    void ClockReset();
    void ClockStop();

    GameView& view_;
    MoveChooser* computer_;
    NetworkLink* link_;
};

}  // namespace kelvara

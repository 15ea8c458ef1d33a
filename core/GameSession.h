#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "Board.h"
#include "GameClock.h"
#include "GameKind.h"
#include "GameRecord.h"
#include "GameView.h"
#include "MoveChooser.h"
#include "NetworkLink.h"
#include "PlyRecord.h"
#include "SetupProblem.h"
#include "TurnPhase.h"

namespace kelvara {

// What the start-game dialog hands over on OK. Names are UTF-8.
struct StartChoice {
    GameKind kind = GameKind::OnePlayer;
    std::string blackName;
    std::string whiteName;
};

// Why a step of the local player was not taken.
enum class LocalStep { Taken, NotYourTurn, Illegal };

// The game in progress and the hand-over of turns in all three kinds of game. Runs on the
// window's thread; what changes is told to GameView, what goes to the peer to NetworkLink.
//
// Every step (the local player's, the computer's answer, the peer's move) is applied at once
// and shown; the computer's and the peer's steps then slide on screen (phase Animating) and
// are completed when the view reports the slide over: recorded in the GameRecord, the turn
// handed over, the end checked. Undo() and Redo() work on that record.
class GameSession {
  public:
    GameSession(GameView& view, MoveChooser* computer, NetworkLink* link);
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    GameKind Kind() const { return kind_; }
    TurnPhase Phase() const { return phase_; }
    // A game was started and has not ended; a stopped game still runs (its clock goes on).
    bool GameRunning() const { return phase_ != TurnPhase::NoGame && phase_ != TurnPhase::Over; }
    // Empty when nobody is to move (after Stop, at the end).
    CellCode SideToMove() const { return sideToMove_; }
    // Who won the game that has ended; Empty while it runs and when it ended without a winner
    // (the peer left).
    CellCode Winner() const { return winner_; }
    bool LocalMayMove() const { return phase_ == TurnPhase::LocalTurn; }
    bool ComputerTurnPending() const { return phase_ == TurnPhase::ComputerThinking; }
    const Board& CurrentBoard() const { return board_; }
    const std::string& PlayerName() const { return playerName_; }
    const std::string& OpponentName() const { return opponentName_; }
    int ActiveSlot() const { return activeSlot_; }
    const GameClock& Clock() const { return clock_; }
    const GameRecord& Record() const { return record_; }
    // Where the recorded steps start from: the starting position with black to move, or the
    // position last given to SetUpPosition.
    const Board& StartBoard() const { return startBoard_; }
    CellCode StartSide() const { return startSide_; }
    // The colour this machine plays in a network game.
    CellCode NetworkLocalSide() const;

    // The steps played since the game's start (or since SetUpPosition), oldest first; steps
    // taken back by Undo() are not among them until Redo() plays them again.
    std::span<const PlyRecord> History() const { return record_.Played(); }

    void SetMoveChooser(MoveChooser* computer) { computer_ = computer; }
    void SetNetworkLink(NetworkLink* link) { link_ = link; }

    // Menu commands. A step still sliding is completed first.
    void Start(const StartChoice& choice);
    // Starts a one-player or two-player game as Start does, but from `position` with `toMove`
    // to move: the turn goes to that side at once (against the computer, white's turn is the
    // computer's), and the record starts from there. When the rules cannot start from it, or
    // for a network game, nothing changes and the problem is returned.
    SetupProblem StartFromPosition(const StartChoice& choice, const Board& position,
                                   CellCode toMove);
    // The same without the check, for a position read from a record: one that is decided
    // already ends the game at once. A network kind plays as two players; a side to move
    // other than white is black.
    void StartAt(const StartChoice& choice, const Board& position, CellCode toMove);
    void Stop();
    void OnInvitationAccepted(int slot);

    // The local player's step: taken only on a local turn, for the side to move, when the
    // rules allow it.
    bool MayLift(int column, int row) const;
    LocalStep PlayLocalStep(const MoveRecord& step);

    // The view's slide of the step being played is over: the step is completed.
    void StepAnimationDone();

    // The computer's turn is due but its player is not ready to choose yet: the status line
    // says the computer is thinking and nobody may move (ComputerThinking). This plays it
    // once the player is ready (true); false while it still has to wait or nothing waits.
    bool ResumeComputerTurn();

    // Puts `position` on the board with `toMove` to move, as if the game had reached it: the
    // board is shown afresh and the record starts again from here (nothing to take back).
    // The phase stays: whoever may move now still may.
    void SetUpPosition(const Board& position, CellCode toMove);

    // Taking steps back and playing them again, in the one-player and two-player games only,
    // on a local turn or after such a game has ended. In the game against the computer one
    // undo takes back the computer's answer and the player's step together, and one redo
    // plays both again. A new step drops the steps that could have been replayed.
    bool CanUndo() const;
    bool CanRedo() const;
    bool Undo();
    bool Redo();

    // The board after the first `plies` steps of History() (all of them when there are fewer).
    Board PositionAfter(std::size_t plies) const;
    // Goes on from the position after the first `plies` steps of History(), in the one- and
    // two-player games, on a local turn or once the game has ended: the later steps are taken
    // back as by Undo() (they stay for Redo() until a new step drops them), the clock of a
    // finished game runs again and the turn is handed over, to the computer if it is white's.
    // False, changing nothing, when that position is where the game already stands or ended.
    bool CanPlayOnFrom(std::size_t plies) const;
    bool PlayOnFrom(std::size_t plies);

    // Game channel input, while a network game runs. The hello is taken only in
    // AwaitingHello, a move only in AwaitingMove on the running game's connection and only
    // when it is a legal step for the peer's colour; anything else is dropped. Return whether
    // the message was taken. A refused move that is no legal step is named in the status line.
    bool OnHelloReceived(int slot, const std::string& name, const std::string& peerAddress);
    bool OnMoveReceived(int slot, const MoveRecord& move);
    // The peer of `slot` has gone: when it carried the running game, the game ends with a
    // text that says so and the clock stops.
    void OnPeerLeft(int slot);
    // Whether `slot` carries the network game in progress.
    bool CarriesRunningGame(int slot) const;

    void OnClockTick();

  private:
    // Where a step to be played came from; it decides how it is shown and who moves next.
    enum class MoveSource { Local, Computer, Peer };

    void GameReset(const Board& start, CellCode toMove);
    // Hands the turn over after a completed step (or an undo or redo) and checks the end.
    void HandOver();
    void ComputerTurn();
    void EndCheck();
    void GameOver(CellCode winner);
    void PeerMoveArrived(const MoveRecord& move);
    bool PeerMoveIsLegal(const ChannelStatus& channel, const MoveRecord& move) const;
    // The connection's role and channel state live in the network layer.
    ChannelStatus Channel(int slot) const;
    void SetChannel(int slot, std::int32_t role, std::int32_t state);
    void SetChannelState(int slot, std::int32_t state);
    void ClockReset();

    // The one place where a step is played, and where it is completed.
    void PlayMove(CellCode side, const MoveRecord& step, MoveSource source);
    void CompleteStep();
    // A step still sliding is completed before anything else changes the game.
    void FinishPendingStep();
    // Applies `ply.step` for `ply.side` on the board and fills in what it took.
    void ApplyPly(PlyRecord& ply);
    void TakeBackPly(const PlyRecord& ply);
    bool MayRewind() const;

    GameView& view_;
    MoveChooser* computer_;
    NetworkLink* link_;

    GameKind kind_ = GameKind::OnePlayer;
    TurnPhase phase_ = TurnPhase::NoGame;
    CellCode sideToMove_ = Empty;
    CellCode winner_ = Empty;
    Board board_;
    std::string playerName_;
    std::string opponentName_;
    int activeSlot_ = 0;
    GameClock clock_;
    GameRecord record_;
    Board startBoard_;
    CellCode startSide_ = Black;

    // The step that slides on screen until the view reports it done, with where it came from.
    PlyRecord sliding_;
    MoveSource slidingSource_ = MoveSource::Computer;
    // Counts the slides started, so that a hand-over knows whether its end check is left to
    // the completion of the step it started.
    unsigned slidesStarted_ = 0;
};

}  // namespace kelvara

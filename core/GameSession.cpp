#include "GameSession.h"

#include <cstdio>
#include <optional>

#include "Texts.h"

namespace kelvara {

GameSession::GameSession(GameView& view, MoveChooser* computer, NetworkLink* link)
    : view_(view), computer_(computer), link_(link) {}

void GameSession::GameReset() {
    view_.ClearHistory();
    buttonDown = 0;
    dragging = 0;
    view_.EraseBoard();
    board.ResetBoard();
    view_.DrawAllPieces();
    gameState = Running;
    board.whitePieces = 6;
    board.blackPieces = 6;
    history_.clear();
    played_ = 0;
    computerPending_ = false;
    ClockReset();
}

void GameSession::Start(const StartChoice& choice) {
    GameReset();
    switch (choice.gameKind) {
        case 1:
            playerName = choice.blackName;
            mode = OnePlayer;
            view_.SetMatchLine(texts::kMatchPrefix + playerName + texts::kMatchVsComputer);
            sideToMove = Black;
            inputEnabled = 1;
            view_.SetStatusLine(texts::kYourTurn);
            break;
        case 2:
            playerName = choice.blackName;
            opponentName = choice.whiteName;
            view_.SetMatchLine(texts::kMatchPrefix + playerName + texts::kMatchBlackVs +
                               opponentName + texts::kMatchWhiteSuffix);
            mode = TwoPlayers;
            inputEnabled = 1;
            sideToMove = Black;
            view_.SetStatusLine(texts::kNowMoving + playerName + texts::kBlackMovingSuffix);
            break;
        default: {
            mode = Network;
            playerName = choice.blackName;
            sideToMove = Black;
            inputEnabled = 0;
            activeSlot = 0;
            // The socket first: the hello goes out on the connection it was accepted on.
            if (link_ != nullptr) link_->AttachPeer(0);
            SetChannel(0, Inviting, SendingHello);
            if (link_ != nullptr) link_->SendHello(0, playerName);
            SetChannelState(0, AwaitingHello);
            break;
        }
    }
}

void GameSession::Stop() {
    inputEnabled = 0;
    sideToMove = Empty;
    computerPending_ = false;
}

void GameSession::OnInvitationAccepted(int slot) {
    if (slot < 0 || slot >= NetworkLink::kSlots) return;
    inputEnabled = 0;
    sideToMove = Empty;
    activeSlot = slot;
    GameReset();
    mode = Network;
    sideToMove = White;
    SetChannel(slot, Answering, AwaitingHello);
}

void GameSession::OnMoveDone() {
    if (gameState == NoGame) return;
    switch (mode) {
        case OnePlayer:
            if (sideToMove == White) {
                view_.SetStatusLine(texts::kComputerThinking);
                ComputerTurn();
            } else if (sideToMove == Black) {
                buttonDown = 0;
                inputEnabled = 1;
                view_.SetStatusLine(texts::kYourTurn);
            }
            break;
        case TwoPlayers:
            if (sideToMove == White) {
                inputEnabled = 1;
                view_.SetStatusLine(texts::kNowMoving + opponentName + texts::kWhiteMovingSuffix);
            } else if (sideToMove == Black) {
                inputEnabled = 1;
                view_.SetStatusLine(texts::kNowMoving + playerName + texts::kBlackMovingSuffix);
            }
            break;
        case Network: {
            const ChannelStatus channel = Channel(activeSlot);
            if (channel.state == LocalTurn) {
                inputEnabled = 0;
                SetChannelState(activeSlot, SendingMove);
                if (link_ != nullptr) link_->SendMove(activeSlot, currentMove);
                SetChannelState(activeSlot, AwaitingMove);
                view_.SetStatusLine(texts::kWaitingForPeer);
            } else if (channel.state == AwaitingMove) {
                // A peer's move that is not a legal step is refused: nothing changes and the
                // game keeps waiting for a legal one.
                if (!PeerMoveIsLegal(channel, currentMove)) return;
                SetChannelState(activeSlot, LocalTurn);
                PlayMove(channel.role == Answering ? Black : White, currentMove, MoveSource::Peer);
            }
            break;
        }
        default:
            break;
    }
    EndCheck();
}

void GameSession::ComputerTurn() {
    if (computer_ != nullptr && !computer_->ReadyToChoose()) {
        computerPending_ = true;
        return;
    }
    // A chosen step that the rules do not allow counts as no move at all.
    const std::optional<MoveRecord> chosen =
        computer_ != nullptr ? computer_->ChooseMove(board) : std::nullopt;
    if (!chosen || !board.IsLegalStep(White, *chosen)) {
        GameOver(Black);
        return;
    }
    PlayMove(White, *chosen, MoveSource::Computer);
}

bool GameSession::ResumeComputerTurn() {
    if (!computerPending_) return false;
    if (mode != OnePlayer || gameState != Running || sideToMove != White) {
        computerPending_ = false;
        return false;
    }
    if (computer_ != nullptr && !computer_->ReadyToChoose()) return false;
    computerPending_ = false;
    // The same as the hand-over that found the computer to move: its turn, then the end check.
    ComputerTurn();
    EndCheck();
    return true;
}

void GameSession::PlayMove(CellCode side, const MoveRecord& step, MoveSource source) {
    currentMove = step;
    PlyRecord ply;
    ply.side = side;
    ply.step = step;
    ApplyPly(ply);
    if (source == MoveSource::LocalMouse) {
        int toX = 0, toY = 0;
        StepTarget(step.fromX, step.fromY, step.direction, toX, toY);
        view_.DrawPiece(toX, toY, side);
        selectedPoint = MakePoint(toX, toY);
    }
    view_.AppendHistory(side, Board::FormatMove(step));
    if (source != MoveSource::LocalMouse)
        view_.AnimateMove(side, step.fromX, step.fromY, step.direction);
    // A new step ends the line that Redo() could have replayed.
    history_.resize(played_);
    history_.push_back(std::move(ply));
    played_ = history_.size();
    sideToMove = Enemy(side);
    view_.StepPlayed(history_.back());

    switch (source) {
        case MoveSource::LocalMouse:
            inputEnabled = 0;
            dragging = 0;
            OnMoveDone();  // in a network game this sends the step
            break;
        case MoveSource::Computer:
            OnMoveDone();
            break;
        case MoveSource::Peer:
            // Played inside the hand-over, which runs the end check next.
            view_.SetStatusLine(texts::kYourTurn);
            inputEnabled = 1;
            break;
    }
}

void GameSession::ApplyPly(PlyRecord& ply) {
    ply.blackPiecesBefore = board.blackPieces;
    ply.whitePiecesBefore = board.whitePieces;
    ply.captured = board.ApplyMove(ply.side, ply.step);
    for (const BoardPoint p : ply.captured) view_.ErasePiece(PointX(p), PointY(p));
}

void GameSession::TakeBackPly(const PlyRecord& ply) {
    int toX = 0, toY = 0;
    if (StepTarget(ply.step.fromX, ply.step.fromY, ply.step.direction, toX, toY) &&
        OnGrid(toX, toY) && OnGrid(ply.step.fromX, ply.step.fromY)) {
        board.cells[Board::Index(toX, toY)].code = Empty;
        board.cells[Board::Index(ply.step.fromX, ply.step.fromY)].code = ply.side;
    }
    for (BoardPoint p : ply.captured)
        board.cells[Board::Index(PointX(p), PointY(p))].code = Enemy(ply.side);
    board.blackPieces = ply.blackPiecesBefore;
    board.whitePieces = ply.whitePiecesBefore;
}

void GameSession::SetUpPosition(const Board& position, CellCode toMove) {
    SettleDrag();
    board = position;
    sideToMove = toMove;
    history_.clear();
    played_ = 0;
    computerPending_ = false;
    view_.EraseBoard();
    view_.DrawAllPieces();
}

bool GameSession::MayRewind() const {
    if (mode != OnePlayer && mode != TwoPlayers) return false;
    // While a local player may move, or once the game has ended; not after Stop.
    return (gameState == Running && inputEnabled == 1) || gameState == NoGame;
}

std::size_t GameSession::UndoCount() const {
    if (played_ == 0) return 0;
    if (mode != OnePlayer) return 1;
    // Back to the player's turn: the computer's answer, if any, and the player's step.
    std::size_t n = played_;
    if (history_[n - 1].side == White) --n;
    if (n == 0 || history_[n - 1].side != Black) return 0;
    return played_ - (n - 1);
}

std::size_t GameSession::RedoCount() const {
    const std::size_t left = history_.size() - played_;
    if (left == 0) return 0;
    if (mode != OnePlayer) return 1;
    if (history_[played_].side != Black) return 0;
    return left >= 2 && history_[played_ + 1].side == White ? 2 : 1;
}

bool GameSession::CanUndo() const {
    return MayRewind() && UndoCount() > 0;
}

bool GameSession::CanRedo() const {
    return MayRewind() && gameState == Running && RedoCount() > 0;
}

bool GameSession::Undo() {
    if (!CanUndo()) return false;
    SettleDrag();
    const std::size_t count = UndoCount();
    for (std::size_t i = 0; i < count; ++i) {
        const PlyRecord& ply = history_[--played_];
        TakeBackPly(ply);
        view_.RemoveLastHistory(ply.side);
    }
    const PlyRecord& first = history_[played_];
    sideToMove = first.side;
    currentMove = played_ > 0 ? history_[played_ - 1].step : first.step;
    view_.EraseBoard();
    view_.DrawAllPieces();
    if (gameState == NoGame) {
        // Taking back the last step of a finished game lets it go on, clock included.
        gameState = Running;
        view_.StartClockTimer();
    }
    OnMoveDone();
    return true;
}

bool GameSession::Redo() {
    if (!CanRedo()) return false;
    SettleDrag();
    const std::size_t count = RedoCount();
    for (std::size_t i = 0; i < count; ++i) {
        PlyRecord& ply = history_[played_++];
        ApplyPly(ply);
        currentMove = ply.step;
        view_.AppendHistory(ply.side, Board::FormatMove(ply.step));
        sideToMove = Enemy(ply.side);
    }
    view_.EraseBoard();
    view_.DrawAllPieces();
    inputEnabled = 0;
    OnMoveDone();
    return true;
}

void GameSession::EndCheck() {
    if (board.blackPieces <= 1) GameOver(White);
    if (board.whitePieces <= 1) GameOver(Black);
    if (gameState == NoGame) return;
    // A side to move that has no step left has lost. In a game against the computer only the
    // player is checked here: the computer's own turn ends the game when it finds no move.
    const bool checked =
        mode == OnePlayer ? sideToMove == Black : (sideToMove == Black || sideToMove == White);
    if (checked && !board.HasLegalStep(static_cast<CellCode>(sideToMove))) {
        GameOver(Enemy(static_cast<CellCode>(sideToMove)));
    }
}

void GameSession::GameOver(CellCode winner) {
    std::string text = texts::kGameOver;
    switch (mode) {
        case OnePlayer:
            text += winner == Black ? texts::kYouWin : texts::kYouLose;
            break;
        case TwoPlayers:
            text += winner == Black ? texts::kBlackWinsPrefix + playerName + texts::kWinsSuffix
                                    : texts::kWhiteWinsPrefix + opponentName + texts::kWinsSuffix;
            break;
        default: {
            const CellCode local = Channel(activeSlot).role == Answering ? White : Black;
            text += winner == local ? texts::kYouWin : texts::kYouLose;
            break;
        }
    }
    gameState = NoGame;
    sideToMove = Empty;
    inputEnabled = 0;
    view_.SetStatusLine(text);
    ClockStop();
}

bool GameSession::PeerMoveIsLegal(const ChannelStatus& channel, const MoveRecord& move) const {
    const CellCode peer = channel.role == Answering ? Black : White;
    return board.IsLegalStep(peer, move);
}

bool GameSession::OnHelloReceived(int slot, const std::string& name,
                                  const std::string& peerAddress) {
    if (mode != Network || slot != activeSlot || slot < 0 || slot >= NetworkLink::kSlots)
        return false;
    const ChannelStatus channel = Channel(slot);
    if (channel.state != AwaitingHello) return false;
    opponentName = name;
    std::string match;
    std::string status;
    if (channel.role != Answering) {
        match = texts::kMatchLocalBlack + playerName + texts::kMatchLocalVsWhite + opponentName +
                "(" + peerAddress + ")";
        status = texts::kYourTurn;
        inputEnabled = 1;
        SetChannelState(slot, LocalTurn);
    } else {
        match = texts::kMatchLocalWhite + playerName + texts::kMatchLocalVsBlack + opponentName +
                "(" + peerAddress + ")";
        status = texts::kWaitingForPeer;
        SetChannelState(slot, SendingHello);
        if (link_ != nullptr) link_->SendHello(slot, playerName);
        SetChannelState(slot, AwaitingMove);
    }
    view_.SetMatchLine(match);
    view_.SetStatusLine(status);
    return true;
}

bool GameSession::OnMoveReceived(int slot, const MoveRecord& move) {
    if (mode != Network || slot != activeSlot || slot < 0 || slot >= NetworkLink::kSlots)
        return false;
    const ChannelStatus channel = Channel(slot);
    if (channel.state != AwaitingMove) return false;
    if (!PeerMoveIsLegal(channel, move)) {
        // Refused: the game goes on waiting for a legal move, and the player sees why.
        if (gameState == Running)
            view_.SetStatusLine(texts::kRefusedMovePrefix + Board::FormatMove(move) +
                                texts::kRefusedMoveSuffix);
        return false;
    }
    currentMove = move;
    OnMoveDone();
    return true;
}

void GameSession::OnPeerLeft(int slot) {
    if (!CarriesRunningGame(slot)) return;
    gameState = NoGame;
    sideToMove = Empty;
    inputEnabled = 0;
    view_.SetStatusLine(std::string(texts::kGameOver) + texts::kPeerLeft);
    ClockStop();
}

bool GameSession::CarriesRunningGame(int slot) const {
    return mode == Network && gameState == Running && slot == activeSlot;
}

ChannelStatus GameSession::Channel(int slot) const {
    if (link_ == nullptr || slot < 0 || slot >= NetworkLink::kSlots) return {};
    return link_->Channel(slot);
}

void GameSession::SetChannel(int slot, std::int32_t role, std::int32_t state) {
    if (link_ == nullptr || slot < 0 || slot >= NetworkLink::kSlots) return;
    link_->SetChannel(slot, ChannelStatus{role, state});
}

void GameSession::SetChannelState(int slot, std::int32_t state) {
    SetChannel(slot, Channel(slot).role, state);
}

void GameSession::OnLeftButtonDown(int px, int py) {
    if (dragging) SettleDrag();
    if (!inputEnabled) return;
    // Nobody may move (after Stop, until the other machine's move comes): nothing to pick up.
    if (sideToMove != Black && sideToMove != White) return;
    selectedPoint = geometry::PointAtPixel(px, py);
    if (board.PieceAt(selectedPoint) != sideToMove) selectedPoint = 0;
    if (selectedPoint != 0) {
        buttonDown = 1;
        dragging = 1;
        dragRect = geometry::PieceSquare(PointX(selectedPoint), PointY(selectedPoint));
        dragSide = static_cast<CellCode>(sideToMove);
    }
}

void GameSession::OnMouseMove(int px, int py, bool leftButtonHeld) {
    if (dragging && !leftButtonHeld) {
        SettleDrag();
        return;
    }
    if (!dragging || !buttonDown || !(0 < px && px < 400 && py < 400)) return;
    EraseDragSquare();
    dragRect = PixelRect{px - 10, py - 10, px + 10, py + 10};
    view_.DrawPictureInRect(dragSide, dragRect);
}

void GameSession::SettleDrag() {
    if (!dragging) return;
    EraseDragSquare();
    view_.DrawPiece(PointX(selectedPoint), PointY(selectedPoint), dragSide);
    dragging = 0;
    buttonDown = 0;
}

void GameSession::EraseDragSquare() {
    view_.EraseRect(dragRect);
    // The dragged picture may have passed over other pieces: put back what lay under it, so
    // that a drag never wipes a piece off the screen. The lifted piece stays lifted.
    const auto overlaps = [](const PixelRect& a, const PixelRect& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    };
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) {
            const CellCode code = static_cast<CellCode>(board.Code(i, j));
            if (MakePoint(i, j) == selectedPoint || code == Empty) continue;
            if (overlaps(geometry::PieceSquare(i, j), dragRect)) view_.DrawPiece(i, j, code);
        }
    }
}

void GameSession::OnLeftButtonUp(int px, int py) {
    buttonDown = 0;
    if (!dragging) return;
    EraseDragSquare();
    const BoardPoint target = geometry::PointAtPixel(px, py);
    MoveRecord move;
    if (sideToMove == dragSide && board.PieceAt(target) == Empty && target != 0 &&
        Board::MakeMove(selectedPoint, target, move)) {
        PlayMove(dragSide, move, MoveSource::LocalMouse);
        return;
    }
    view_.DrawPiece(PointX(selectedPoint), PointY(selectedPoint), dragSide);
    dragging = 0;
}

TurnCursor GameSession::CursorFor() const {
    if (!inputEnabled) return TurnCursor::Default;
    if (sideToMove == Black) return TurnCursor::BlackHand;
    if (sideToMove == White) return TurnCursor::WhiteHand;
    return TurnCursor::Unchanged;
}

std::string GameSession::FormatClock(int hours, int minutes, int seconds) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%2d:%2d:%2d", hours, minutes, seconds);
    return buf;
}

void GameSession::OnClockTick() {
    if (++clockSeconds >= 60) {
        clockSeconds = 0;
        if (++clockMinutes >= 60) {
            clockMinutes = 0;
            ++clockHours;
        }
    }
    view_.SetClockText(FormatClock(clockHours, clockMinutes, clockSeconds));
}

void GameSession::ClockReset() {
    clockHours = clockMinutes = clockSeconds = 0;
    view_.SetClockText(FormatClock(0, 0, 0));
    view_.StartClockTimer();
}

void GameSession::ClockStop() {
    view_.StopClockTimer();
}

}  // namespace kelvara

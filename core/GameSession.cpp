#include "GameSession.h"

#include <cstdio>

#include "Texts.h"

namespace kelvara {

GameSession::GameSession(GameView& view, MoveChooser* computer, NetworkLink* link)
    : view_(view), computer_(computer), link_(link) {
    board.SetCaptureObserver(this);
}

void GameSession::PieceCaptured(int x, int y) {
    view_.ErasePiece(x, y);
}

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
            ChannelStatus& channel = channels[0];
            channel.role = Inviting;
            channel.state = SendingHello;
            sideToMove = Black;
            inputEnabled = 0;
            activeSlot = 0;
            if (link_ != nullptr) {
                link_->AttachPeer(0);
                link_->SendHello(0, playerName);
            }
            channel.state = AwaitingHello;
            break;
        }
    }
}

void GameSession::Stop() {
    inputEnabled = 0;
    sideToMove = Empty;
}

void GameSession::OnInvitationAccepted(int slot) {
    if (slot < 0 || slot >= kSlots) return;
    inputEnabled = 0;
    sideToMove = Empty;
    activeSlot = slot;
    GameReset();
    mode = Network;
    sideToMove = White;
    channels[slot].role = Answering;
    channels[slot].state = AwaitingHello;
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
            ChannelStatus& channel = channels[activeSlot];
            if (channel.state == LocalTurn) {
                inputEnabled = 0;
                channel.state = SendingMove;
                if (link_ != nullptr) link_->SendMove(activeSlot, currentMove);
                channel.state = AwaitingMove;
                view_.SetStatusLine(texts::kWaitingForPeer);
            } else if (channel.state == AwaitingMove) {
                // A peer's move that is not a legal step is refused: nothing changes and the
                // game keeps waiting for a legal one.
                if (!PeerMoveIsLegal(channel, currentMove)) return;
                channel.state = LocalTurn;
                const CellCode peer = channel.role == Answering ? Black : White;
                board.ApplyMove(peer, currentMove);
                view_.AppendHistory(peer, Board::FormatMove(currentMove));
                view_.AnimateMove(peer, currentMove.fromX, currentMove.fromY,
                                  currentMove.direction);
                sideToMove = Enemy(peer);
                view_.SetStatusLine(texts::kYourTurn);
                inputEnabled = 1;
            }
            break;
        }
        default:
            break;
    }
    EndCheck();
}

void GameSession::ComputerTurn() {
    MoveRecord chosen = currentMove;
    // A chosen step that the rules do not allow counts as no move at all.
    if (computer_ == nullptr || !computer_->ChooseMove(board, chosen) ||
        !board.IsLegalStep(White, chosen)) {
        GameOver(Black);
        return;
    }
    currentMove = chosen;
    board.ApplyMove(White, currentMove);
    view_.AppendHistory(White, Board::FormatMove(currentMove));
    view_.AnimateMove(White, currentMove.fromX, currentMove.fromY, currentMove.direction);
    sideToMove = Black;
    OnMoveDone();
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
            const CellCode local = channels[activeSlot].role == Answering ? White : Black;
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
    if (mode != Network || slot != activeSlot || slot < 0 || slot >= kSlots) return false;
    ChannelStatus& channel = channels[slot];
    if (channel.state != AwaitingHello) return false;
    opponentName = name;
    std::string match;
    std::string status;
    if (channel.role != Answering) {
        match = texts::kMatchLocalBlack + playerName + texts::kMatchLocalVsWhite + opponentName +
                "(" + peerAddress + ")";
        status = texts::kYourTurn;
        inputEnabled = 1;
        channel.state = LocalTurn;
    } else {
        match = texts::kMatchLocalWhite + playerName + texts::kMatchLocalVsBlack + opponentName +
                "(" + peerAddress + ")";
        status = texts::kWaitingForPeer;
        channel.state = SendingHello;
        if (link_ != nullptr) link_->SendHello(slot, playerName);
        channel.state = AwaitingMove;
    }
    view_.SetMatchLine(match);
    view_.SetStatusLine(status);
    return true;
}

bool GameSession::OnMoveReceived(int slot, const MoveRecord& move) {
    if (mode != Network || slot != activeSlot || slot < 0 || slot >= kSlots) return false;
    const ChannelStatus& channel = channels[slot];
    if (channel.state != AwaitingMove || !PeerMoveIsLegal(channel, move)) return false;
    currentMove = move;
    OnMoveDone();
    return true;
}

void GameSession::OnLeftButtonDown(int px, int py) {
    if (dragging) SettleDrag();
    if (!inputEnabled) return;
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
    view_.EraseRect(dragRect);
    dragRect = PixelRect{px - 10, py - 10, px + 10, py + 10};
    view_.DrawPictureInRect(dragSide, dragRect);
}

void GameSession::SettleDrag() {
    if (!dragging) return;
    view_.EraseRect(dragRect);
    view_.DrawPiece(PointX(selectedPoint), PointY(selectedPoint), dragSide);
    dragging = 0;
    buttonDown = 0;
}

void GameSession::OnLeftButtonUp(int px, int py) {
    buttonDown = 0;
    if (!dragging) return;
    view_.EraseRect(dragRect);
    const BoardPoint target = geometry::PointAtPixel(px, py);
    MoveRecord move;
    if (sideToMove == dragSide && board.PieceAt(target) == Empty && target != 0 &&
        Board::MakeMove(selectedPoint, target, move)) {
        currentMove = move;
        board.ApplyMove(dragSide, currentMove);
        view_.DrawPiece(PointX(target), PointY(target), dragSide);
        selectedPoint = target;
        view_.AppendHistory(dragSide, Board::FormatMove(currentMove));
        sideToMove = Enemy(dragSide);
        inputEnabled = 0;
        dragging = 0;
        OnMoveDone();
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

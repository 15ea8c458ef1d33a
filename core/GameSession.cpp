#include "GameSession.h"

#include <optional>
#include <utility>

#include "Texts.h"

namespace kelvara {

GameSession::GameSession(GameView& view, MoveChooser* computer, NetworkLink* link)
    : view_(view), computer_(computer), link_(link) {}

void GameSession::GameReset(const Board& start, CellCode toMove) {
    view_.ClearHistory();
    winner_ = Empty;
    board_ = start;
    record_.Clear();
    startBoard_ = board_;
    startSide_ = toMove;
    view_.PositionChanged();
    ClockReset();
}

void GameSession::Start(const StartChoice& choice) {
    if (choice.kind != GameKind::Network) {
        StartAt(choice, Board{}, Black);
        return;
    }
    FinishPendingStep();
    GameReset(Board{}, Black);
    kind_ = choice.kind;
    playerName_ = choice.blackName;
    sideToMove_ = Black;
    phase_ = TurnPhase::AwaitingPeer;
    activeSlot_ = 0;
    // The socket first: the hello goes out on the connection it was accepted on.
    if (link_ != nullptr) link_->AttachPeer(0);
    SetChannel(0, Inviting, SendingHello);
    if (link_ != nullptr) link_->SendHello(0, playerName_);
    SetChannelState(0, AwaitingHello);
}

SetupProblem GameSession::StartFromPosition(const StartChoice& choice, const Board& position,
                                            CellCode toMove) {
    if (choice.kind == GameKind::Network) return SetupProblem::NotLocal;
    const SetupProblem problem = FindSetupProblem(position, toMove);
    if (problem == SetupProblem::None) StartAt(choice, position, toMove);
    return problem;
}

void GameSession::StartAt(const StartChoice& choice, const Board& position, CellCode toMove) {
    FinishPendingStep();
    Board start = position;
    start.blackPieces = start.CountPieces(Black);
    start.whitePieces = start.CountPieces(White);
    if (toMove != White) toMove = Black;
    GameReset(start, toMove);
    kind_ = choice.kind == GameKind::OnePlayer ? GameKind::OnePlayer : GameKind::TwoPlayers;
    playerName_ = choice.blackName;
    if (kind_ == GameKind::OnePlayer) {
        view_.SetMatchLine(Translation::Fill(texts::Text(texts::kMatchVsComputer),
                                             {playerName_, texts::Text(texts::kComputerWhite)}));
    } else {
        opponentName_ = choice.whiteName;
        view_.SetMatchLine(
            Translation::Fill(texts::Text(texts::kMatchTwoPlayers), {playerName_, opponentName_}));
    }
    sideToMove_ = toMove;
    phase_ = TurnPhase::LocalTurn;
    // A decided position ends here, before the computer is asked for a step it cannot have.
    if (const CellCode winner = board_.Winner(toMove); winner != Empty) {
        GameOver(winner);
        return;
    }
    // The hand-over names whoever is to move; against the computer white's turn is its own.
    HandOver();
}

void GameSession::Stop() {
    FinishPendingStep();
    sideToMove_ = Empty;
    if (GameRunning()) phase_ = TurnPhase::Stopped;
}

void GameSession::OnInvitationAccepted(int slot) {
    if (slot < 0 || slot >= NetworkLink::kSlots) return;
    FinishPendingStep();
    activeSlot_ = slot;
    GameReset(Board{}, Black);
    kind_ = GameKind::Network;
    phase_ = TurnPhase::AwaitingPeer;
    sideToMove_ = White;
    SetChannel(slot, Answering, AwaitingHello);
}

void GameSession::HandOver() {
    if (!GameRunning()) return;
    const unsigned slidesBefore = slidesStarted_;
    switch (kind_) {
        case GameKind::OnePlayer:
            if (sideToMove_ == White) {
                phase_ = TurnPhase::ComputerThinking;
                view_.SetStatusLine(texts::Text(texts::kComputerThinking));
                ComputerTurn();
            } else if (sideToMove_ == Black) {
                phase_ = TurnPhase::LocalTurn;
                view_.SetStatusLine(texts::Text(texts::kYourTurn));
            }
            break;
        case GameKind::TwoPlayers:
            phase_ = TurnPhase::LocalTurn;
            if (sideToMove_ == White)
                view_.SetStatusLine(
                    Translation::Fill(texts::Text(texts::kWhiteMoving), {opponentName_}));
            else if (sideToMove_ == Black)
                view_.SetStatusLine(
                    Translation::Fill(texts::Text(texts::kBlackMoving), {playerName_}));
            break;
        case GameKind::Network:
            phase_ = TurnPhase::AwaitingPeer;
            if (Channel(activeSlot_).state == LocalTurn && !History().empty()) {
                SetChannelState(activeSlot_, SendingMove);
                if (link_ != nullptr) link_->SendMove(activeSlot_, History().back().step);
                SetChannelState(activeSlot_, AwaitingMove);
                view_.SetStatusLine(texts::Text(texts::kWaitingForPeer));
            }
            break;
    }
    // A step that slides is checked when it is complete.
    if (slidesStarted_ == slidesBefore) EndCheck();
}

void GameSession::ComputerTurn() {
    if (computer_ != nullptr && !computer_->ReadyToChoose()) return;
    // A chosen step that the rules do not allow counts as no move at all.
    const std::optional<MoveRecord> chosen =
        computer_ != nullptr ? computer_->ChooseMove(board_) : std::nullopt;
    if (!chosen || !board_.IsLegalStep(White, *chosen)) {
        GameOver(Black);
        return;
    }
    PlayMove(White, *chosen, MoveSource::Computer);
}

bool GameSession::ResumeComputerTurn() {
    if (phase_ != TurnPhase::ComputerThinking) return false;
    if (computer_ != nullptr && !computer_->ReadyToChoose()) return false;
    // The same as the hand-over that found the computer to move: its turn, then the end check.
    const unsigned slidesBefore = slidesStarted_;
    ComputerTurn();
    if (slidesStarted_ == slidesBefore) EndCheck();
    return true;
}

bool GameSession::MayLift(int column, int row) const {
    return phase_ == TurnPhase::LocalTurn && (sideToMove_ == Black || sideToMove_ == White) &&
           OnGrid(column, row) && board_.Code(column, row) == sideToMove_;
}

LocalStep GameSession::PlayLocalStep(const MoveRecord& step) {
    if (phase_ != TurnPhase::LocalTurn || (sideToMove_ != Black && sideToMove_ != White))
        return LocalStep::NotYourTurn;
    if (!board_.IsLegalStep(sideToMove_, step)) return LocalStep::Illegal;
    PlayMove(sideToMove_, step, MoveSource::Local);
    return LocalStep::Taken;
}

void GameSession::PlayMove(CellCode side, const MoveRecord& step, MoveSource source) {
    PlyRecord ply;
    ply.side = side;
    ply.step = step;
    ApplyPly(ply);
    if (source != MoveSource::Local) {
        phase_ = TurnPhase::Animating;
        sliding_ = ply;
        slidingSource_ = source;
        ++slidesStarted_;
    }
    view_.StepApplied(ply);
    view_.AppendHistory(side, Board::FormatMove(step));
    if (source != MoveSource::Local) {
        // The view reports the slide done, perhaps before this returns.
        view_.AnimateStep(ply);
        return;
    }
    record_.Add(std::move(ply));
    sideToMove_ = Enemy(side);
    view_.StepPlayed(History().back());
    HandOver();  // in a network game this sends the step
}

void GameSession::StepAnimationDone() {
    FinishPendingStep();
}

void GameSession::FinishPendingStep() {
    if (phase_ == TurnPhase::Animating) CompleteStep();
}

void GameSession::CompleteStep() {
    const MoveSource source = slidingSource_;
    record_.Add(std::move(sliding_));
    sliding_ = PlyRecord{};
    sideToMove_ = Enemy(History().back().side);
    // Whoever moves next is settled below; until then nobody may.
    phase_ = TurnPhase::AwaitingPeer;
    view_.StepPlayed(History().back());
    if (source == MoveSource::Computer) {
        HandOver();
        return;
    }
    view_.SetStatusLine(texts::Text(texts::kYourTurn));
    phase_ = TurnPhase::LocalTurn;
    EndCheck();
}

void GameSession::ApplyPly(PlyRecord& ply) {
    ply.blackPiecesBefore = board_.blackPieces;
    ply.whitePiecesBefore = board_.whitePieces;
    ply.captured = board_.ApplyMove(ply.side, ply.step);
}

void GameSession::TakeBackPly(const PlyRecord& ply) {
    int toX = 0, toY = 0;
    if (StepTarget(ply.step.fromX, ply.step.fromY, ply.step.direction, toX, toY) &&
        OnGrid(toX, toY) && OnGrid(ply.step.fromX, ply.step.fromY)) {
        board_.cells[Board::Index(toX, toY)].code = Empty;
        board_.cells[Board::Index(ply.step.fromX, ply.step.fromY)].code = ply.side;
    }
    for (BoardPoint p : ply.captured)
        board_.cells[Board::Index(PointX(p), PointY(p))].code = Enemy(ply.side);
    board_.blackPieces = ply.blackPiecesBefore;
    board_.whitePieces = ply.whitePiecesBefore;
}

void GameSession::SetUpPosition(const Board& position, CellCode toMove) {
    FinishPendingStep();
    board_ = position;
    sideToMove_ = toMove;
    record_.Clear();
    startBoard_ = position;
    startSide_ = toMove;
    view_.PositionChanged();
}

CellCode GameSession::NetworkLocalSide() const {
    return Channel(activeSlot_).role == Answering ? White : Black;
}

bool GameSession::MayRewind() const {
    if (kind_ != GameKind::OnePlayer && kind_ != GameKind::TwoPlayers) return false;
    // While a local player may move, or once the game has ended; not after Stop.
    return phase_ == TurnPhase::LocalTurn || phase_ == TurnPhase::Over ||
           phase_ == TurnPhase::NoGame;
}

bool GameSession::CanUndo() const {
    return MayRewind() && record_.UndoCount(kind_) > 0;
}

bool GameSession::CanRedo() const {
    return MayRewind() && GameRunning() && record_.RedoCount(kind_) > 0;
}

bool GameSession::Undo() {
    if (!CanUndo()) return false;
    const std::size_t count = record_.UndoCount(kind_);
    for (std::size_t i = 0; i < count; ++i) {
        const PlyRecord& ply = record_.StepBack();
        TakeBackPly(ply);
        sideToMove_ = ply.side;
        view_.RemoveLastHistory(ply.side);
    }
    view_.PositionChanged();
    winner_ = Empty;
    if (!GameRunning()) {
        // Taking back the last step of a finished game lets it go on, clock included.
        view_.StartClockTimer();
    }
    phase_ = TurnPhase::LocalTurn;
    HandOver();
    return true;
}

bool GameSession::Redo() {
    if (!CanRedo()) return false;
    const std::size_t count = record_.RedoCount(kind_);
    for (std::size_t i = 0; i < count; ++i) {
        PlyRecord ply = record_.StepForward();
        ApplyPly(ply);
        view_.StepApplied(ply);
        view_.AppendHistory(ply.side, Board::FormatMove(ply.step));
        sideToMove_ = Enemy(ply.side);
    }
    view_.PositionChanged();
    HandOver();
    return true;
}

Board GameSession::PositionAfter(std::size_t plies) const {
    Board board = startBoard_;
    const auto history = History();
    for (std::size_t i = 0; i < plies && i < history.size(); ++i)
        board.ApplyMove(history[i].side, history[i].step);
    return board;
}

bool GameSession::CanPlayOnFrom(std::size_t plies) const {
    if (!MayRewind() || phase_ == TurnPhase::NoGame || plies > History().size()) return false;
    const CellCode toMove = plies == 0 ? startSide_ : Enemy(History()[plies - 1].side);
    // Where the game stands, or a position that is over already, leaves nothing to go on with.
    if (plies == History().size() && phase_ == TurnPhase::LocalTurn) return false;
    return PositionAfter(plies).Winner(toMove) == Empty;
}

bool GameSession::PlayOnFrom(std::size_t plies) {
    if (!CanPlayOnFrom(plies)) return false;
    while (History().size() > plies) {
        const PlyRecord& ply = record_.StepBack();
        TakeBackPly(ply);
        view_.RemoveLastHistory(ply.side);
    }
    sideToMove_ = plies == 0 ? startSide_ : Enemy(History().back().side);
    winner_ = Empty;  // the game goes on
    view_.PositionChanged();
    if (!GameRunning()) view_.StartClockTimer();
    phase_ = TurnPhase::LocalTurn;
    HandOver();
    return true;
}

void GameSession::EndCheck() {
    if (board_.blackPieces <= 1) GameOver(White);
    if (board_.whitePieces <= 1) GameOver(Black);
    if (!GameRunning()) return;
    // A side to move that has no step left has lost. In a game against the computer only the
    // player is checked here: the computer's own turn ends the game when it finds no move.
    const bool checked = kind_ == GameKind::OnePlayer
                             ? sideToMove_ == Black
                             : (sideToMove_ == Black || sideToMove_ == White);
    if (checked && !board_.HasLegalStep(sideToMove_)) GameOver(Enemy(sideToMove_));
}

void GameSession::GameOver(CellCode winner) {
    std::string text;
    switch (kind_) {
        case GameKind::OnePlayer:
            text = texts::Text(winner == Black ? texts::kYouWin : texts::kYouLose);
            break;
        case GameKind::TwoPlayers:
            text = winner == Black
                       ? Translation::Fill(texts::Text(texts::kBlackWins), {playerName_})
                       : Translation::Fill(texts::Text(texts::kWhiteWins), {opponentName_});
            break;
        case GameKind::Network: {
            const CellCode local = Channel(activeSlot_).role == Answering ? White : Black;
            text = texts::Text(winner == local ? texts::kYouWin : texts::kYouLose);
            break;
        }
    }
    phase_ = TurnPhase::Over;
    sideToMove_ = Empty;
    winner_ = winner;
    view_.SetStatusLine(text);
    view_.StopClockTimer();
}

bool GameSession::PeerMoveIsLegal(const ChannelStatus& channel, const MoveRecord& move) const {
    const CellCode peer = channel.role == Answering ? Black : White;
    return board_.IsLegalStep(peer, move);
}

bool GameSession::OnHelloReceived(int slot, const std::string& name,
                                  const std::string& peerAddress) {
    if (!CarriesRunningGame(slot) || slot < 0 || slot >= NetworkLink::kSlots) return false;
    const ChannelStatus channel = Channel(slot);
    if (channel.state != AwaitingHello) return false;
    opponentName_ = name;
    std::string match;
    std::string status;
    if (channel.role != Answering) {
        match = Translation::Fill(texts::Text(texts::kMatchLocalBlack),
                                  {playerName_, opponentName_, peerAddress});
        status = texts::Text(texts::kYourTurn);
        if (phase_ == TurnPhase::AwaitingPeer) phase_ = TurnPhase::LocalTurn;
        SetChannelState(slot, LocalTurn);
    } else {
        match = Translation::Fill(texts::Text(texts::kMatchLocalWhite),
                                  {playerName_, opponentName_, peerAddress});
        status = texts::Text(texts::kWaitingForPeer);
        SetChannelState(slot, SendingHello);
        if (link_ != nullptr) link_->SendHello(slot, playerName_);
        SetChannelState(slot, AwaitingMove);
    }
    view_.SetMatchLine(match);
    view_.SetStatusLine(status);
    return true;
}

bool GameSession::OnMoveReceived(int slot, const MoveRecord& move) {
    if (!CarriesRunningGame(slot) || slot < 0 || slot >= NetworkLink::kSlots) return false;
    const ChannelStatus channel = Channel(slot);
    if (channel.state != AwaitingMove) return false;
    if (!PeerMoveIsLegal(channel, move)) {
        // Refused: the game goes on waiting for a legal move, and the player sees why.
        view_.SetStatusLine(
            Translation::Fill(texts::Text(texts::kRefusedMove), {Board::FormatMove(move)}));
        return false;
    }
    SetChannelState(activeSlot_, LocalTurn);
    PlayMove(channel.role == Answering ? Black : White, move, MoveSource::Peer);
    return true;
}

void GameSession::OnPeerLeft(int slot) {
    if (!CarriesRunningGame(slot)) return;
    // The step still sliding is completed first, as it would have been before the news came.
    FinishPendingStep();
    if (!CarriesRunningGame(slot)) return;
    phase_ = TurnPhase::Over;
    sideToMove_ = Empty;
    view_.SetStatusLine(texts::Text(texts::kPeerLeft));
    view_.StopClockTimer();
}

bool GameSession::CarriesRunningGame(int slot) const {
    return kind_ == GameKind::Network && GameRunning() && slot == activeSlot_;
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

void GameSession::OnClockTick() {
    clock_.Tick();
    view_.SetClockText(clock_.Text());
}

void GameSession::ClockReset() {
    clock_.Reset();
    view_.SetClockText(clock_.Text());
    view_.StartClockTimer();
}

}  // namespace kelvara

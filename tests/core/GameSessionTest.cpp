#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "BoardText.h"
#include "GameSession.h"
#include "RecordingView.h"

using namespace kelvara;
using Strings = std::vector<std::string>;

namespace {

struct ScriptedComputer : MoveChooser {
    std::deque<MoveRecord> moves;
    int calls = 0;
    bool ready = true;
    std::string boardSeen;
    const std::string* status = nullptr;  // the status line while the computer thinks
    std::string statusSeen;
    std::optional<MoveRecord> ChooseMove(const Board& board) override {
        ++calls;
        boardSeen = BoardToText(board);
        if (status != nullptr) statusSeen = *status;
        if (moves.empty()) return std::nullopt;
        const MoveRecord move = moves.front();
        moves.pop_front();
        return move;
    }
    bool ReadyToChoose() const override { return ready; }
};

// Keeps the connections' roles and channel states as the network layer would, and what the
// session sends, in order.
struct ScriptedLink : NetworkLink {
    std::vector<std::pair<int, MoveRecord>> moves;
    Strings calls;  // "attach 0", "hello 0 name", "move 0"
    std::array<ChannelStatus, 6> channels{};
    void AttachPeer(int slot) override {
        channels[slot] = ChannelStatus{};
        calls.push_back("attach " + std::to_string(slot));
    }
    void SendHello(int slot, const std::string& name) override {
        calls.push_back("hello " + std::to_string(slot) + " " + name);
    }
    void SendMove(int slot, const MoveRecord& m) override {
        moves.emplace_back(slot, m);
        calls.push_back("move " + std::to_string(slot));
    }
    ChannelStatus Channel(int slot) const override { return channels[slot]; }
    void SetChannel(int slot, const ChannelStatus& status) override { channels[slot] = status; }
};

// A view that also notes every step reported played, with the record's length then.
struct View : test::RecordingView {
    Strings played;
    void StepPlayed(const PlyRecord& ply) override {
        played.push_back(Board::FormatMove(ply.step) + "/" + std::to_string(ply.captured.size()) +
                         "/" + std::to_string(session->History().size()));
    }
};

MoveRecord Step(const char* text) {
    MoveRecord m;
    EXPECT_TRUE(ParseMoveText(text, m)) << text;
    return m;
}

std::string Rows(const char* top, const char* r3, const char* r2, const char* bottom) {
    return std::string(bottom) + r2 + r3 + top;
}

const std::string kStart = "bbbbb..bw..wwwww";
const StartChoice kOne{GameKind::OnePlayer, "p", ""};
const StartChoice kTwo{GameKind::TwoPlayers, "A", "B"};

struct Session : ::testing::Test {
    View view;
    ScriptedComputer computer;
    ScriptedLink link;
    GameSession s{view, &computer, &link};

    Session() {
        view.session = &s;
        computer.status = &view.status;
    }
    LocalStep Play(const char* move) { return s.PlayLocalStep(Step(move)); }
    // Puts a position on the board; the side to move stays unless another is given.
    void Place(const std::string& text, CellCode toMove = Empty) {
        Board position;
        ASSERT_TRUE(BoardFromText(text, position));
        s.SetUpPosition(position, toMove == Empty ? s.SideToMove() : toMove);
    }
    // A network game on slot 0 where this machine plays black and may move.
    void StartInviting() {
        s.Start({GameKind::Network, "本地", ""});
        ASSERT_TRUE(s.OnHelloReceived(0, "远方", "10.0.0.7"));
    }
};

}  // namespace

TEST_F(Session, OnePlayerStartTextsAndComputerReply) {
    s.Start({GameKind::OnePlayer, "张三", ""});
    EXPECT_EQ(view.match, "战局：   张三(黑)   VS   电脑(白)");
    EXPECT_EQ(view.status, "现在该你走棋了...");
    EXPECT_EQ(view.clock, " 0: 0: 0");
    EXPECT_TRUE(view.timerRunning);
    EXPECT_EQ(s.Phase(), TurnPhase::LocalTurn);

    computer.moves = {Step("13R")};
    ASSERT_EQ(Play("21U"), LocalStep::Taken);
    // The computer saw the board after black's step and its reply took the black piece.
    EXPECT_EQ(computer.boardSeen, "b.bbbb.bw..wwwww");
    EXPECT_EQ(computer.statusSeen, "正在等候电脑走棋，请稍后....");
    EXPECT_EQ(view.black, Strings{"21U"});
    EXPECT_EQ(view.white, Strings{"13R"});
    EXPECT_EQ(view.animations, Strings{"w13R"});
    EXPECT_EQ(view.erasedPieces, (std::vector<std::pair<int, int>>{{2, 2}}));
    EXPECT_EQ(s.CurrentBoard().blackPieces, 5);
    EXPECT_EQ(view.status, "现在该你走棋了...");
    EXPECT_EQ(s.SideToMove(), Black);
    EXPECT_TRUE(s.LocalMayMove());
}

// How games end, from a position, black's step and what the computer (or white) answers.
struct Ending {
    const char* name;
    GameKind kind;
    std::string position;  // empty: the start position
    CellCode toMove;
    std::vector<const char*> steps;  // local steps in turn
    std::vector<MoveRecord> answers;
    const char* status;
    Strings white;
};

class Endings : public Session, public ::testing::WithParamInterface<Ending> {};

TEST_P(Endings, EndTheGameWithItsText) {
    const Ending& e = GetParam();
    s.Start(e.kind == GameKind::OnePlayer ? kOne : kTwo);
    if (!e.position.empty()) Place(e.position, e.toMove);
    computer.moves.assign(e.answers.begin(), e.answers.end());
    for (const char* step : e.steps) ASSERT_EQ(Play(step), LocalStep::Taken) << step;
    EXPECT_EQ(view.status, e.status);
    EXPECT_EQ(view.white, e.white);
    EXPECT_EQ(s.Phase(), TurnPhase::Over);
    EXPECT_EQ(s.SideToMove(), Empty);
    EXPECT_FALSE(view.timerRunning);
    // Nothing is played after the end.
    EXPECT_EQ(Play("21U"), LocalStep::NotYourTurn);
}

INSTANTIATE_TEST_SUITE_P(
    Session, Endings,
    ::testing::Values(Ending{"ComputerWithoutMove",
                             GameKind::OnePlayer,
                             "",
                             Black,
                             {"21U"},
                             {},
                             "游戏结束，恭喜你，你赢了!!",
                             {}},
                      Ending{"IllegalComputerStepIsNoMove",
                             GameKind::OnePlayer,
                             "",
                             Black,
                             {"21U"},
                             {{2, 2, Up}},
                             "游戏结束，恭喜你，你赢了!!",
                             {}},
                      // White left with one piece still answers once, then black wins.
                      Ending{"WhiteDownToOne",
                             GameKind::OnePlayer,
                             Rows("w..w", ".b..", "b...", "...."),
                             Black,
                             {"23L"},
                             {{4, 4, Left}},
                             "游戏结束，恭喜你，你赢了!!",
                             {"44L"}},
                      Ending{"BlackDownToOne",
                             GameKind::OnePlayer,
                             Rows("..w.", ".w..", "..b.", "b..."),
                             Black,
                             {"11R"},
                             {{2, 3, Right}},
                             "游戏结束，你输了 :(",
                             {"23R"}},
                      Ending{"BlackWalledInByTheComputer",
                             GameKind::OnePlayer,
                             Rows("w...", "b...", ".w..", "bw.."),
                             Black,
                             {"13D"},
                             {{1, 4, Down}},
                             "游戏结束，你输了 :(",
                             {"14D"}},
                      Ending{"WhiteTakesBlacksLastButOne",
                             GameKind::TwoPlayers,
                             Rows("..w.", ".w..", "..b.", "b..."),
                             Black,
                             {"11R", "23R"},
                             {},
                             "游戏结束，白棋(B)胜!!",
                             {"23R"}},
                      Ending{"BlackWalledInByWhite",
                             GameKind::TwoPlayers,
                             Rows("....", "w...", "bw..", "b.w."),
                             White,
                             {"31L"},
                             {},
                             "游戏结束，白棋(B)胜!!",
                             {"31L"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Session, TwoPlayersHandTheTurnOverAndRefuseOtherSteps) {
    s.Start({GameKind::TwoPlayers, "甲", "乙"});
    EXPECT_EQ(view.match, "战局：   甲(黑)   VS   乙(白)");
    EXPECT_EQ(view.status, "现在是 甲(黑)  走棋...");
    EXPECT_FALSE(s.MayLift(1, 3));  // white's piece
    EXPECT_FALSE(s.MayLift(2, 2));  // an empty point
    EXPECT_TRUE(s.MayLift(2, 1));
    EXPECT_EQ(Play("13R"), LocalStep::Illegal);
    EXPECT_EQ(Play("21R"), LocalStep::Illegal);  // onto an occupied point
    ASSERT_EQ(Play("21U"), LocalStep::Taken);
    EXPECT_EQ(view.status, "现在是 乙(白)  走棋...");
    EXPECT_EQ(Play("31U"), LocalStep::Illegal);  // black may not move twice
    ASSERT_EQ(Play("13R"), LocalStep::Taken);    // takes the black piece on (2, 2)
    EXPECT_EQ(view.black, Strings{"21U"});
    EXPECT_EQ(view.white, Strings{"13R"});
    EXPECT_EQ(s.CurrentBoard().blackPieces, 5);
    EXPECT_EQ(view.status, "现在是 甲(黑)  走棋...");
    EXPECT_TRUE(view.animations.empty());  // local steps do not slide
}

TEST_F(Session, RandomTwoPlayerGamesKeepCountsAndEnd) {
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int game = 0; game < 20; ++game) {
        s.Start(kTwo);
        int moves = 0;
        while (s.GameRunning() && moves < 3000) {
            const StepList legal = s.CurrentBoard().LegalSteps(s.SideToMove());
            ASSERT_FALSE(legal.empty()) << "a side without a step must already have lost";
            const CellCode mover = s.SideToMove();
            ASSERT_EQ(s.PlayLocalStep(legal[next() % legal.size()]), LocalStep::Taken);
            ++moves;
            ASSERT_EQ(s.CurrentBoard().blackPieces, s.CurrentBoard().CountPieces(Black));
            ASSERT_EQ(s.CurrentBoard().whitePieces, s.CurrentBoard().CountPieces(White));
            ASSERT_EQ(view.black.size() + view.white.size(), static_cast<size_t>(moves));
            if (s.GameRunning()) {
                ASSERT_EQ(s.SideToMove(), Enemy(mover));
            }
        }
        ASSERT_FALSE(s.GameRunning()) << "game " << game << " did not end";
        const Board& b = s.CurrentBoard();
        const bool whiteWon =
            b.blackPieces <= 1 ||
            (b.whitePieces > 1 && view.black.size() == view.white.size() && !b.HasLegalStep(Black));
        EXPECT_EQ(view.status, whiteWon ? "游戏结束，白棋(B)胜!!" : "游戏结束，黑棋(A)胜!!")
            << BoardToText(b);
    }
}

TEST_F(Session, StopKeepsTheClockAndTakesTheTurnAway) {
    s.Start(kTwo);
    s.OnClockTick();
    s.Stop();
    EXPECT_EQ(s.Phase(), TurnPhase::Stopped);
    EXPECT_TRUE(s.GameRunning());
    EXPECT_FALSE(s.MayLift(2, 1));
    EXPECT_EQ(Play("21U"), LocalStep::NotYourTurn);
    s.OnClockTick();
    EXPECT_EQ(view.clock, " 0: 0: 2");
    EXPECT_TRUE(view.timerRunning);
    EXPECT_FALSE(s.CanUndo());
    s.Start(kOne);
    EXPECT_EQ(view.clock, " 0: 0: 0");
    EXPECT_EQ(s.Phase(), TurnPhase::LocalTurn);
}

TEST_F(Session, NetworkInvitingSide) {
    s.Start({GameKind::TwoPlayers, "old", "game"});
    s.Start({GameKind::Network, "本地", ""});
    // The hello goes out on the socket of the accepted invitation, so it is attached first.
    EXPECT_EQ(link.calls, (Strings{"attach 0", "hello 0 本地"}));
    EXPECT_EQ(link.channels[0].state, AwaitingHello);
    EXPECT_EQ(link.channels[0].role, Inviting);
    EXPECT_EQ(view.status, "现在是 old(黑)  走棋...");  // unchanged until the hello
    EXPECT_EQ(s.Phase(), TurnPhase::AwaitingPeer);
    EXPECT_EQ(Play("21U"), LocalStep::NotYourTurn);    // no move before the hello
    EXPECT_FALSE(s.OnMoveReceived(0, {1, 3, Right}));  // nor a move from the peer

    EXPECT_FALSE(s.OnHelloReceived(1, "x", "1.2.3.4"));  // another connection
    EXPECT_TRUE(s.OnHelloReceived(0, "远方", "10.0.0.7"));
    EXPECT_EQ(view.match, "战局：   黑:本地(本机)   VS   白:远方(10.0.0.7)");
    EXPECT_EQ(view.status, "现在该你走棋了...");
    EXPECT_EQ(link.channels[0].state, LocalTurn);
    EXPECT_FALSE(s.OnHelloReceived(0, "again", ""));

    ASSERT_EQ(Play("21U"), LocalStep::Taken);
    EXPECT_EQ(link.moves, (std::vector<std::pair<int, MoveRecord>>{{0, {2, 1, Up}}}));
    EXPECT_EQ(view.status, "正在等待对方走棋,请稍后...");
    EXPECT_EQ(link.channels[0].state, AwaitingMove);
    EXPECT_EQ(s.Phase(), TurnPhase::AwaitingPeer);

    // Moves that are no legal white step are refused and named; the board stays.
    for (MoveRecord bad : {MoveRecord{2, 1, Up}, MoveRecord{1, 4, Up}, MoveRecord{9, 9, Left},
                           MoveRecord{2, 4, Up}, MoveRecord{0, 3, Right}})
        EXPECT_FALSE(s.OnMoveReceived(0, bad));
    EXPECT_FALSE(s.OnMoveReceived(0, {1, 3, 7}));
    EXPECT_EQ(view.status, "对方的走法 13ERR 不合规则,正在等待对方走棋,请稍后...");
    EXPECT_FALSE(s.OnMoveReceived(0, {1, 4, Up}));
    EXPECT_EQ(view.status, "对方的走法 14U 不合规则,正在等待对方走棋,请稍后...");
    // A move on another connection is no refusal of this game's peer: nothing is shown.
    view.status.clear();
    EXPECT_FALSE(s.OnMoveReceived(2, {1, 4, Up}));
    EXPECT_TRUE(view.status.empty());
    EXPECT_EQ(BoardToText(s.CurrentBoard()), "b.bbbb.bw..wwwww");

    EXPECT_TRUE(s.OnMoveReceived(0, {1, 3, Right}));
    EXPECT_EQ(view.white, Strings{"13R"});
    EXPECT_EQ(view.animations, Strings{"w13R"});
    EXPECT_EQ(s.CurrentBoard().blackPieces, 5);
    EXPECT_EQ(view.status, "现在该你走棋了...");
    EXPECT_EQ(s.SideToMove(), Black);
    EXPECT_TRUE(s.LocalMayMove());

    // The local move that leaves white with one piece is sent, then the local side wins.
    Place(Rows("w..w", ".b..", "b...", "...."));
    ASSERT_EQ(Play("23L"), LocalStep::Taken);
    EXPECT_EQ(link.moves.back().second, Step("23L"));
    EXPECT_EQ(view.status, "游戏结束，恭喜你，你赢了!!");
}

TEST_F(Session, NetworkAnsweringSideAndStop) {
    s.Start({GameKind::OnePlayer, "白方", ""});  // the name the last Start left
    s.OnInvitationAccepted(3);
    EXPECT_EQ(s.ActiveSlot(), 3);
    EXPECT_EQ(s.Kind(), GameKind::Network);
    EXPECT_EQ(link.channels[3].role, Answering);
    EXPECT_EQ(link.channels[3].state, AwaitingHello);
    EXPECT_EQ(s.SideToMove(), White);
    EXPECT_FALSE(s.LocalMayMove());
    EXPECT_FALSE(s.OnMoveReceived(3, {2, 1, Up}));  // a move before the hello

    EXPECT_TRUE(s.OnHelloReceived(3, "", "127.0.0.1"));
    EXPECT_EQ(link.calls, Strings{"hello 3 白方"});
    EXPECT_EQ(view.match, "战局：   白:白方(本机)   VS   黑:(127.0.0.1)");
    EXPECT_EQ(view.status, "正在等待对方走棋,请稍后...");
    EXPECT_EQ(link.channels[3].state, AwaitingMove);
    EXPECT_EQ(Play("13R"), LocalStep::NotYourTurn);

    EXPECT_FALSE(s.OnMoveReceived(3, {1, 3, Right}));  // a white piece: not the peer's
    EXPECT_FALSE(s.OnMoveReceived(1, {2, 1, Up}));     // another connection
    EXPECT_TRUE(s.OnMoveReceived(3, {2, 1, Up}));
    EXPECT_EQ(view.black, Strings{"21U"});
    EXPECT_EQ(view.status, "现在该你走棋了...");
    ASSERT_EQ(Play("13R"), LocalStep::Taken);
    EXPECT_EQ(link.moves.back(), (std::pair<int, MoveRecord>{3, {1, 3, Right}}));

    // Stop while the peer's move is awaited: it still arrives and gives the turn back.
    s.Stop();
    EXPECT_TRUE(s.OnMoveReceived(3, {3, 1, Up}));
    EXPECT_EQ(s.SideToMove(), White);
    EXPECT_TRUE(s.LocalMayMove());

    // The peer's capture that leaves this side with one piece: a loss here.
    Place(Rows(".w.w", "b...", ".b..", "...."));
    ASSERT_EQ(Play("44D"), LocalStep::Taken);
    EXPECT_TRUE(s.OnMoveReceived(3, {1, 3, Right}));
    EXPECT_EQ(s.CurrentBoard().whitePieces, 1);
    EXPECT_EQ(view.status, "游戏结束，你输了 :(");
    // A move after the end is not taken.
    const std::string after = BoardToText(s.CurrentBoard());
    link.channels[3].state = AwaitingMove;
    EXPECT_FALSE(s.OnMoveReceived(3, {2, 3, Up}));
    EXPECT_EQ(BoardToText(s.CurrentBoard()), after);
}

// Stop while the inviting side waits for the peer's hello; the hello then comes, but nobody
// is to move: nothing can be lifted, played, sent or recorded.
TEST_F(Session, AfterStopDuringTheHandshakeNothingCanBePlayed) {
    s.Start({GameKind::Network, "me", ""});
    s.Stop();
    ASSERT_TRUE(s.OnHelloReceived(0, "peer", "10.0.0.7"));
    EXPECT_EQ(s.Phase(), TurnPhase::Stopped);
    EXPECT_FALSE(s.MayLift(2, 1));
    EXPECT_EQ(Play("21U"), LocalStep::NotYourTurn);
    EXPECT_TRUE(link.moves.empty());
    EXPECT_TRUE(s.History().empty());
    EXPECT_EQ(BoardToText(s.CurrentBoard()), kStart);
}

TEST_F(Session, APeerThatLeavesEndsOnlyItsGame) {
    StartInviting();
    s.OnPeerLeft(3);
    EXPECT_TRUE(s.GameRunning());
    EXPECT_TRUE(view.timerRunning);
    s.OnPeerLeft(0);
    EXPECT_EQ(view.status, "游戏结束，对方已经离开!!");
    EXPECT_EQ(s.Phase(), TurnPhase::Over);
    EXPECT_EQ(s.SideToMove(), Empty);
    EXPECT_FALSE(view.timerRunning);
    const int stops = view.timerStops;
    s.OnPeerLeft(0);
    EXPECT_EQ(view.timerStops, stops);
    // After the end a late move is neither played nor named, even on a channel that waits.
    link.channels[0].state = AwaitingMove;
    view.status.clear();
    EXPECT_FALSE(s.OnMoveReceived(0, {1, 4, Up}));
    EXPECT_TRUE(view.status.empty());

    s.Start({GameKind::OnePlayer, "张三", ""});
    s.OnPeerLeft(0);  // not a network game
    EXPECT_TRUE(s.GameRunning());
}

TEST_F(Session, EveryKindRecordsItsPliesAndReportsThemOnceRecorded) {
    s.Start(kOne);
    computer.moves = {Step("13R")};
    ASSERT_EQ(Play("21U"), LocalStep::Taken);
    EXPECT_EQ(s.History()[0], (PlyRecord{Black, {2, 1, Up}, {}, 6, 6}));
    EXPECT_EQ(s.History()[1], (PlyRecord{White, {1, 3, Right}, {MakePoint(2, 2)}, 6, 6}));
    EXPECT_EQ(view.played, (Strings{"21U/0/1", "13R/1/2"}));
    // Undo and redo change the record without new steps being played.
    ASSERT_TRUE(s.Undo());
    ASSERT_TRUE(s.Redo());
    EXPECT_EQ(view.played.size(), 2u);

    // Two pieces taken by one step, column first; the counts before it.
    s.Start(kTwo);
    Place(Rows(".w.w", ".b..", "..bw", ".b.."));
    ASSERT_EQ(Play("21U"), LocalStep::Taken);
    EXPECT_EQ(s.Record().Played().size(), 1u);
    EXPECT_EQ(s.History()[0],
              (PlyRecord{Black, {2, 1, Up}, {MakePoint(2, 4), MakePoint(4, 2)}, 3, 3}));

    // The peer's move, and the local one that is sent.
    s.OnInvitationAccepted(2);
    EXPECT_TRUE(s.History().empty());
    ASSERT_TRUE(s.OnHelloReceived(2, "peer", ""));
    ASSERT_TRUE(s.OnMoveReceived(2, {2, 1, Up}));
    ASSERT_EQ(Play("13R"), LocalStep::Taken);
    ASSERT_EQ(s.History().size(), 2u);
    EXPECT_EQ(s.History()[1], (PlyRecord{White, {1, 3, Right}, {MakePoint(2, 2)}, 6, 6}));
}

namespace {

// What undo must give back exactly: the board, the lists, whose turn it is and the status.
std::string Snapshot(const GameSession& s, const View& view) {
    std::string text = BoardToText(s.CurrentBoard()) + "|" +
                       std::to_string(s.CurrentBoard().blackPieces) + "," +
                       std::to_string(s.CurrentBoard().whitePieces) + "|" +
                       std::to_string(s.SideToMove()) + "|" + view.status + "|";
    for (const auto& m : view.black) text += m + " ";
    text += "|";
    for (const auto& m : view.white) text += m + " ";
    return text;
}

}  // namespace

// Whole two-player games to their end, taken back one step at a time to the start and
// replayed to the end again.
TEST_F(Session, UndoAndRedoWalkWholeGamesBothWays) {
    std::uint32_t seed = 777;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    int captures = 0;
    for (int game = 0; game < 12; ++game) {
        s.Start(kTwo);
        EXPECT_FALSE(s.CanUndo());
        Strings before;
        while (s.GameRunning() && before.size() < 400) {
            const StepList legal = s.CurrentBoard().LegalSteps(s.SideToMove());
            before.push_back(Snapshot(s, view));
            ASSERT_EQ(s.PlayLocalStep(legal[next() % legal.size()]), LocalStep::Taken);
            captures += static_cast<int>(s.History().back().captured.size());
        }
        ASSERT_FALSE(s.GameRunning());
        const std::string end = Snapshot(s, view);
        EXPECT_FALSE(s.CanRedo());

        // Back to the start; the first undo reopens the finished game and its clock.
        for (std::size_t i = before.size(); i-- > 0;) {
            ASSERT_TRUE(s.Undo()) << "game " << game << " ply " << i;
            ASSERT_EQ(Snapshot(s, view), before[i]) << "game " << game << " ply " << i;
            ASSERT_TRUE(s.LocalMayMove());
            ASSERT_EQ(s.History().size(), i);
        }
        EXPECT_TRUE(view.timerRunning);
        EXPECT_FALSE(s.Undo());
        EXPECT_EQ(BoardToText(s.CurrentBoard()), kStart);

        // And forward again to the same end.
        for (std::size_t i = 1; i < before.size(); ++i) {
            ASSERT_TRUE(s.Redo());
            ASSERT_EQ(Snapshot(s, view), before[i]) << "game " << game << " ply " << i;
        }
        ASSERT_TRUE(s.Redo());
        EXPECT_EQ(Snapshot(s, view), end);
        EXPECT_FALSE(s.GameRunning());
        EXPECT_FALSE(view.timerRunning);
        EXPECT_FALSE(s.Redo());
    }
    EXPECT_GT(captures, 20);
}

TEST_F(Session, UndoAgainstTheComputerTakesBackBothSteps) {
    s.Start(kOne);
    const std::string start = Snapshot(s, view);
    computer.moves = {Step("13R"), Step("43L")};
    ASSERT_EQ(Play("21U"), LocalStep::Taken);
    const std::string afterFirst = Snapshot(s, view);
    ASSERT_EQ(Play("31U"), LocalStep::Taken);
    EXPECT_EQ(view.white, (Strings{"13R", "43L"}));

    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(Snapshot(s, view), afterFirst);
    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(Snapshot(s, view), start);  // the piece 13R took is back
    EXPECT_TRUE(s.LocalMayMove());
    EXPECT_FALSE(s.CanUndo());

    // Redo replays the stored answers without asking the computer again.
    const int calls = computer.calls;
    ASSERT_TRUE(s.Redo());
    EXPECT_EQ(Snapshot(s, view), afterFirst);
    EXPECT_EQ(computer.calls, calls);
    EXPECT_TRUE(s.CanRedo());

    // A new step drops what could have been replayed.
    computer.moves = {Step("34D")};
    ASSERT_EQ(Play("11R"), LocalStep::Taken);
    EXPECT_FALSE(s.CanRedo());
    EXPECT_FALSE(s.Redo());
    EXPECT_EQ(view.black, (Strings{"21U", "11R"}));
    EXPECT_EQ(view.white, (Strings{"13R", "34D"}));
}

TEST_F(Session, UndoOfFinishedGamesAgainstTheComputer) {
    // Lost: the computer's capture left black one piece. One undo gives black its turn back.
    s.Start(kOne);
    Place(Rows("..w.", ".w..", "..b.", "b..."));
    const std::string position = BoardToText(s.CurrentBoard());
    computer.moves = {Step("23R")};
    ASSERT_EQ(Play("11R"), LocalStep::Taken);
    ASSERT_EQ(view.status, "游戏结束，你输了 :(");
    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(BoardToText(s.CurrentBoard()), position);
    EXPECT_EQ(view.status, "现在该你走棋了...");
    EXPECT_TRUE(s.LocalMayMove());
    EXPECT_TRUE(view.timerRunning);
    EXPECT_FALSE(s.CanUndo());  // the set-up position is where the record starts

    // Won because the computer had no step: the undo takes back black's step alone, and the
    // redo asks the computer again and ends the game again.
    s.Start(kOne);
    ASSERT_EQ(Play("21U"), LocalStep::Taken);
    ASSERT_EQ(view.status, "游戏结束，恭喜你，你赢了!!");
    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(BoardToText(s.CurrentBoard()), kStart);
    EXPECT_TRUE(view.black.empty());
    ASSERT_TRUE(s.Redo());
    EXPECT_EQ(view.status, "游戏结束，恭喜你，你赢了!!");
    EXPECT_FALSE(s.GameRunning());
}

TEST_F(Session, UndoIsNotOfferedInNetworkGamesNorAfterStop) {
    StartInviting();
    ASSERT_EQ(Play("21U"), LocalStep::Taken);
    ASSERT_TRUE(s.OnMoveReceived(0, {1, 3, Right}));
    EXPECT_FALSE(s.CanUndo());
    EXPECT_FALSE(s.Undo());
    EXPECT_EQ(s.History().size(), 2u);

    s.Start(kTwo);
    ASSERT_EQ(Play("21U"), LocalStep::Taken);
    s.Stop();
    EXPECT_FALSE(s.CanUndo());
    EXPECT_FALSE(s.Undo());
    EXPECT_EQ(view.black.size(), 1u);
}

TEST_F(Session, ComputerTurnWaitsForItsPlayerAndResumes) {
    s.Start(kOne);
    computer.ready = false;
    computer.moves = {Step("13R")};
    ASSERT_EQ(Play("21U"), LocalStep::Taken);
    // Nothing blocks: the turn waits, nobody may move, the status says the computer is on.
    EXPECT_EQ(s.Phase(), TurnPhase::ComputerThinking);
    EXPECT_EQ(computer.calls, 0);
    EXPECT_EQ(view.status, "正在等候电脑走棋，请稍后....");
    EXPECT_EQ(s.SideToMove(), White);
    EXPECT_FALSE(s.CanUndo());
    EXPECT_FALSE(s.ResumeComputerTurn());

    computer.ready = true;
    EXPECT_TRUE(s.ResumeComputerTurn());
    EXPECT_EQ(view.white, Strings{"13R"});
    EXPECT_EQ(view.status, "现在该你走棋了...");
    EXPECT_TRUE(s.LocalMayMove());
    EXPECT_FALSE(s.ResumeComputerTurn());

    // A computer without a move, once ready, loses as it would have at once.
    computer.ready = false;
    ASSERT_EQ(Play("12R"), LocalStep::Taken);
    computer.ready = true;
    EXPECT_TRUE(s.ResumeComputerTurn());
    EXPECT_EQ(view.status, "游戏结束，恭喜你，你赢了!!");
}

TEST_F(Session, StopOrANewGameDropsTheWaitingComputerTurn) {
    for (bool stop : {true, false}) {
        s.Start(kOne);
        computer.ready = false;
        computer.moves = {Step("13R")};
        ASSERT_EQ(Play("21U"), LocalStep::Taken);
        ASSERT_TRUE(s.ComputerTurnPending());
        if (stop)
            s.Stop();
        else
            s.Start(kOne);
        computer.ready = true;
        EXPECT_FALSE(s.ComputerTurnPending());
        EXPECT_FALSE(s.ResumeComputerTurn());
        EXPECT_EQ(computer.calls, 0);
        EXPECT_TRUE(view.white.empty());
    }
}

// A slide is complete only when the view says so; until then the step is on the board but
// not recorded, and nobody may move or take back.
TEST_F(Session, TheSlidingStepIsCompletedWhenItsSlideEnds) {
    view.holdSlides = true;
    s.Start(kOne);
    computer.moves = {Step("13R")};
    ASSERT_EQ(Play("21U"), LocalStep::Taken);
    EXPECT_EQ(s.Phase(), TurnPhase::Animating);
    EXPECT_EQ(view.white, Strings{"13R"});
    EXPECT_EQ(s.CurrentBoard().blackPieces, 5);
    EXPECT_EQ(s.History().size(), 1u);
    EXPECT_EQ(view.status, "正在等候电脑走棋，请稍后....");
    EXPECT_FALSE(s.CanUndo());
    EXPECT_FALSE(s.MayLift(3, 1));
    EXPECT_EQ(Play("31U"), LocalStep::NotYourTurn);
    view.FinishSlide();
    EXPECT_EQ(s.History().size(), 2u);
    EXPECT_EQ(view.status, "现在该你走棋了...");
    EXPECT_TRUE(s.LocalMayMove());
    view.FinishSlide();  // a late report changes nothing
    EXPECT_EQ(s.History().size(), 2u);

    // A peer that leaves during the slide of its move: the move is completed first.
    StartInviting();
    ASSERT_EQ(Play("21U"), LocalStep::Taken);
    ASSERT_TRUE(s.OnMoveReceived(0, {1, 3, Right}));
    ASSERT_EQ(s.Phase(), TurnPhase::Animating);
    s.OnPeerLeft(0);
    EXPECT_EQ(s.History().size(), 2u);
    EXPECT_EQ(view.status, "游戏结束，对方已经离开!!");

    // A new game during a slide completes it before the board is reset.
    s.Start(kOne);
    computer.moves = {Step("13R")};
    ASSERT_EQ(Play("21U"), LocalStep::Taken);
    s.Start(kTwo);
    EXPECT_EQ(s.Phase(), TurnPhase::LocalTurn);
    EXPECT_TRUE(s.History().empty());
    EXPECT_EQ(BoardToText(s.CurrentBoard()), kStart);
}

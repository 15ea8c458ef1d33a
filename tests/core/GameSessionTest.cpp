#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "BoardText.h"
#include "GameSession.h"
#include "Gbk.h"
#include "RecordingView.h"

using namespace kelvara;
using FakeView = kelvara::test::RecordingView;

namespace {

struct ScriptedComputer : MoveChooser {
    std::deque<MoveRecord> moves;
    int calls = 0;
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
};

// A computer that is not ready to choose until told so.
struct WaitingComputer : ScriptedComputer {
    bool ready = false;
    bool ReadyToChoose() const override { return ready; }
};

// Records the steps the session reports as played, with the history length at that moment.
struct StepView : kelvara::test::RecordingView {
    const GameSession* session = nullptr;
    std::vector<std::string> played;
    void StepPlayed(const PlyRecord& ply) override {
        played.push_back(Board::FormatMove(ply.step) + "/" + std::to_string(ply.captured.size()) +
                         "/" + std::to_string(session->History().size()));
    }
};

// Records what the session asks of the network, in order, and keeps the connections' roles
// and channel states as the network layer would.
struct ScriptedLink : NetworkLink {
    std::vector<int> attached;
    std::vector<std::pair<int, std::string>> hellos;
    std::vector<std::pair<int, MoveRecord>> moves;
    std::vector<std::string> calls;  // "attach 0", "hello 0", "move 0", in order
    std::array<ChannelStatus, 6> channels{};
    void AttachPeer(int slot) override {
        attached.push_back(slot);
        channels[slot] = ChannelStatus{};  // a fresh socket carries no game yet
        calls.push_back("attach " + std::to_string(slot));
    }
    void SendHello(int slot, const std::string& name) override {
        hellos.emplace_back(slot, name);
        calls.push_back("hello " + std::to_string(slot));
    }
    void SendMove(int slot, const MoveRecord& m) override {
        moves.emplace_back(slot, m);
        calls.push_back("move " + std::to_string(slot));
    }
    ChannelStatus Channel(int slot) const override { return channels[slot]; }
    void SetChannel(int slot, const ChannelStatus& status) override { channels[slot] = status; }
};

std::string Rows(const char* top, const char* r3, const char* r2, const char* bottom) {
    return std::string(bottom) + r2 + r3 + top;
}

// Centre pixel of the piece square of (column, row).
int Px(int column) {
    return 95 * column - 80;
}
int Py(int row) {
    return 475 - 95 * row;
}

// A whole mouse move: press on the from-point, drag through the middle, release on the target.
void Drag(GameSession& s, int fx, int fy, int tx, int ty) {
    s.OnLeftButtonDown(Px(fx), Py(fy));
    s.OnMouseMove((Px(fx) + Px(tx)) / 2, (Py(fy) + Py(ty)) / 2, true);
    s.OnMouseMove(Px(tx), Py(ty), true);
    s.OnLeftButtonUp(Px(tx), Py(ty));
}
void Drag(GameSession& s, const char* move) {
    MoveRecord m;
    ASSERT_TRUE(ParseMoveText(move, m));
    int tx = 0, ty = 0;
    StepTarget(m.fromX, m.fromY, m.direction, tx, ty);
    Drag(s, m.fromX, m.fromY, tx, ty);
}

struct Session : ::testing::Test {
    FakeView view;
    ScriptedComputer computer;
    ScriptedLink link;
    GameSession s{view, &computer, &link};

    Session() { computer.status = &view.status; }

    // Puts a position on the board; the side to move stays unless another is given.
    void Place(const std::string& text, int toMove = -1) {
        Board position;
        ASSERT_TRUE(BoardFromText(text, position));
        s.SetUpPosition(position, static_cast<CellCode>(toMove < 0 ? s.SideToMove() : toMove));
    }
};

}  // namespace

TEST_F(Session, OnePlayerStartTextsAndComputerReply) {
    s.Start({1, Gbk("张三"), ""});
    EXPECT_EQ(view.match, Gbk("战局：   张三(黑)   VS   电脑(白)"));
    EXPECT_EQ(view.status, Gbk("现在该你走棋了..."));
    EXPECT_EQ(view.clock, " 0: 0: 0");
    EXPECT_TRUE(view.timerRunning);
    EXPECT_EQ(s.CursorFor(), TurnCursor::BlackHand);

    computer.moves = {{1, 3, Right}};
    Drag(s, "21U");
    // The computer saw the board after black's step and its reply took the black piece.
    EXPECT_EQ(computer.boardSeen, "b.bbbb.bw..wwwww");
    EXPECT_EQ(computer.statusSeen, Gbk("正在等候电脑走棋，请稍后...."));
    EXPECT_EQ(view.black, (std::vector<std::string>{"21U"}));
    EXPECT_EQ(view.white, (std::vector<std::string>{"13R"}));
    EXPECT_EQ(view.animations, (std::vector<std::string>{"w13R"}));
    EXPECT_EQ(view.erasedPieces, (std::vector<std::pair<int, int>>{{2, 2}}));
    EXPECT_EQ(s.CurrentBoard().blackPieces, 5);
    EXPECT_EQ(view.status, Gbk("现在该你走棋了..."));
    EXPECT_EQ(s.SideToMove(), Black);
    EXPECT_EQ(s.InputEnabled(), 1);
}

TEST_F(Session, OnePlayerEndings) {
    // The computer has no move: black wins and the clock stops.
    s.Start({1, "p", ""});
    Drag(s, "21U");
    EXPECT_EQ(view.status, Gbk("游戏结束，恭喜你，你赢了!!"));
    EXPECT_EQ(s.GameState(), NoGame);
    EXPECT_FALSE(view.timerRunning);
    EXPECT_EQ(s.InputEnabled(), 0);

    // A computer step that is not legal counts as no move.
    s.Start({1, "p", ""});
    computer.moves = {{2, 2, Up}};
    Drag(s, "21U");
    EXPECT_EQ(view.status, Gbk("游戏结束，恭喜你，你赢了!!"));
    EXPECT_EQ(view.white.size(), 0u);

    // The player leaves white with one piece: one computer move follows, then black wins.
    s.Start({1, "p", ""});
    Place(Rows("w..w", ".b..", "b...", "...."));
    computer.calls = 0;
    computer.moves = {{4, 4, Left}};
    Drag(s, "23L");
    EXPECT_EQ(s.CurrentBoard().whitePieces, 1);
    EXPECT_EQ(computer.calls, 1);
    EXPECT_EQ(view.white, (std::vector<std::string>{"44L"}));
    EXPECT_EQ(view.status, Gbk("游戏结束，恭喜你，你赢了!!"));
    EXPECT_EQ(s.GameState(), NoGame);

    // The computer takes black's second-last piece: black loses before it can move again.
    s.Start({1, "p", ""});
    Place(Rows("..w.", ".w..", "..b.", "b..."));
    computer.moves = {{2, 3, Right}};
    Drag(s, "11R");
    EXPECT_EQ(s.CurrentBoard().blackPieces, 1);
    EXPECT_EQ(view.status, Gbk("游戏结束，你输了 :("));
    EXPECT_EQ(s.InputEnabled(), 0);
    EXPECT_EQ(s.CursorFor(), TurnCursor::Default);
}

TEST_F(Session, TwoPlayersTurnTextsAndWhiteWin) {
    s.Start({2, Gbk("甲"), Gbk("乙")});
    EXPECT_EQ(view.match, Gbk("战局：   甲(黑)   VS   乙(白)"));
    EXPECT_EQ(view.status, Gbk("现在是 甲(黑)  走棋..."));
    // Only a black piece can be picked up first.
    Drag(s, "13R");
    EXPECT_TRUE(view.white.empty());
    Drag(s, "21U");
    EXPECT_EQ(view.black, (std::vector<std::string>{"21U"}));
    EXPECT_EQ(view.status, Gbk("现在是 乙(白)  走棋..."));
    EXPECT_EQ(s.CursorFor(), TurnCursor::WhiteHand);
    Drag(s, "31U");  // black may not move twice
    EXPECT_EQ(view.black.size(), 1u);
    Drag(s, "13R");  // white takes the black piece on (2,2)
    EXPECT_EQ(view.white, (std::vector<std::string>{"13R"}));
    EXPECT_EQ(s.CurrentBoard().blackPieces, 5);
    EXPECT_EQ(view.status, Gbk("现在是 甲(黑)  走棋..."));

    // Down to black's last two pieces: white's capture ends the game for white.
    Place(Rows("..w.", ".w..", "..b.", "b..."));
    Drag(s, "11R");
    Drag(s, "23R");
    EXPECT_EQ(view.status, Gbk("游戏结束，白棋(乙)胜!!"));
    EXPECT_EQ(s.GameState(), NoGame);
    // A late hand-over changes nothing.
    s.OnMoveDone();
    EXPECT_EQ(view.status, Gbk("游戏结束，白棋(乙)胜!!"));
    EXPECT_EQ(view.timerStops, 1);
}

TEST_F(Session, TwoPlayersSideWithoutStepLoses) {
    s.Start({2, "A", "B"});
    // White's step walls black's two pieces into the corner; black has pieces but no step.
    Place(Rows("....", "w...", "bw..", "b.w."), White);
    Drag(s, "31L");
    EXPECT_EQ(view.white, (std::vector<std::string>{"31L"}));
    EXPECT_EQ(s.CurrentBoard().blackPieces, 2);
    EXPECT_EQ(view.status, Gbk("游戏结束，白棋(B)胜!!"));
    EXPECT_EQ(s.GameState(), NoGame);
}

TEST_F(Session, RandomTwoPlayerGamesKeepCountsAndEnd) {
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int game = 0; game < 20; ++game) {
        s.Start({2, "A", "B"});
        int moves = 0;
        while (s.GameState() == Running && moves < 3000) {
            const StepList legal =
                s.CurrentBoard().LegalSteps(static_cast<CellCode>(s.SideToMove()));
            ASSERT_FALSE(legal.empty()) << "a side without a step must already have lost";
            const CellCode mover = static_cast<CellCode>(s.SideToMove());
            Drag(s, Board::FormatMove(legal[next() % legal.size()]).c_str());
            ++moves;
            ASSERT_EQ(s.CurrentBoard().blackPieces, s.CurrentBoard().CountPieces(Black));
            ASSERT_EQ(s.CurrentBoard().whitePieces, s.CurrentBoard().CountPieces(White));
            ASSERT_EQ(view.black.size() + view.white.size(), static_cast<size_t>(moves));
            if (s.GameState() == Running) {
                ASSERT_EQ(s.SideToMove(), Enemy(mover));
            }
        }
        ASSERT_EQ(s.GameState(), NoGame) << "game " << game << " did not end";
        const std::string end = view.status;
        EXPECT_TRUE(end == Gbk("游戏结束，黑棋(A)胜!!") || end == Gbk("游戏结束，白棋(B)胜!!"));
        const bool whiteWon =
            s.CurrentBoard().blackPieces <= 1 ||
            (s.CurrentBoard().whitePieces > 1 && view.black.size() == view.white.size() &&
             !s.CurrentBoard().HasLegalStep(Black));
        EXPECT_EQ(end == Gbk("游戏结束，白棋(B)胜!!"), whiteWon) << BoardToText(s.CurrentBoard());
    }
}

TEST_F(Session, StopKeepsClockAndBlocksInput) {
    s.Start({2, "A", "B"});
    s.OnClockTick();
    s.Stop();
    EXPECT_EQ(s.CursorFor(), TurnCursor::Default);
    Drag(s, "21U");
    EXPECT_TRUE(view.black.empty());
    s.OnClockTick();
    EXPECT_EQ(view.clock, " 0: 0: 2");
    EXPECT_TRUE(view.timerRunning);
    EXPECT_EQ(s.GameState(), Running);
    s.Start({1, "A", ""});
    EXPECT_EQ(view.clock, " 0: 0: 0");
    EXPECT_TRUE(view.black.empty());
}

TEST(Clock, FormatAndRollOver) {
    EXPECT_EQ(GameSession::FormatClock(1, 5, 9), " 1: 5: 9");
    EXPECT_EQ(GameSession::FormatClock(123, 59, 10), "123:59:10");
    FakeView view;
    GameSession s(view, nullptr, nullptr);
    for (int i = 0; i < 59 * 60 + 59; ++i) s.OnClockTick();
    EXPECT_EQ(view.clock, " 0:59:59");
    s.OnClockTick();
    EXPECT_EQ(view.clock, " 1: 0: 0");
}

TEST_F(Session, MouseDragFeedbackAndRefusedDrops) {
    s.Start({2, "A", "B"});
    view.log.clear();
    // Press on an opponent's piece, an empty point and between points: no drag.
    s.OnLeftButtonDown(Px(1), Py(3));
    EXPECT_FALSE(s.Dragging());
    s.OnLeftButtonDown(Px(2), Py(2));
    EXPECT_FALSE(s.Dragging());
    s.OnLeftButtonDown(60, 380);
    EXPECT_FALSE(s.Dragging());
    EXPECT_TRUE(view.log.empty());

    // Press and release on the same point: erased and drawn back, no move.
    s.OnLeftButtonDown(Px(2), Py(1));
    s.OnLeftButtonUp(Px(2), Py(1));
    EXPECT_EQ(view.lastErased, geometry::PieceSquare(2, 1));
    EXPECT_EQ(view.log, (std::vector<std::string>{"eraseRect", "draw 21b"}));
    EXPECT_TRUE(view.black.empty());

    // Two points away and diagonally: put back.
    Drag(s, 2, 1, 2, 3);
    Drag(s, 2, 1, 3, 2);
    EXPECT_TRUE(view.black.empty());
    EXPECT_EQ(s.SideToMove(), Black);

    // The dragged picture follows the pointer only inside the accepted area.
    view.log.clear();
    s.OnLeftButtonDown(Px(2), Py(1));
    s.OnMouseMove(150, 300, true);
    s.OnMouseMove(0, 300, true);
    s.OnMouseMove(150, 450, true);
    EXPECT_EQ(view.log, (std::vector<std::string>{"eraseRect", "drag 140,290"}));
    s.OnLeftButtonUp(150, 300);
    EXPECT_FALSE(s.Dragging());
}

TEST_F(Session, DragReleasedOutsideTheWindowIsSettled) {
    s.Start({2, "A", "B"});
    s.OnLeftButtonDown(Px(2), Py(1));
    s.OnMouseMove(150, 300, true);
    // The release happened outside; the pointer comes back without the button.
    view.log.clear();
    s.OnMouseMove(150, 300, false);
    EXPECT_EQ(view.log, (std::vector<std::string>{"eraseRect", "draw 21b"}));
    EXPECT_FALSE(s.Dragging());
    // Same when the next thing that arrives is a press.
    s.OnLeftButtonDown(Px(2), Py(1));
    s.OnMouseMove(150, 300, true);
    view.log.clear();
    s.OnLeftButtonDown(Px(3), Py(1));
    EXPECT_EQ(view.log.front(), "eraseRect");
    EXPECT_EQ(view.log[1], "draw 21b");
    s.OnLeftButtonUp(Px(3), Py(2));
    EXPECT_EQ(view.black, (std::vector<std::string>{"31U"}));
}

TEST_F(Session, CaptureErasedBeforeMovedPieceIsDrawn) {
    s.Start({2, "A", "B"});
    Place(Rows(".w..", ".b..", "....", ".b.."));
    view.log.clear();
    Drag(s, "21U");
    const auto erase = std::find(view.log.begin(), view.log.end(), "erase 24");
    const auto draw = std::find(view.log.begin(), view.log.end(), "draw 22b");
    ASSERT_NE(erase, view.log.end());
    ASSERT_NE(draw, view.log.end());
    EXPECT_LT(erase, draw);
}

TEST_F(Session, NetworkInvitingSide) {
    s.Start({2, "old", "game"});
    s.Start({3, Gbk("本地"), ""});
    EXPECT_EQ(link.attached, (std::vector<int>{0}));
    EXPECT_EQ(link.hellos, (std::vector<std::pair<int, std::string>>{{0, Gbk("本地")}}));
    // The hello goes out on the socket of the accepted invitation, so it is attached first.
    EXPECT_EQ(link.calls, (std::vector<std::string>{"attach 0", "hello 0"}));
    EXPECT_EQ(link.channels[0].state, AwaitingHello);
    EXPECT_EQ(link.channels[0].role, Inviting);
    EXPECT_EQ(view.status, Gbk("现在是 old(黑)  走棋..."));  // unchanged until the hello
    Drag(s, "21U");
    EXPECT_TRUE(view.black.empty());                   // no move before the hello
    EXPECT_FALSE(s.OnMoveReceived(0, {1, 3, Right}));  // nor a move from the peer

    EXPECT_FALSE(s.OnHelloReceived(1, "x", "1.2.3.4"));  // another connection
    EXPECT_TRUE(s.OnHelloReceived(0, Gbk("远方"), "10.0.0.7"));
    EXPECT_EQ(view.match, Gbk("战局：   黑:本地(本机)   VS   白:远方(10.0.0.7)"));
    EXPECT_EQ(view.status, Gbk("现在该你走棋了..."));
    EXPECT_EQ(link.channels[0].state, LocalTurn);
    EXPECT_FALSE(s.OnHelloReceived(0, "again", ""));

    Drag(s, "21U");
    ASSERT_EQ(link.moves.size(), 1u);
    EXPECT_EQ(link.moves[0].second, (MoveRecord{2, 1, Up}));
    EXPECT_EQ(view.status, Gbk("正在等待对方走棋,请稍后..."));
    EXPECT_EQ(link.channels[0].state, AwaitingMove);
    EXPECT_EQ(s.InputEnabled(), 0);

    // Illegal peer moves are dropped and the board stays as it is.
    const std::string before = BoardToText(s.CurrentBoard());
    for (MoveRecord bad : {MoveRecord{2, 1, Up}, MoveRecord{1, 4, Up}, MoveRecord{9, 9, Left},
                           MoveRecord{1, 3, 7}, MoveRecord{2, 4, Up}, MoveRecord{0, 3, Right}}) {
        EXPECT_FALSE(s.OnMoveReceived(0, bad));
    }
    EXPECT_EQ(BoardToText(s.CurrentBoard()), before);
    EXPECT_TRUE(s.OnMoveReceived(0, {1, 3, Right}));
    EXPECT_EQ(view.white, (std::vector<std::string>{"13R"}));
    EXPECT_EQ(view.animations, (std::vector<std::string>{"w13R"}));
    EXPECT_EQ(s.CurrentBoard().blackPieces, 5);
    EXPECT_EQ(view.status, Gbk("现在该你走棋了..."));
    EXPECT_EQ(s.SideToMove(), Black);
    EXPECT_EQ(s.InputEnabled(), 1);

    // The local move that leaves white with one piece is sent, then the local side wins.
    Place(Rows("w..w", ".b..", "b...", "...."));
    Drag(s, "23L");
    EXPECT_EQ(link.moves.back().second, (MoveRecord{2, 3, Left}));
    EXPECT_EQ(view.status, Gbk("游戏结束，恭喜你，你赢了!!"));
}

TEST_F(Session, NetworkAnsweringSideAndStop) {
    s.Start({1, Gbk("白方"), ""});  // the name the last Start left
    s.OnInvitationAccepted(3);
    EXPECT_EQ(s.ActiveSlot(), 3);
    EXPECT_EQ(link.channels[3].role, Answering);
    EXPECT_EQ(link.channels[3].state, AwaitingHello);
    EXPECT_EQ(s.SideToMove(), White);
    EXPECT_EQ(s.InputEnabled(), 0);
    EXPECT_TRUE(link.hellos.empty());
    EXPECT_FALSE(s.OnMoveReceived(3, {2, 1, Up}));  // a move before the hello

    EXPECT_TRUE(s.OnHelloReceived(3, "", "127.0.0.1"));
    EXPECT_EQ(link.hellos, (std::vector<std::pair<int, std::string>>{{3, Gbk("白方")}}));
    EXPECT_EQ(view.match, Gbk("战局：   白:白方(本机)   VS   黑:(127.0.0.1)"));
    EXPECT_EQ(view.status, Gbk("正在等待对方走棋,请稍后..."));
    EXPECT_EQ(link.channels[3].state, AwaitingMove);
    Drag(s, "13R");
    EXPECT_TRUE(view.white.empty());

    EXPECT_FALSE(s.OnMoveReceived(3, {1, 3, Right}));  // a white piece: not the peer's
    EXPECT_FALSE(s.OnMoveReceived(1, {2, 1, Up}));     // another connection
    EXPECT_TRUE(s.OnMoveReceived(3, {2, 1, Up}));
    EXPECT_EQ(view.black, (std::vector<std::string>{"21U"}));
    EXPECT_EQ(view.status, Gbk("现在该你走棋了..."));
    Drag(s, "13R");
    EXPECT_EQ(link.moves.back(), (std::pair<int, MoveRecord>{3, {1, 3, Right}}));

    // Stop while the peer's move is awaited: it still arrives and gives the turn back.
    s.Stop();
    EXPECT_TRUE(s.OnMoveReceived(3, {3, 1, Up}));
    EXPECT_EQ(s.SideToMove(), White);
    EXPECT_EQ(s.InputEnabled(), 1);

    // The peer's capture that leaves this side with one piece: a loss here.
    Place(Rows(".w.w", "b...", ".b..", "...."));
    Drag(s, "44D");
    EXPECT_EQ(link.moves.back().second, (MoveRecord{4, 4, Down}));
    EXPECT_TRUE(s.OnMoveReceived(3, {1, 3, Right}));
    EXPECT_EQ(s.CurrentBoard().whitePieces, 1);
    EXPECT_EQ(view.status, Gbk("游戏结束，你输了 :("));
    // A move after the end is not applied.
    const std::string after = BoardToText(s.CurrentBoard());
    s.OnMoveReceived(3, {2, 3, Up});
    EXPECT_EQ(BoardToText(s.CurrentBoard()), after);
}

TEST_F(Session, OnePlayerSideWithoutStepLosesAfterTheComputersStep) {
    s.Start({1, "p", ""});
    Place(Rows("w...", "b...", ".w..", "bw.."));
    // Black's step into the corner, then the computer closes the last way out without taking.
    computer.moves = {{1, 4, Down}};
    Drag(s, "13D");
    EXPECT_EQ(view.white, (std::vector<std::string>{"14D"}));
    EXPECT_EQ(s.CurrentBoard().blackPieces, 2);
    EXPECT_EQ(s.CurrentBoard().whitePieces, 3);
    EXPECT_EQ(view.status, Gbk("游戏结束，你输了 :("));
    EXPECT_EQ(s.GameState(), NoGame);
}

// Stop while the inviting side waits for the peer's hello; the hello then gives the mouse
// back, but nobody is to move: a press on an empty point must not become a "move" that is
// sent and recorded.
TEST_F(Session, AfterStopDuringTheHandshakeNothingCanBePickedUp) {
    s.Start({3, "me", ""});
    s.Stop();
    ASSERT_TRUE(s.OnHelloReceived(0, "peer", "10.0.0.7"));
    EXPECT_EQ(s.InputEnabled(), 1);
    s.OnLeftButtonDown(Px(2), Py(2));  // an empty point
    EXPECT_FALSE(s.Dragging());
    Drag(s, 2, 2, 2, 3);
    Drag(s, "21U");  // a black piece: nobody is to move either
    EXPECT_TRUE(link.moves.empty());
    EXPECT_TRUE(view.black.empty());
    EXPECT_TRUE(view.white.empty());
    EXPECT_TRUE(s.History().empty());
    EXPECT_EQ(BoardToText(s.CurrentBoard()), "bbbbb..bw..wwwww");
}

TEST_F(Session, EveryModeRecordsItsPlies) {
    // The local drop and the computer's capturing answer.
    s.Start({1, "p", ""});
    computer.moves = {{1, 3, Right}};
    Drag(s, "21U");
    ASSERT_EQ(s.History().size(), 2u);
    EXPECT_EQ(s.History()[0], (PlyRecord{Black, {2, 1, Up}, {}, 6, 6}));
    EXPECT_EQ(s.History()[1], (PlyRecord{White, {1, 3, Right}, {MakePoint(2, 2)}, 6, 6}));

    // Two pieces taken by one step, column first; the counts before it.
    s.Start({2, "A", "B"});
    Place(Rows(".w.w", ".b..", "..bw", ".b.."));
    Drag(s, "21U");
    ASSERT_EQ(s.History().size(), 1u);
    EXPECT_EQ(s.History()[0],
              (PlyRecord{Black, {2, 1, Up}, {MakePoint(2, 4), MakePoint(4, 2)}, 3, 3}));
    EXPECT_EQ(s.CurrentBoard().whitePieces, 1);

    // The peer's move, and the local one that is sent.
    s.OnInvitationAccepted(2);
    EXPECT_TRUE(s.History().empty());
    ASSERT_TRUE(s.OnHelloReceived(2, "peer", ""));
    ASSERT_TRUE(s.OnMoveReceived(2, {2, 1, Up}));
    Drag(s, "13R");
    ASSERT_EQ(s.History().size(), 2u);
    EXPECT_EQ(s.History()[0], (PlyRecord{Black, {2, 1, Up}, {}, 6, 6}));
    EXPECT_EQ(s.History()[1], (PlyRecord{White, {1, 3, Right}, {MakePoint(2, 2)}, 6, 6}));
    EXPECT_EQ(link.moves.back().second, (MoveRecord{1, 3, Right}));
}

namespace {

// What undo must give back exactly: the board, the lists and whose turn it is.
struct Snapshot {
    Board board;
    std::vector<std::string> black, white;
    std::int32_t sideToMove;
    std::string status;
    friend bool operator==(const Snapshot& a, const Snapshot& b) {
        return a.board.cells == b.board.cells && a.board.blackPieces == b.board.blackPieces &&
               a.board.whitePieces == b.board.whitePieces && a.black == b.black &&
               a.white == b.white && a.sideToMove == b.sideToMove && a.status == b.status;
    }
};

Snapshot Take(const GameSession& s, const FakeView& view) {
    return {s.CurrentBoard(), view.black, view.white, s.SideToMove(), view.status};
}

std::vector<MoveRecord> LegalSteps(const Board& board, CellCode side) {
    std::vector<MoveRecord> legal;
    for (int x = 1; x <= 4; ++x)
        for (int y = 1; y <= 4; ++y)
            for (int d = Up; d <= Right; ++d)
                if (board.IsLegalStep(side, {x, y, d})) legal.push_back({x, y, d});
    return legal;
}

}  // namespace

// Whole two-player games to their end, taken back one step at a time to the start and
// replayed to the end again.
TEST_F(Session, UndoAndRedoWalkWholeGamesBothWays) {
    std::uint32_t seed = 777;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    int captures = 0;
    for (int game = 0; game < 12; ++game) {
        s.Start({2, "A", "B"});
        EXPECT_FALSE(s.CanUndo());
        std::vector<Snapshot> before;
        while (s.GameState() == Running && before.size() < 400) {
            const auto legal = LegalSteps(s.CurrentBoard(), static_cast<CellCode>(s.SideToMove()));
            before.push_back(Take(s, view));
            Drag(s, Board::FormatMove(legal[next() % legal.size()]).c_str());
            captures += static_cast<int>(s.History().back().captured.size());
        }
        ASSERT_EQ(s.GameState(), NoGame);
        const Snapshot end = Take(s, view);
        EXPECT_FALSE(s.CanRedo());

        // Back to the start; the first undo reopens the finished game and its clock.
        for (std::size_t i = before.size(); i-- > 0;) {
            ASSERT_TRUE(s.CanUndo()) << "game " << game << " ply " << i;
            ASSERT_TRUE(s.Undo());
            ASSERT_EQ(Take(s, view), before[i]) << "game " << game << " ply " << i;
            ASSERT_EQ(s.GameState(), Running);
            ASSERT_EQ(s.InputEnabled(), 1);
            ASSERT_EQ(s.History().size(), i);
        }
        EXPECT_TRUE(view.timerRunning);
        EXPECT_FALSE(s.CanUndo());
        EXPECT_FALSE(s.Undo());
        EXPECT_EQ(BoardToText(s.CurrentBoard()), "bbbbb..bw..wwwww");

        // And forward again to the same end.
        for (std::size_t i = 1; i < before.size(); ++i) {
            ASSERT_TRUE(s.Redo());
            ASSERT_EQ(Take(s, view), before[i]) << "game " << game << " ply " << i;
        }
        ASSERT_TRUE(s.Redo());
        EXPECT_EQ(Take(s, view), end);
        EXPECT_EQ(s.GameState(), NoGame);
        EXPECT_FALSE(view.timerRunning);
        EXPECT_FALSE(s.CanRedo());
        EXPECT_FALSE(s.Redo());
    }
    EXPECT_GT(captures, 20);
}

TEST_F(Session, UndoAgainstTheComputerTakesBackBothSteps) {
    s.Start({1, "p", ""});
    const Snapshot start = Take(s, view);
    computer.moves = {{1, 3, Right}, {4, 3, Left}};
    Drag(s, "21U");
    const Snapshot afterFirst = Take(s, view);
    Drag(s, "31U");
    EXPECT_EQ(view.white, (std::vector<std::string>{"13R", "43L"}));

    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(Take(s, view), afterFirst);
    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(Take(s, view), start);
    EXPECT_EQ(s.CurrentBoard().blackPieces, 6);  // the piece 13R took is back
    EXPECT_EQ(s.CursorFor(), TurnCursor::BlackHand);
    EXPECT_FALSE(s.CanUndo());

    // Redo replays the stored answers without asking the computer again.
    const int calls = computer.calls;
    ASSERT_TRUE(s.Redo());
    EXPECT_EQ(Take(s, view), afterFirst);
    EXPECT_EQ(computer.calls, calls);
    EXPECT_TRUE(s.CanRedo());

    // A new step drops what could have been replayed.
    computer.moves = {{3, 4, Down}};
    Drag(s, "11R");
    EXPECT_FALSE(s.CanRedo());
    EXPECT_FALSE(s.Redo());
    ASSERT_EQ(s.History().size(), 4u);
    EXPECT_EQ(s.History()[2].step, (MoveRecord{1, 1, Right}));
    EXPECT_EQ(view.black, (std::vector<std::string>{"21U", "11R"}));
    EXPECT_EQ(view.white, (std::vector<std::string>{"13R", "34D"}));
}

TEST_F(Session, UndoOfFinishedGamesAgainstTheComputer) {
    // Lost: the computer's capture left black one piece. One undo gives black its turn back.
    s.Start({1, "p", ""});
    Place(Rows("..w.", ".w..", "..b.", "b..."));
    const Snapshot before = Take(s, view);
    computer.moves = {{2, 3, Right}};
    Drag(s, "11R");
    ASSERT_EQ(view.status, Gbk("游戏结束，你输了 :("));
    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(Take(s, view).board.cells, before.board.cells);
    EXPECT_EQ(view.status, Gbk("现在该你走棋了..."));
    EXPECT_EQ(s.InputEnabled(), 1);
    EXPECT_TRUE(view.timerRunning);
    EXPECT_FALSE(s.CanUndo());  // the set-up position is where the record starts

    // Won because the computer had no step: the undo takes back black's step alone, and the
    // redo asks the computer again and ends the game again.
    s.Start({1, "p", ""});
    Drag(s, "21U");
    ASSERT_EQ(view.status, Gbk("游戏结束，恭喜你，你赢了!!"));
    ASSERT_EQ(s.History().size(), 1u);
    ASSERT_TRUE(s.Undo());
    EXPECT_EQ(BoardToText(s.CurrentBoard()), "bbbbb..bw..wwwww");
    EXPECT_TRUE(view.black.empty());
    ASSERT_TRUE(s.Redo());
    EXPECT_EQ(view.status, Gbk("游戏结束，恭喜你，你赢了!!"));
    EXPECT_EQ(s.GameState(), NoGame);
}

TEST_F(Session, UndoIsNotOfferedInNetworkGamesNorAfterStop) {
    s.Start({3, "me", ""});
    ASSERT_TRUE(s.OnHelloReceived(0, "peer", ""));
    Drag(s, "21U");
    ASSERT_TRUE(s.OnMoveReceived(0, {1, 3, Right}));
    ASSERT_EQ(s.History().size(), 2u);
    EXPECT_FALSE(s.CanUndo());
    EXPECT_FALSE(s.Undo());
    EXPECT_EQ(s.History().size(), 2u);
    EXPECT_EQ(view.white.size(), 1u);

    s.Start({2, "A", "B"});
    Drag(s, "21U");
    s.Stop();
    EXPECT_FALSE(s.CanUndo());
    EXPECT_FALSE(s.Undo());
    EXPECT_EQ(view.black.size(), 1u);
}

TEST_F(Session, UndoDuringADragPutsTheLiftedPieceBackFirst) {
    s.Start({2, "A", "B"});
    Drag(s, "21U");
    s.OnLeftButtonDown(Px(1), Py(3));
    s.OnMouseMove(150, 300, true);
    ASSERT_TRUE(s.Undo());
    EXPECT_FALSE(s.Dragging());
    // The release that follows makes no step.
    s.OnLeftButtonUp(Px(2), Py(3));
    EXPECT_TRUE(view.white.empty());
    EXPECT_EQ(s.SideToMove(), Black);
    EXPECT_EQ(BoardToText(s.CurrentBoard()), "bbbbb..bw..wwwww");
}

TEST_F(Session, ADragRepaintsThePiecesItPassesOverButNotTheLiftedOne) {
    s.Start({2, "A", "B"});
    view.log.clear();
    s.OnLeftButtonDown(Px(2), Py(1));
    s.OnMouseMove(Px(3), Py(1), true);  // over the black piece on (3, 1)
    s.OnMouseMove(Px(3), 300, true);    // and off it again
    s.OnLeftButtonUp(Px(3), 300);
    EXPECT_EQ(view.log,
              (std::vector<std::string>{"eraseRect", "drag 195,370", "eraseRect", "draw 31b",
                                        "drag 195,290", "eraseRect", "draw 21b"}));
}

TEST(SessionWaiting, ComputerTurnWaitsForItsPlayerAndResumesAsDesigned) {
    FakeView view;
    WaitingComputer computer;
    GameSession s{view, &computer, nullptr};
    s.Start({1, Gbk("甲"), ""});
    computer.moves = {{1, 3, Right}};
    Drag(s, "21U");
    // Nothing blocks: the turn is pending, nobody may move, the status says the computer is on.
    EXPECT_TRUE(s.ComputerTurnPending());
    EXPECT_EQ(computer.calls, 0);
    EXPECT_EQ(view.status, Gbk("正在等候电脑走棋，请稍后...."));
    EXPECT_EQ(s.SideToMove(), White);
    EXPECT_EQ(s.InputEnabled(), 0);
    EXPECT_FALSE(s.CanUndo());
    EXPECT_FALSE(s.ResumeComputerTurn());
    EXPECT_TRUE(s.ComputerTurnPending());

    computer.ready = true;
    EXPECT_TRUE(s.ResumeComputerTurn());
    EXPECT_FALSE(s.ComputerTurnPending());
    EXPECT_EQ(view.white, (std::vector<std::string>{"13R"}));
    EXPECT_EQ(s.CurrentBoard().blackPieces, 5);
    EXPECT_EQ(view.status, Gbk("现在该你走棋了..."));
    EXPECT_EQ(s.InputEnabled(), 1);
    EXPECT_FALSE(s.ResumeComputerTurn());

    // A computer without a move, once ready, loses as it would have at once.
    computer.ready = false;
    Drag(s, "12R");
    ASSERT_TRUE(s.ComputerTurnPending());
    computer.ready = true;
    EXPECT_TRUE(s.ResumeComputerTurn());
    EXPECT_EQ(view.status, Gbk("游戏结束，恭喜你，你赢了!!"));
    EXPECT_EQ(s.GameState(), NoGame);
}

TEST(SessionWaiting, StopOrANewGameDropsThePendingTurn) {
    FakeView view;
    WaitingComputer computer;
    GameSession s{view, &computer, nullptr};
    s.Start({1, Gbk("甲"), ""});
    computer.moves = {{1, 3, Right}};
    Drag(s, "21U");
    ASSERT_TRUE(s.ComputerTurnPending());
    s.Stop();
    computer.ready = true;
    EXPECT_FALSE(s.ComputerTurnPending());
    EXPECT_FALSE(s.ResumeComputerTurn());
    EXPECT_EQ(computer.calls, 0);
    EXPECT_TRUE(view.white.empty());

    computer.ready = false;
    s.Start({1, Gbk("甲"), ""});
    Drag(s, "21U");
    ASSERT_TRUE(s.ComputerTurnPending());
    s.Start({1, Gbk("甲"), ""});
    EXPECT_FALSE(s.ComputerTurnPending());
    computer.ready = true;
    EXPECT_FALSE(s.ResumeComputerTurn());
    EXPECT_EQ(s.SideToMove(), Black);
}

TEST(SessionWaiting, EveryPlayedStepIsReportedOnceItIsRecorded) {
    StepView view;
    ScriptedComputer computer;
    GameSession s{view, &computer, nullptr};
    view.session = &s;
    s.Start({1, Gbk("甲"), ""});
    computer.moves = {{1, 3, Right}, {2, 2, Down}};
    Drag(s, "21U");  // white's 13R takes the piece on (2, 2)
    EXPECT_EQ(view.played, (std::vector<std::string>{"21U/0/1", "13R/1/2"}));
    // Undo and redo change the record without new steps being played.
    ASSERT_TRUE(s.Undo());
    ASSERT_TRUE(s.Redo());
    EXPECT_EQ(view.played.size(), 2u);
}

TEST_F(Session, NetworkRefusedPeerMovesAreNamedAndAPeerThatLeavesEndsTheGame) {
    s.Start({3, Gbk("本地"), ""});
    ASSERT_TRUE(s.OnHelloReceived(0, Gbk("远方"), "10.0.0.7"));
    Drag(s, "21U");
    const std::string before = BoardToText(s.CurrentBoard());
    EXPECT_FALSE(s.OnMoveReceived(0, {1, 4, Up}));
    EXPECT_EQ(view.status, Gbk("对方的走法 14U 不合规则,正在等待对方走棋,请稍后..."));
    EXPECT_FALSE(s.OnMoveReceived(0, {1, 3, 7}));
    EXPECT_EQ(view.status, Gbk("对方的走法 13ERR 不合规则,正在等待对方走棋,请稍后..."));
    EXPECT_EQ(BoardToText(s.CurrentBoard()), before);
    EXPECT_EQ(s.InputEnabled(), 0);
    // A move on another connection is no refusal of this game's peer: nothing is shown.
    view.status.clear();
    EXPECT_FALSE(s.OnMoveReceived(2, {1, 4, Up}));
    EXPECT_TRUE(view.status.empty());
    // The game went on waiting and takes the legal move.
    EXPECT_TRUE(s.OnMoveReceived(0, {1, 3, Right}));
    EXPECT_EQ(view.status, Gbk("现在该你走棋了..."));

    // The peer of another connection leaving changes nothing; this game's peer ends it.
    s.OnPeerLeft(3);
    EXPECT_EQ(s.GameState(), Running);
    EXPECT_TRUE(view.timerRunning);
    s.OnPeerLeft(0);
    EXPECT_EQ(view.status, Gbk("游戏结束，对方已经离开!!"));
    EXPECT_EQ(s.GameState(), NoGame);
    EXPECT_EQ(s.InputEnabled(), 0);
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

    // The next game starts as usual.
    s.Start({1, Gbk("张三"), ""});
    EXPECT_EQ(view.status, Gbk("现在该你走棋了..."));
    EXPECT_TRUE(view.timerRunning);
    s.OnPeerLeft(0);  // not a network game
    EXPECT_EQ(s.GameState(), Running);
}

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <deque>
#include <optional>
#include <sstream>
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
    std::string seen;  // the board and the status line while it chose
    const std::string* status = nullptr;
    std::optional<MoveRecord> ChooseMove(const Board& board) override {
        ++calls;
        seen = BoardToText(board) + " " + *status;
        if (moves.empty()) return std::nullopt;
        const MoveRecord move = moves.front();
        moves.pop_front();
        return move;
    }
    bool ReadyToChoose() const override { return ready; }
};

// Keeps the connections' roles and channel states as the network layer would, and notes
// what the session sends, in order.
struct ScriptedLink : NetworkLink {
    Strings calls;  // "attach 0", "hello 0 name", "move 0 21U"
    std::array<ChannelStatus, 6> channels{};
    void AttachPeer(int slot) override {
        channels[slot] = ChannelStatus{};
        calls.push_back("attach " + std::to_string(slot));
    }
    void SendHello(int slot, const std::string& name) override {
        calls.push_back("hello " + std::to_string(slot) + " " + name);
    }
    void SendMove(int slot, const MoveRecord& m) override {
        calls.push_back("move " + std::to_string(slot) + " " + Board::FormatMove(m));
    }
    ChannelStatus Channel(int slot) const override { return channels[slot]; }
    void SetChannel(int slot, const ChannelStatus& status) override { channels[slot] = status; }
};

// Also notes every step reported played: step, captures and the record's length then.
struct View : test::RecordingView {
    Strings played;
    void StepPlayed(const PlyRecord& ply) override {
        played.push_back(Board::FormatMove(ply.step) + "/" + std::to_string(ply.captured.size()) +
                         "/" + std::to_string(session->History().size()));
    }
};

MoveRecord Step(const std::string& text) {
    MoveRecord m;
    EXPECT_TRUE(ParseMoveText(text, m)) << text;
    return m;
}

// Rows from the top one down.
std::string Rows(const char* top, const char* r3, const char* r2, const char* bottom) {
    return std::string(bottom) + r2 + r3 + top;
}

const std::string kStart = "bbbbb..bw..wwwww";
const std::string kYourTurn = "现在该你走棋了...";
const std::string kThinking = "正在等候电脑走棋，请稍后....";
const std::string kWaiting = "正在等待对方走棋,请稍后...";
const std::string kYouWin = "游戏结束，恭喜你，你赢了!!";
const std::string kYouLose = "游戏结束，你输了 :(";
const std::string kPeerLeft = "游戏结束，对方已经离开!!";
const std::string kWhiteWins = "游戏结束，白棋(B)胜!!";

StartChoice Choice(GameKind kind) {
    return {kind, "A", kind == GameKind::TwoPlayers ? "B" : ""};
}

struct Session : ::testing::Test {
    View view;
    ScriptedComputer computer;
    ScriptedLink link;
    GameSession s{view, &computer, &link};

    Session() {
        view.session = &s;
        computer.status = &view.status;
    }
    void Answers(const std::string& moves) {
        std::istringstream in(moves);
        for (std::string m; in >> m;) computer.moves.push_back(Step(m));
    }
    // Puts a position on the board; the side to move stays unless another is given.
    void Place(const std::string& text, CellCode toMove = Empty) {
        Board position;
        ASSERT_TRUE(BoardFromText(text, position));
        s.SetUpPosition(position, toMove == Empty ? s.SideToMove() : toMove);
    }
    // Runs space-separated actions and returns their answers, space-separated:
    //   21U      the local player's step: T taken, I illegal, N not the local player's turn
    //   <21U     the peer's move on the game's slot, 2<21U on slot 2: + taken, - refused
    //   hello    the peer's hello on the game's slot, 1hello on slot 1: + -
    //   undo redo resume, from2 (PlayOnFrom(2)): + done, - not;  stop, new (the same kind again),
    //   accept3 (an invitation on slot 3 accepted), left0 (the peer of slot 0 gone), wait and ready
    //   (the computer's player), hold (slides wait), slide (the held slide ends): .
    std::string Run(const std::string& actions, GameKind kind) {
        std::istringstream in(actions);
        std::string answers;
        for (std::string a; in >> a;) {
            const auto yes = [](bool done) { return done ? "+" : "-"; };
            const auto lt = a.find('<');
            const int slot = std::isdigit(static_cast<unsigned char>(a[0])) && a.size() > 3
                                 ? a[0] - '0'
                                 : s.ActiveSlot();
            std::string r = ".";
            if (a == "undo")
                r = yes(s.Undo());
            else if (a == "redo")
                r = yes(s.Redo());
            else if (a == "resume")
                r = yes(s.ResumeComputerTurn());
            else if (a == "stop")
                s.Stop();
            else if (a == "new")
                s.Start(Choice(kind));
            else if (a == "wait" || a == "ready")
                computer.ready = a == "ready";
            else if (a == "hold")
                view.holdSlides = true;
            else if (a == "slide")
                view.FinishSlide();
            else if (a.starts_with("from"))
                r = yes(s.PlayOnFrom(std::stoul(a.substr(4))));
            else if (a.starts_with("accept"))
                s.OnInvitationAccepted(a[6] - '0');
            else if (a.starts_with("left"))
                s.OnPeerLeft(a[4] - '0');
            else if (a.ends_with("hello"))
                r = yes(s.OnHelloReceived(slot, "peer", "10.0.0.7"));
            else if (lt != std::string::npos)
                r = yes(s.OnMoveReceived(slot, Step(a.substr(lt + 1))));
            else {
                const LocalStep step = s.PlayLocalStep(Step(a));
                r = step == LocalStep::Taken ? "T" : step == LocalStep::Illegal ? "I" : "N";
            }
            answers += (answers.empty() ? "" : " ") + r;
        }
        return answers;
    }
    // Board, counts, side to move, status and both lists: what undo must give back.
    std::string Snapshot() const {
        std::string text = BoardToText(s.CurrentBoard()) + "|" + std::to_string(s.SideToMove()) +
                           "|" + view.status + "|";
        for (const auto& m : view.black) text += m + " ";
        for (const auto& m : view.white) text += "/" + m;
        return text + std::to_string(s.CurrentBoard().blackPieces) +
               std::to_string(s.CurrentBoard().whitePieces);
    }
};

// A game of `kind`, perhaps from a position, played by a script of actions (Session::Run)
// with the computer's answers: what each action answered, and where the game stands then.
struct Flow {
    const char* name;
    GameKind kind;
    const char* script;
    const char* answers;
    std::string status;
    TurnPhase phase;
    const char* computer = "";
    std::string position = "";  // empty: the start position
    CellCode toMove = Empty;
};

void PrintTo(const Flow& flow, std::ostream* out) {
    *out << flow.name;
}

class Flows : public Session, public ::testing::WithParamInterface<Flow> {};

constexpr GameKind kOne = GameKind::OnePlayer;
constexpr GameKind kTwo = GameKind::TwoPlayers;
constexpr GameKind kNet = GameKind::Network;
using P = TurnPhase;

}  // namespace

TEST_P(Flows, AnswerAndEndWhereTheyShould) {
    const Flow& f = GetParam();
    s.Start(Choice(f.kind));
    if (!f.position.empty()) Place(f.position, f.toMove);
    Answers(f.computer);
    EXPECT_EQ(Run(f.script, f.kind), f.answers);
    EXPECT_EQ(view.status, f.status);
    EXPECT_EQ(s.Phase(), f.phase);
    // A game that is over has nobody to move and its clock stopped; a stopped one still runs.
    EXPECT_TRUE(f.phase != P::Over || s.SideToMove() == Empty);
    EXPECT_EQ(view.timerRunning, f.phase != P::Over);
    // The winner the end names; nobody while a game goes on or after the peer left.
    const CellCode winner = f.status == kYouWin                              ? Black
                            : f.status == kYouLose || f.status == kWhiteWins ? White
                                                                             : Empty;
    EXPECT_EQ(s.Winner(), winner);
}

INSTANTIATE_TEST_SUITE_P(
    Session, Flows,
    ::testing::Values(
        // Against the computer: its answer, and the ways the game ends. White down to one
        // piece still answers once; a step the rules do not allow counts as no move.
        Flow{"ComputerAnswers", kOne, "21U", "T", kYourTurn, P::LocalTurn, "13R"},
        Flow{"ComputerWithoutMove", kOne, "21U 31U", "T N", kYouWin, P::Over},
        Flow{"IllegalComputerStep", kOne, "21U", "T", kYouWin, P::Over, "22U"},
        Flow{"WhiteDownToOne", kOne, "23L", "T", kYouWin, P::Over, "44L",
             Rows("w..w", ".b..", "b...", "....")},
        Flow{"BlackDownToOne", kOne, "11R", "T", kYouLose, P::Over, "23R",
             Rows("..w.", ".w..", "..b.", "b...")},
        Flow{"BlackWalledIn", kOne, "13D", "T", kYouLose, P::Over, "14D",
             Rows("w...", "b...", ".w..", "bw..")},
        // Two players: white first, onto an occupied point and black twice are refused.
        Flow{"TwoPlayersTakeTurns", kTwo, "13R 21R 21U 31U 13R", "I I T I T",
             "现在是 A(黑)  走棋...", P::LocalTurn},
        Flow{"WhiteTakesBlacksLastButOne", kTwo, "11R 23R", "T T", kWhiteWins, P::Over, "",
             Rows("..w.", ".w..", "..b.", "b...")},
        Flow{"BlackWalledInByWhite", kTwo, "31L", "T", kWhiteWins, P::Over, "",
             Rows("....", "w...", "bw..", "b.w."), White},
        Flow{"StopTakesTheTurnAway", kTwo, "21U stop 13R undo from0", "T . N - -",
             "现在是 B(白)  走棋...", P::Stopped},
        // Inviting side: nothing before the hello, then the local step, the peer's refused
        // and taken moves; a move on another slot is not named.
        Flow{"NothingBeforeTheHello", kNet, "21U <13R 1hello", "N - -", "", P::AwaitingPeer},
        Flow{"InvitingSidePlays", kNet, "hello hello 21U 2<14U", "+ - T -", kWaiting,
             P::AwaitingPeer},
        Flow{"PeerMoveTaken", kNet, "hello 21U <21U <13R", "+ T - +", kYourTurn, P::LocalTurn},
        Flow{"StopDuringTheHandshake", kNet, "stop hello 21U", ". + N", kYourTurn, P::Stopped},
        Flow{"WinOverTheNetwork", kNet, "hello 23L", "+ T", kYouWin, P::Over, "",
             Rows("w..w", ".b..", "b...", "....")},
        Flow{"NoUndoOverTheNetwork", kNet, "hello 21U <13R undo from0", "+ T + - -", kYourTurn,
             P::LocalTurn},
        Flow{"PeerLeaves", kNet, "hello left3 left0 <14U left0", "+ . . - .", kPeerLeft, P::Over},
        Flow{"NoPeerToLeave", kOne, "left0", ".", kYourTurn, P::LocalTurn},
        // Answering side: the peer's move first, and after Stop it still gives the turn back.
        Flow{"AnsweringSidePlays", kNet, "accept3 <21U hello 13R <13R 1<21U <21U 13R",
             ". - + N - - + T", kWaiting, P::AwaitingPeer},
        Flow{"PeerMoveAfterStop", kNet, "accept3 hello <21U 13R stop <31U", ". + + T . +",
             kYourTurn, P::LocalTurn},
        // Undo and redo against the computer go by pairs; a new step drops the redo.
        Flow{"UndoAgainstTheComputer", kOne, "21U 31U undo undo undo redo 11R redo",
             "T T + + - + T -", kYourTurn, P::LocalTurn, "13R 43L 34D"},
        Flow{"UndoOfALostGame", kOne, "11R undo undo", "T + -", kYourTurn, P::LocalTurn, "23R",
             Rows("..w.", ".w..", "..b.", "b...")},
        // Going on from an earlier ply: of an ended game, its clock again; where white is to
        // move, the computer answers; where the game stands or beyond its end, nothing.
        Flow{"PlayOnFromAnEndedGame", kOne, "21U 31U from0 from1", "T N + -", kYourTurn,
             P::LocalTurn},
        Flow{"PlayOnWhereWhiteMoves", kOne, "21U from1", "T +", kYourTurn, P::LocalTurn, "13R 43L"},
        Flow{"PlayOnWhereTheGameStands", kTwo, "21U from1 from0", "T - +", "现在是 A(黑)  走棋...",
             P::LocalTurn},
        Flow{"PlayOnFromTheEndOfAWin", kTwo, "11R 23R from2 from1", "T T - +",
             "现在是 B(白)  走棋...", P::LocalTurn, "", Rows("..w.", ".w..", "..b.", "b...")},
        Flow{"RedoAsksTheComputerAgain", kOne, "21U undo redo", "T + +", kYouWin, P::Over},
        // A computer's player that is not ready: the turn waits, Stop or a new game drops it.
        Flow{"ComputerWaits", kOne, "wait 21U 31U undo resume", ". T N - -", kThinking,
             P::ComputerThinking, "13R"},
        Flow{"ComputerResumes", kOne, "wait 21U ready resume resume", ". T . + -", kYourTurn,
             P::LocalTurn, "13R"},
        Flow{"ComputerResumesWithoutMove", kOne, "wait 21U ready resume", ". T . +", kYouWin,
             P::Over},
        Flow{"StopDropsTheWait", kOne, "wait 21U stop ready resume", ". T . . -", kThinking,
             P::Stopped, "13R"},
        Flow{"NewGameDropsTheWait", kOne, "wait 21U new ready resume 21U", ". T . . - T", kYourTurn,
             P::LocalTurn, "13R"},
        // A held slide: nobody may move or take back until it ends; a late end does nothing.
        Flow{"SlideHoldsTheTurn", kOne, "hold 21U 31U undo", ". T N -", kThinking, P::Animating,
             "13R"},
        Flow{"SlideEnds", kOne, "hold 21U slide slide 31U", ". T . . T", kYouWin, P::Over, "13R"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Session, StartAndHelloTexts) {
    const struct {
        StartChoice choice;
        const char* match;
        const char* status;
    } starts[] = {
        {{kOne, "张三", ""}, "战局：   张三(黑)   VS   电脑(白)", "现在该你走棋了..."},
        {{kTwo, "甲", "乙"}, "战局：   甲(黑)   VS   乙(白)", "现在是 甲(黑)  走棋..."},
    };
    for (const auto& start : starts) {
        s.Start(start.choice);
        EXPECT_EQ(view.match, start.match);
        EXPECT_EQ(view.status, start.status);
        EXPECT_EQ(view.clock, " 0: 0: 0");
    }
    s.Start({kNet, "本地", ""});
    EXPECT_EQ(view.status, "现在是 甲(黑)  走棋...");  // unchanged until the hello
    ASSERT_TRUE(s.OnHelloReceived(0, "远方", "10.0.0.7"));
    EXPECT_EQ(view.match, "战局：   黑:本地(本机)   VS   白:远方(10.0.0.7)");
    s.OnInvitationAccepted(3);
    ASSERT_TRUE(s.OnHelloReceived(3, "", "127.0.0.1"));
    EXPECT_EQ(view.match, "战局：   白:本地(本机)   VS   黑:(127.0.0.1)");
}

TEST_F(Session, StartsFromASetUpPositionOnlyWhenTheRulesCan) {
    // Black at 11 and 21 walled in by white at 31, 12 and 22.
    const std::string walled = "bbw.ww..........";
    const std::string open = "b..b.w....bw..w.";
    const struct {
        std::string board;
        CellCode toMove;
        GameKind kind;
        SetupProblem problem;
    } refused[] = {
        {"bb..............", Black, kTwo, SetupProblem::NoPieces},
        {"bb.........w....", Black, kTwo, SetupProblem::LonePiece},
        {"bbbbbbb..w.www..", White, kOne, SetupProblem::TooManyPieces},
        {walled, Black, kTwo, SetupProblem::MoverBlocked},
        {open, Empty, kTwo, SetupProblem::NoSideToMove},
        {open, Black, kNet, SetupProblem::NotLocal},
    };
    s.Start(Choice(kTwo));
    ASSERT_EQ(Run("21U", kTwo), "T");
    const std::string before = Snapshot();
    for (const auto& r : refused) {
        Board position;
        ASSERT_TRUE(BoardFromText(r.board, position));
        EXPECT_EQ(s.StartFromPosition(Choice(r.kind), position, r.toMove), r.problem) << r.board;
        EXPECT_EQ(Snapshot(), before) << r.board;
        EXPECT_EQ(s.History().size(), 1u);
    }

    // Two players, white to move: white's turn at once, recorded from there.
    Board position;
    ASSERT_TRUE(BoardFromText(walled, position));
    position.blackPieces = 6;  // the counts come from the cells
    ASSERT_EQ(s.StartFromPosition(Choice(kTwo), position, White), SetupProblem::None);
    EXPECT_EQ(view.status, "现在是 B(白)  走棋...");
    EXPECT_EQ(s.SideToMove(), White);
    EXPECT_TRUE(s.MayLift(1, 2));
    EXPECT_FALSE(s.MayLift(1, 1));
    EXPECT_EQ(BoardToText(s.StartBoard()), walled);
    EXPECT_EQ(s.StartSide(), White);
    EXPECT_EQ(s.CurrentBoard().blackPieces, 2);
    EXPECT_TRUE(s.History().empty() && view.black.empty());
    EXPECT_EQ(Run("22R 21U", kTwo), "T T");

    // Against the computer with white to move, the computer answers first.
    ASSERT_TRUE(BoardFromText(open, position));
    Answers("22U");
    ASSERT_EQ(s.StartFromPosition(Choice(kOne), position, White), SetupProblem::None);
    EXPECT_EQ(computer.seen, open + " " + kThinking);
    EXPECT_EQ(view.white, Strings{"22U"});
    EXPECT_EQ(view.status, kYourTurn);
    EXPECT_EQ(s.SideToMove(), Black);
    EXPECT_EQ(s.StartSide(), White);
    ASSERT_EQ(s.StartFromPosition(Choice(kOne), position, Black), SetupProblem::None);
    EXPECT_EQ(computer.calls, 1);
    EXPECT_EQ(view.status, kYourTurn);

    // A record may start from a decided position: the game is over at once.
    ASSERT_TRUE(BoardFromText("bb.........w....", position));
    s.StartAt(Choice(kTwo), position, White);
    EXPECT_EQ(s.Phase(), P::Over);
    EXPECT_EQ(view.status, "游戏结束，黑棋(A)胜!!");
    s.StartAt(Choice(kOne), position, White);
    EXPECT_EQ(view.status, kYouWin);
    EXPECT_EQ(computer.calls, 1);  // not asked for a step it cannot have
}

TEST_F(Session, TheComputerSeesTheBoardAfterTheStepAndItsAnswerSlides) {
    s.Start(Choice(kOne));
    Answers("13R");
    EXPECT_EQ(Run("21U", kOne), "T");
    EXPECT_EQ(computer.seen, "b.bbbb.bw..wwwww " + kThinking);
    EXPECT_EQ(view.black, Strings{"21U"});
    EXPECT_EQ(view.white, Strings{"13R"});
    EXPECT_EQ(view.animations, Strings{"w13R"});  // local steps do not slide
    EXPECT_EQ(view.erasedPieces, (std::vector<std::pair<int, int>>{{2, 2}}));
    EXPECT_EQ(s.CurrentBoard().blackPieces, 5);
}

TEST_F(Session, NetworkSendsAndRefusalsByName) {
    s.Start({kNet, "本地", ""});
    EXPECT_EQ(link.channels[0].role, Inviting);
    EXPECT_EQ(link.channels[0].state, AwaitingHello);
    EXPECT_EQ(Run("hello", kNet), "+");
    EXPECT_EQ(link.channels[0].state, LocalTurn);
    EXPECT_EQ(Run("21U", kNet), "T");
    EXPECT_EQ(link.channels[0].state, AwaitingMove);
    // The hello goes out on the socket of the accepted invitation, so it is attached first.
    EXPECT_EQ(link.calls, (Strings{"attach 0", "hello 0 本地", "move 0 21U"}));
    const struct {
        MoveRecord move;
        const char* named;
    } refused[] = {{{2, 1, Up}, "21U"},
                   {{9, 9, Left}, "99L"},
                   {{2, 4, Up}, "24U"},
                   {{0, 3, Right}, "03R"},
                   {{1, 3, 7}, "13ERR"}};
    for (const auto& r : refused) {
        EXPECT_FALSE(s.OnMoveReceived(0, r.move)) << r.named;
        EXPECT_EQ(view.status,
                  std::string("对方的走法 ") + r.named + " 不合规则,正在等待对方走棋,请稍后...");
    }
    EXPECT_EQ(BoardToText(s.CurrentBoard()), "b.bbbb.bw..wwwww");

    // The answering side sends its hello after the peer's and its step after the peer's.
    s.OnInvitationAccepted(3);
    EXPECT_EQ(s.Kind(), kNet);
    EXPECT_EQ(s.SideToMove(), White);
    EXPECT_EQ(link.channels[3].role, Answering);
    EXPECT_EQ(Run("hello <21U 13R", kNet), "+ + T");
    EXPECT_EQ(link.calls.back(), "move 3 13R");
    EXPECT_EQ(link.calls.end()[-2], "hello 3 本地");
    // A move after the end is not taken, even on a channel that waits.
    EXPECT_EQ(Run("left3", kNet), ".");
    link.channels[3].state = AwaitingMove;
    EXPECT_EQ(Run("<23U", kNet), "-");
}

TEST_F(Session, StopKeepsTheClockGoing) {
    s.Start(Choice(kTwo));
    s.OnClockTick();
    s.Stop();
    s.OnClockTick();
    EXPECT_EQ(view.clock, " 0: 0: 2");
    EXPECT_TRUE(view.timerRunning);
    s.Start(Choice(kOne));
    EXPECT_EQ(view.clock, " 0: 0: 0");
}

TEST_F(Session, EveryKindRecordsItsPliesAndReportsThemOnceRecorded) {
    s.Start(Choice(kOne));
    Answers("13R");
    EXPECT_EQ(Run("21U", kOne), "T");
    EXPECT_EQ(s.History()[0], (PlyRecord{Black, {2, 1, Up}, {}, 6, 6}));
    EXPECT_EQ(s.History()[1], (PlyRecord{White, {1, 3, Right}, {MakePoint(2, 2)}, 6, 6}));
    // Undo and redo change the record without new steps being played.
    EXPECT_EQ(Run("undo redo", kOne), "+ +");
    EXPECT_EQ(view.played, (Strings{"21U/0/1", "13R/1/2"}));

    // Two pieces taken by one step, column first; the counts before it.
    s.Start(Choice(kTwo));
    Place(Rows(".w.w", ".b..", "..bw", ".b.."));
    EXPECT_EQ(Run("21U", kTwo), "T");
    EXPECT_EQ(s.Record().Played().back(),
              (PlyRecord{Black, {2, 1, Up}, {MakePoint(2, 4), MakePoint(4, 2)}, 3, 3}));

    // The peer's move, and the local one that is sent.
    EXPECT_EQ(Run("accept2 hello <21U 13R", kNet), ". + + T");
    ASSERT_EQ(s.History().size(), 2u);
    EXPECT_EQ(s.History()[1], (PlyRecord{White, {1, 3, Right}, {MakePoint(2, 2)}, 6, 6}));
}

TEST_F(Session, UndoGivesBackExactlyWhatWasShown) {
    s.Start(Choice(kOne));
    const std::string start = Snapshot();
    Answers("13R 43L");
    EXPECT_EQ(Run("21U", kOne), "T");
    const std::string afterFirst = Snapshot();
    EXPECT_EQ(Run("31U undo", kOne), "T +");
    EXPECT_EQ(Snapshot(), afterFirst);
    EXPECT_EQ(Run("undo", kOne), "+");
    EXPECT_EQ(Snapshot(), start);  // the piece 13R took is back
    EXPECT_EQ(Run("redo", kOne), "+");
    EXPECT_EQ(Snapshot(), afterFirst);
    EXPECT_EQ(computer.calls, 2);  // the stored answers are replayed, not asked for again
}

// Random two-player games to their end, with the right winner and counts that match the
// cells, taken back one step at a time to the start and replayed to the end again.
TEST_F(Session, WholeGamesEndRightAndUndoAndRedoWalkThemBothWays) {
    std::uint32_t seed = 777;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    int captures = 0;
    for (int game = 0; game < 16; ++game) {
        s.Start(Choice(kTwo));
        Strings before;
        while (s.GameRunning() && before.size() < 400) {
            const StepList legal = s.CurrentBoard().LegalSteps(s.SideToMove());
            ASSERT_FALSE(legal.empty()) << "a side without a step must already have lost";
            before.push_back(Snapshot());
            ASSERT_EQ(s.PlayLocalStep(legal[next() % legal.size()]), LocalStep::Taken);
            captures += static_cast<int>(s.History().back().captured.size());
            const Board& b = s.CurrentBoard();
            ASSERT_EQ(b.blackPieces, b.CountPieces(Black));
            ASSERT_EQ(b.whitePieces, b.CountPieces(White));
        }
        ASSERT_FALSE(s.GameRunning());
        const Board& b = s.CurrentBoard();
        const bool whiteWon = b.blackPieces <= 1 || (b.whitePieces > 1 && before.size() % 2 == 0);
        EXPECT_EQ(view.status, whiteWon ? kWhiteWins : "游戏结束，黑棋(A)胜!!");
        const std::string end = Snapshot();
        EXPECT_FALSE(s.CanRedo());

        // Back to the start; the first undo reopens the finished game and its clock.
        for (std::size_t i = before.size(); i-- > 0;) {
            ASSERT_TRUE(s.Undo()) << "game " << game << " ply " << i;
            ASSERT_EQ(Snapshot(), before[i]) << "game " << game << " ply " << i;
            ASSERT_TRUE(s.LocalMayMove());
        }
        EXPECT_TRUE(view.timerRunning);
        EXPECT_EQ(s.Winner(), Empty);
        EXPECT_FALSE(s.Undo());
        for (std::size_t i = 1; i < before.size(); ++i) {
            ASSERT_TRUE(s.Redo());
            ASSERT_EQ(Snapshot(), before[i]) << "game " << game << " ply " << i;
        }
        ASSERT_TRUE(s.Redo());
        EXPECT_EQ(Snapshot(), end);
        EXPECT_EQ(s.Winner(), whiteWon ? White : Black);
        EXPECT_FALSE(view.timerRunning);
    }
    EXPECT_GT(captures, 20);
}

// A sliding step is on the board but recorded only when its slide ends; a peer that leaves
// or a new game meanwhile completes it first.
TEST_F(Session, TheSlidingStepIsCompletedWhenItsSlideEnds) {
    s.Start(Choice(kOne));
    Answers("13R");
    EXPECT_EQ(Run("hold 21U", kOne), ". T");
    EXPECT_EQ(s.CurrentBoard().blackPieces, 5);
    EXPECT_EQ(s.History().size(), 1u);
    EXPECT_EQ(Run("slide", kOne), ".");
    EXPECT_EQ(s.History().size(), 2u);

    s.Start(Choice(kNet));
    EXPECT_EQ(Run("hello 21U <13R left0", kNet), "+ T + .");
    EXPECT_EQ(view.played.size(), 4u);
    EXPECT_EQ(view.status, kPeerLeft);
    EXPECT_EQ(Run("left0", kNet), ".");
    EXPECT_EQ(view.timerStops, 1);

    s.Start(Choice(kOne));
    Answers("13R");
    EXPECT_EQ(Run("21U", kOne), "T");
    s.Start(Choice(kTwo));
    EXPECT_EQ(view.played.size(), 6u);
    EXPECT_TRUE(s.History().empty());
    EXPECT_EQ(BoardToText(s.CurrentBoard()), kStart);
}

// Whole one-player games through GameSession with the real computer player.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BoardText.h"
#include "ComputerPlayer.h"
#include "EngineTestSupport.h"
#include "GameSession.h"
#include "RecordingView.h"

using namespace kelvara;
using kelvara::test::RecordingView;
using kelvara::test::TempDir;

namespace {

// A plain black player: the legal step at a position in scan order that turns with the ply.
bool BlackStep(const Board& board, int ply, MoveRecord& move) {
    const StepList steps = board.LegalSteps(Black);
    if (steps.empty()) return false;
    move = steps[(ply * 7) % steps.size()];
    return true;
}

}  // namespace

TEST(ComputerGame, PlaysToTheEnd) {
    TempDir dir;
    // One stored answer for the opening; the search plays the rest.
    dir.Write("set/experience.dat", "202222021001111124D\r\n");
    ComputerPlayer computer(dir.File("set/experience.dat"));
    RecordingView view;
    GameSession s(view, &computer, nullptr);
    view.session = &s;
    s.Start({GameKind::OnePlayer, "p", ""});

    int ply = 0;
    for (; s.GameRunning() && ply < 400; ++ply) {
        ASSERT_EQ(s.SideToMove(), Black);
        const std::size_t whiteBefore = view.white.size();
        MoveRecord m;
        ASSERT_TRUE(BlackStep(s.CurrentBoard(), ply, m));
        if (ply == 0) m = {2, 1, Up};
        const std::string before = BoardToText(s.CurrentBoard());
        ASSERT_EQ(s.PlayLocalStep(m), LocalStep::Taken);
        ASSERT_NE(BoardToText(s.CurrentBoard()), before) << "black's step was not taken";
        if (s.GameRunning()) {
            ASSERT_EQ(view.white.size(), whiteBefore + 1);
        }
        // The counts always agree with the cells, and every computer move was legal.
        ASSERT_EQ(s.CurrentBoard().blackPieces, s.CurrentBoard().CountPieces(Black));
        ASSERT_EQ(s.CurrentBoard().whitePieces, s.CurrentBoard().CountPieces(White));
    }
    EXPECT_FALSE(s.GameRunning()) << "no end after " << ply << " black moves";
    // The game ended by the rules: a side down to one piece, or the computer without a move.
    EXPECT_TRUE(s.CurrentBoard().blackPieces <= 1 || s.CurrentBoard().whitePieces <= 1 ||
                view.white.size() < view.black.size());
    EXPECT_FALSE(view.timerRunning);
    ASSERT_FALSE(view.white.empty());
    EXPECT_EQ(view.white.front(), "24D");  // the stored answer
    EXPECT_FALSE(view.erasedPieces.empty());
}

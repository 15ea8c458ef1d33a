#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QTest>
#include <QTreeWidget>

#include "Board.h"
#include "BoardCanvas.h"
#include "BoardMarks.h"
#include "BoardText.h"
#include "GuiFixture.h"
#include "MainDialog.h"
#include "ScenePicture.h"
#include "StartGameDialog.h"

using namespace kelvara;

namespace {

class KeyboardPlayTest : public GuiFixture {
  protected:
    static void Key(MainDialog& window, Qt::Key key, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&window, &press);
    }
    static void Arrows(MainDialog& window, int dx, int dy) {
        for (; dx > 0; --dx) Key(window, Qt::Key_Right);
        for (; dx < 0; ++dx) Key(window, Qt::Key_Left);
        for (; dy > 0; --dy) Key(window, Qt::Key_Up);
        for (; dy < 0; ++dy) Key(window, Qt::Key_Down);
    }
    // Walks the ring to the piece, lifts it, turns to the neighbour and drops it there.
    static void PlayWithRing(MainDialog& window, const MoveRecord& move) {
        const BoardPoint at = window.Keyboard().Focus();
        Arrows(window, move.fromX - PointX(at), move.fromY - PointY(at));
        Key(window, Qt::Key_Space, " ");
        ASSERT_EQ(window.Keyboard().Lifted(), MakePoint(move.fromX, move.fromY));
        int toX = 0, toY = 0;
        ASSERT_TRUE(StepTarget(move.fromX, move.fromY, move.direction, toX, toY));
        Arrows(window, toX - move.fromX, toY - move.fromY);
        Key(window, Qt::Key_Return);
    }
    static void Type(MainDialog& window, const char* text) {
        for (const char* c = text; *c != '\0'; ++c)
            Key(window, Qt::Key_unknown, QString(QChar::fromLatin1(*c)));
        Key(window, Qt::Key_Enter);
    }
    // Black to move again, or the game over.
    static bool BlacksTurn(MainDialog& window) {
        return QTest::qWaitFor(
            [&] {
                const TurnPhase phase = window.Session().Phase();
                return phase == TurnPhase::Over ||
                       (phase == TurnPhase::LocalTurn && window.Session().SideToMove() == Black);
            },
            20000);
    }
    // Every point of the drawn board shows the session's piece there, or no piece.
    static void ExpectDrawnAsSession(MainDialog& window, const std::string& when) {
        const QImage canvas = window.CanvasImage();
        const ScenePicture black(QStringLiteral("res/black.png"), {20, 20},
                                 ScenePicture::Fit::Stretch);
        const ScenePicture white(QStringLiteral("res/white.png"), {20, 20},
                                 ScenePicture::Fit::Stretch);
        const Board& board = window.Session().CurrentBoard();
        for (int i = 1; i <= 4; ++i) {
            for (int j = 1; j <= 4; ++j) {
                const CellCode code = static_cast<CellCode>(board.Code(i, j));
                EXPECT_EQ(ShowsPicture(canvas, Square(i, j), black.At(1.0)), code == Black)
                    << when << " at " << i << j;
                EXPECT_EQ(ShowsPicture(canvas, Square(i, j), white.At(1.0)), code == White)
                    << when << " at " << i << j;
            }
        }
    }
    static bool SlideOver(MainDialog& window) {
        return QTest::qWaitFor([&] { return window.Session().Phase() != TurnPhase::Animating; },
                               20000);
    }
};

}  // namespace

TEST_F(KeyboardPlayTest, ATwoPlayerGameToItsEndByRingAndByTypedMoves) {
    auto window = OpenWindow(2);
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
    const QImage untouched = window->Canvas()->grab().toImage();
    EXPECT_FALSE(window->Keyboard().Shown());
    Key(*window, Qt::Key_Left);  // the first arrow only shows the ring
    EXPECT_TRUE(window->Keyboard().Shown());
    EXPECT_EQ(window->Keyboard().Focus(), MakePoint(1, 1));
    EXPECT_NE(window->Canvas()->grab().toImage(), untouched);

    // The shortest game in which white takes four black pieces, moves by the ring and typed
    // in turn; the board follows a board that plays the same steps.
    const char* game[] = {"12R", "13D", "31U", "14d", "21L", "43l", "42U", "13R", "41U", "23L"};
    Board expected = window->Session().CurrentBoard();
    CellCode side = Black;
    for (std::size_t k = 0; k < std::size(game); ++k) {
        MoveRecord move;
        ASSERT_TRUE(ParseMoveText(game[k], move));
        if (k % 2 == 0)
            PlayWithRing(*window, move);
        else
            Type(*window, game[k]);
        ASSERT_TRUE(SlideOver(*window)) << game[k];
        expected.ApplyMove(side, move);
        EXPECT_EQ(BoardToText(window->Session().CurrentBoard()), BoardToText(expected)) << game[k];
        side = Enemy(side);
        ASSERT_TRUE(window->isVisible());  // Enter and Space never close it mid-game
    }
    EXPECT_EQ(window->WhiteHistory()->topLevelItemCount(), 5);
    EXPECT_EQ(window->StatusText(), "游戏结束，白棋(李四)胜!!");
}

TEST_F(KeyboardPlayTest, AOnePlayerGameWonByKeysAloneWithTheBoardAsTheSessionHoldsIt) {
    auto window = OpenWindow(2);
    StartFromMenu(*window, &StartGameDialog::OnePlayerRadio, "张三");
    // Black's steps and the classic computer's answers: white ends walled in.
    const char* game[][2] = {{"12R", "13R"},  {"11U", "23L"}, {"22U", "43L"}, {"42L", "33R"},
                             {"32U", "13D"},  {"21U", "12U"}, {"31U", "14R"}, {"22D", "24R"},
                             {"23U", "13R"},  {"41U", "23L"}, {"21L", "13R"}, {"32L", "23L"},
                             {"22L", nullptr}};
    Board expected = window->Session().CurrentBoard();
    Key(*window, Qt::Key_Left);  // shows the ring
    for (std::size_t k = 0; k < std::size(game); ++k) {
        MoveRecord move;
        ASSERT_TRUE(ParseMoveText(game[k][0], move));
        if (k % 2 == 0)
            PlayWithRing(*window, move);
        else
            Type(*window, game[k][0]);
        ASSERT_TRUE(BlacksTurn(*window)) << game[k][0];
        expected.ApplyMove(Black, move);
        const int answers = window->WhiteHistory()->topLevelItemCount();
        if (game[k][1] != nullptr) {
            ASSERT_EQ(answers, static_cast<int>(k) + 1) << game[k][0];
            EXPECT_EQ(window->WhiteHistory()->topLevelItem(answers - 1)->text(0), game[k][1]);
            ASSERT_TRUE(ParseMoveText(game[k][1], move));
            expected.ApplyMove(White, move);
        }
        EXPECT_EQ(BoardToText(window->Session().CurrentBoard()), BoardToText(expected))
            << game[k][0];
        ExpectDrawnAsSession(*window, game[k][0]);
        ASSERT_TRUE(window->isVisible());
    }
    EXPECT_EQ(window->Session().Phase(), TurnPhase::Over);
    EXPECT_EQ(window->StatusText(), "游戏结束，恭喜你，你赢了!!");
    EXPECT_EQ(window->BlackHistory()->topLevelItemCount(), 13);
    EXPECT_TRUE(window->EndBanner()->isVisible());
    // Once the game is over, Enter closes the window again.
    Key(*window, Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(KeyboardPlayTest, EscapeWrongDropsAndBadTypingLeaveTheBoardAlone) {
    auto window = OpenWindow(2);
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
    const std::string start = BoardToText(window->Session().CurrentBoard());
    Key(*window, Qt::Key_Up);
    Arrows(*window, 0, 1);  // (1, 2): a black piece
    Key(*window, Qt::Key_Space, " ");
    ASSERT_EQ(window->Keyboard().Lifted(), MakePoint(1, 2));
    Key(*window, Qt::Key_Escape);  // put back, the ring on it again, the window open
    EXPECT_EQ(window->Keyboard().Lifted(), 0);
    EXPECT_EQ(window->Keyboard().Focus(), MakePoint(1, 2));
    EXPECT_TRUE(window->isVisible());

    Key(*window, Qt::Key_Space, " ");
    Arrows(*window, 0, -1);  // onto the black piece below: no step
    Key(*window, Qt::Key_Space, " ");
    EXPECT_EQ(window->Keyboard().Lifted(), 0);
    Arrows(*window, 0, 1);  // the ring moves over the white piece: white may not move now
    Arrows(*window, 0, 1);
    Key(*window, Qt::Key_Space, " ");
    EXPECT_EQ(window->Keyboard().Lifted(), 0);

    for (const char* typed : {"13D", "12X", "5"}) Type(*window, typed);  // white's, bad, short
    EXPECT_EQ(BoardToText(window->Session().CurrentBoard()), start);
    EXPECT_EQ(window->BlackHistory()->topLevelItemCount(), 0);
}

TEST_F(KeyboardPlayTest, ATypedStepLeavesTheAnalysisOfTheNextSideOnTheBoard) {
    auto window = OpenWindow(2, &Solved());
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
    window->findChild<QAction*>("actionAnalysis")->trigger();
    const auto outcomesOf = [&](CellCode side) {
        int n = 0;
        for (const BoardMark& m : window->Marks()->Marks()) {
            if (m.kind != BoardMark::Kind::StepOutcome) continue;
            if (window->Session().CurrentBoard().Code(PointX(m.from), PointY(m.from)) != side)
                return -1;
            ++n;
        }
        return n;
    };
    ASSERT_GT(outcomesOf(Black), 0);
    for (const char* typed : {"21U", "13R"}) {
        Type(*window, typed);
        ASSERT_TRUE(SlideOver(*window)) << typed;
        EXPECT_GT(outcomesOf(window->Session().SideToMove()), 0) << typed;
    }
}

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <vector>

#include "BoardCanvas.h"
#include "BoardMarks.h"
#include "BoardText.h"
#include "GameReplay.h"
#include "GameReview.h"
#include "GuiFixture.h"
#include "MainDialog.h"
#include "ReviewChart.h"
#include "StartGameDialog.h"
#include "TableService.h"

using namespace kelvara;

namespace {

// White wins in ten plies; black's 31U and 21L and white's 13D and 14D give the outcome away.
constexpr const char* kGame[] = {"12R", "13D", "31U", "14D", "21L",
                                 "43L", "42U", "13R", "41U", "23L"};
constexpr std::size_t kPlies = std::size(kGame);
// The chart's bars: black ahead, and the edge of white's.
const QRgb kBlackBar = qRgb(45, 45, 45);
const QRgb kWhiteBarEdge = qRgb(110, 110, 110);

TableService& Solved() {
    static TableService* service = [] {
        auto* s = new TableService(2);
        s->Wait();
        return s;
    }();
    return *service;
}

std::vector<MoveRecord> Moves() {
    std::vector<MoveRecord> moves;
    for (const char* text : kGame) {
        MoveRecord move;
        EXPECT_TRUE(ParseMoveText(text, move)) << text;
        moves.push_back(move);
    }
    return moves;
}

// The position after `plies` steps of the game, played here on a board of its own.
Board After(std::size_t plies) {
    Board board;
    const std::vector<MoveRecord> moves = Moves();
    for (std::size_t i = 0; i < plies; ++i) board.ApplyMove(i % 2 == 0 ? Black : White, moves[i]);
    return board;
}

class ReplayTest : public GuiFixture {
  protected:
    std::unique_ptr<MainDialog> FinishedGame() {
        auto window = OpenWindow(0, &Solved());
        StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
        for (const char* move : kGame) PlayByMouse(*window, move);
        EXPECT_EQ(window->Session().Phase(), TurnPhase::Over);
        return window;
    }
    QString WriteGame() {
        std::string text = "[Black \"张三\"]\n[White \"李四\"]\n";
        for (const char* move : kGame) text += std::string(move) + " ";
        WriteFile("game.kvr", text + "0-1\n");
        return dir_.filePath("game.kvr");
    }
    static void Key(MainDialog& window, Qt::Key key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&window, &press);
    }
    static void Click(QWidget* widget, QPoint at) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    }
    static void ClickEntry(QTreeWidget* list, int row) {
        Click(list->viewport(), list->visualItemRect(list->topLevelItem(row)).center());
    }

    // The board on screen shows exactly `board`, pieces and empty points alike.
    static void ExpectShows(MainDialog& window, const Board& board) {
        const QImage canvas = window.CanvasImage();
        const QImage black = LoadRgb("res/black.png");
        const QImage white = LoadRgb("res/white.png");
        for (int i = 1; i <= 4; ++i) {
            for (int j = 1; j <= 4; ++j) {
                const int code = board.Code(i, j);
                EXPECT_EQ(ShowsPicture(canvas, Square(i, j), black), code == Black) << i << j;
                EXPECT_EQ(ShowsPicture(canvas, Square(i, j), white), code == White) << i << j;
            }
        }
        EXPECT_EQ(BoardToText(window.Replay().ShownBoard()), BoardToText(board));
    }
    static std::vector<BoardPoint> Marked(MainDialog& window,
                                          BoardMark::Kind kind = BoardMark::Kind::LastTo) {
        std::vector<BoardPoint> points;
        for (const BoardMark& mark : window.Marks()->Marks())
            if (mark.kind == kind) points.push_back(mark.point);
        return points;
    }
};

TEST_F(ReplayTest, KeysListsAndChartShowThePositionAfterTheirPly) {
    auto window = OpenWindow(0, &Solved());
    StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
    // While the game runs the arrows drive the keyboard's ring, never the replay.
    Key(*window, Qt::Key_Left);
    EXPECT_TRUE(window->Keyboard().Shown());
    EXPECT_FALSE(window->Replay().Active());
    for (const char* move : kGame) PlayByMouse(*window, move);
    // Until a replay key the finished game looks as it always did.
    EXPECT_TRUE(window->Chart()->isHidden());
    EXPECT_TRUE(window->EndBanner()->isVisible());
    const QString result = window->StatusText();

    // 复盘 on the end banner begins the replay at the end.
    window->findChild<QToolButton*>("reviewButton")->click();
    EXPECT_EQ(window->Replay().Shown(), kPlies);
    Key(*window, Qt::Key_Left);
    EXPECT_EQ(window->Replay().Shown(), kPlies - 1);
    ExpectShows(*window, After(kPlies - 1));
    EXPECT_EQ(Marked(*window), std::vector<BoardPoint>{MakePoint(4, 2)});  // 41U
    EXPECT_TRUE(Marked(*window, BoardMark::Kind::KeyFocus).empty());       // no ring
    EXPECT_FALSE(window->EndBanner()->isVisible());
    EXPECT_TRUE(window->Chart()->isVisible());
    EXPECT_EQ(window->BlackHistory()->currentItem(), window->BlackHistory()->topLevelItem(4));
    Key(*window, Qt::Key_Home);
    Key(*window, Qt::Key_Left);
    ExpectShows(*window, Board());
    EXPECT_TRUE(Marked(*window).empty());
    EXPECT_EQ(window->StatusText(), "开局");
    Key(*window, Qt::Key_Right);
    ExpectShows(*window, After(1));

    // White's 14D, ply 4, a mistake: the status line names the step that kept the draw.
    ClickEntry(window->WhiteHistory(), 1);
    ExpectShows(*window, After(4));
    ASSERT_TRUE(window->Replay().Review());
    EXPECT_EQ(window->StatusText().toStdString(), window->Replay().Review()->FlagText(3));
    EXPECT_TRUE(window->StatusText().startsWith("第 4 步 14D 失误："));
    ReviewChart& chart = *window->Chart();
    Click(&chart, chart.ColumnRect(6).center().toPoint());
    EXPECT_EQ(chart.Current(), 7);
    ExpectShows(*window, After(7));
    Key(*window, Qt::Key_End);
    Key(*window, Qt::Key_Right);
    ExpectShows(*window, After(kPlies));
    EXPECT_EQ(window->StatusText(), result);
    // The game itself was never touched.
    EXPECT_EQ(window->Session().History().size(), kPlies);
    EXPECT_EQ(window->Session().Phase(), TurnPhase::Over);

    // Space goes on from the position shown, and the ring comes back with the game.
    Key(*window, Qt::Key_Home);
    Key(*window, Qt::Key_Space);
    EXPECT_FALSE(window->Replay().Active());
    EXPECT_TRUE(window->Session().History().empty());
    EXPECT_EQ(window->Session().Phase(), TurnPhase::LocalTurn);
    EXPECT_TRUE(window->Keyboard().Shown());
    EXPECT_EQ(window->BlackHistory()->topLevelItemCount(), 0);
}

TEST_F(ReplayTest, PlayingOnFromAReplayedPlyStartsANewLine) {
    auto window = FinishedGame();
    const int height = window->height();
    ClickEntry(window->WhiteHistory(), 1);  // after ply 4, black to move
    EXPECT_EQ(window->height(), height + ReviewChart::kHeight);
    // A press on a piece of the side that does not move there changes nothing.
    ASSERT_EQ(After(4).Code(2, 4), White);
    Click(window->Canvas(), Centre(2, 4));
    EXPECT_TRUE(window->Replay().Active());

    // Black steps otherwise than the game's 21L did.
    MoveRecord step;
    for (const MoveRecord& legal : After(4).LegalSteps(Black))
        if (Board::FormatMove(legal) != kGame[4]) step = legal;
    PlayByMouse(*window, step);
    EXPECT_TRUE(window->Chart()->isHidden());
    EXPECT_EQ(window->height(), height);
    EXPECT_EQ(window->Canvas()->size(), QSize(542, 400));
    ASSERT_EQ(window->Session().History().size(), 5u);
    Board expected = After(4);
    expected.ApplyMove(Black, step);
    EXPECT_EQ(BoardToText(window->Session().CurrentBoard()), BoardToText(expected));
    EXPECT_FALSE(window->Session().CanRedo());  // the old line is gone
    EXPECT_TRUE(window->ClockRunning());
    EXPECT_EQ(window->WhiteHistory()->topLevelItemCount(), 2);
    ASSERT_EQ(window->BlackHistory()->topLevelItemCount(), 3);
    EXPECT_EQ(window->BlackHistory()->topLevelItem(2)->text(0).toStdString(),
              Board::FormatMove(step));
    EXPECT_EQ(window->StatusText(), "现在是 李四(白)  走棋...");
}

TEST_F(ReplayTest, TheChartAndTheListsFlagWhatTheReviewFindsAtEveryScale) {
    auto window = OpenWindow(0, &Solved());
    ASSERT_TRUE(window->OpenRecord(WriteGame()));
    const GameReview review(*Solved().Table(), Board(), Black, Moves());
    ASSERT_GT(review.Mistakes(Black) + review.Mistakes(White), 0);
    ReviewChart& chart = *window->Chart();
    ASSERT_EQ(chart.ColumnCount(), static_cast<int>(kPlies));
    EXPECT_EQ(chart.Line().toStdString(), review.Summary());

    const auto check = [&](double scale) {
        QImage image(chart.size() * scale, QImage::Format_RGB32);
        image.setDevicePixelRatio(scale);
        chart.render(&image);
        for (int i = 0; i < static_cast<int>(kPlies); ++i) {
            const PlyReview& ply = review.Plies()[i];
            SCOPED_TRACE(testing::Message() << "scale " << scale << " ply " << i + 1);
            EXPECT_EQ(chart.FlagRect(i).isEmpty(), !ply.mistake);
            QTreeWidget* list = i % 2 == 0 ? window->BlackHistory() : window->WhiteHistory();
            EXPECT_EQ(list->topLevelItem(i / 2)->font(0).bold(), ply.mistake);
            EXPECT_EQ(list->topLevelItem(i / 2)->toolTip(0).toStdString(), review.FlagText(i));
            // Win for black above the middle line, loss below, draw on it; the nearer the
            // end, the longer the bar.
            const QRectF column = chart.ColumnRect(i);
            const QRectF bar = chart.BarRect(i);
            const auto kind = ply.BlackAfter().kind();
            EXPECT_EQ(bar.isEmpty(), kind == PositionValue::Kind::Draw);
            if (bar.isEmpty()) continue;
            EXPECT_DOUBLE_EQ(kind == PositionValue::Kind::Win ? bar.bottom() : bar.top(),
                             column.center().y());
            EXPECT_DOUBLE_EQ(bar.height(), std::round(column.height() / 2 *
                                                      ReviewChart::Reach(ply.after.plies())));
            // Sharp: from the paper to the bar's own colour within one device pixel.
            const int y = static_cast<int>((bar.top() + 1) * scale);
            const int left = static_cast<int>(std::lround(bar.left() * scale));
            const QRgb edge = image.pixel(left, y);
            EXPECT_EQ(image.pixel(left - 1, y), image.pixel(int(column.left() * scale), y));
            EXPECT_TRUE(edge == kBlackBar || edge == kWhiteBarEdge) << std::hex << edge;
            EXPECT_EQ(edge, image.pixel(left + static_cast<int>(scale) - 1, y));
        }
    };
    check(1.0);
    check(2.0);

    // Twice the size: the board scales, the chart keeps its height and its clicks their ply.
    window->resize(QSize(1084, 800 + window->Menu()->height() + ReviewChart::kHeight));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Canvas()->Scale() == 2.0; }, 10000));
    EXPECT_EQ(chart.height(), ReviewChart::kHeight);
    Click(&chart, chart.ColumnRect(2).center().toPoint());
    EXPECT_EQ(window->Replay().Shown(), 3u);
    check(2.0);
}

TEST_F(ReplayTest, ARecordOpenedAtStartShowsItsEndAndTheChartUnderTheBoard) {
    // As `kelvara FILE` does: the record is opened before the window is shown. The table is
    // not ready yet: the chart says so quietly.
    TableService pending(2);
    auto window = std::make_unique<MainDialog>();
    window->SetTableService(&pending);
    ASSERT_TRUE(window->Initialise());
    ASSERT_TRUE(window->OpenRecord(WriteGame()));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(window->Canvas()->size(), QSize(542, 400));
    ASSERT_TRUE(window->Chart()->isVisible());
    EXPECT_EQ(window->Chart()->geometry().top(), window->Canvas()->geometry().bottom() + 1);
    ExpectShows(*window, After(kPlies));
    EXPECT_EQ(window->WhiteHistory()->topLevelItemCount(), 5);
    EXPECT_FALSE(window->Chart()->HasReview());
    EXPECT_EQ(window->Chart()->ColumnCount(), static_cast<int>(kPlies));
    EXPECT_EQ(window->Chart()->Line(), "复盘：正在准备棋局数据，请稍候……");
    EXPECT_EQ(window->StatusText(), "游戏结束，白棋(李四)胜!!");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // Once the table is there the review follows by itself.
    pending.Wait();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->Chart()->HasReview(); }, 20000));
    EXPECT_TRUE(window->WhiteHistory()->topLevelItem(1)->font(0).bold());  // 14D
}

}  // namespace

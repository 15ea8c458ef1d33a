#include <QAction>
#include <QMenuBar>
#include <QTest>
#include <QTreeWidget>

#include "BoardCanvas.h"
#include "GuiFixture.h"
#include "MainDialog.h"

using namespace kelvara;

namespace {

const QRgb kLine = qRgb(78, 50, 28);  // the grid lines of the art

class ScalingTest : public GuiFixture {
  protected:
    std::unique_ptr<MainDialog> OpenTwoPlayerGame() {
        auto window = OpenWindow();
        StartChoice choice;
        choice.kind = kelvara::GameKind::TwoPlayers;
        window->Session().Start(choice);
        return window;
    }

    // Resizes the window so that its canvas gets `size`.
    static void ResizeCanvas(MainDialog& window, QSize size) {
        window.resize(size + QSize(0, window.Menu()->height()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.Canvas()->size() == size; }, 10000))
            << window.Canvas()->width() << "x" << window.Canvas()->height();
    }

    // Where the centre of a point's square lies in the widget.
    static QPoint WidgetCentre(const BoardCanvas& canvas, int column, int row) {
        return canvas.FromScene(QRectF(Square(column, row))).center().toPoint();
    }

    static void Drag(BoardCanvas& canvas, QPoint from, QPoint to) {
        QTest::mousePress(&canvas, Qt::LeftButton, {}, from);
        for (int k = 1; k <= 4; ++k) QTest::mouseMove(&canvas, from + (to - from) * k / 4);
        QTest::mouseRelease(&canvas, Qt::LeftButton, {}, to);
    }

    // What the canvas itself shows, without the texts and lists on it.
    static QImage Shown(BoardCanvas& canvas) {
        QImage image(canvas.size(), QImage::Format_RGB32);
        canvas.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        return image;
    }
};

TEST_F(ScalingTest, AtTwiceTheSizeDragsLandOnTheirPointAndNoSecondBoardIsDrawn) {
    auto window = OpenTwoPlayerGame();
    ResizeCanvas(*window, QSize(1084, 800));
    BoardCanvas& canvas = *window->Canvas();
    EXPECT_DOUBLE_EQ(canvas.Scale(), 2.0);
    EXPECT_EQ(canvas.Origin(), QPointF(0, 0));

    // Black steps 12R: from (1, 2) to the empty (2, 2), both taken at twice the size.
    Drag(canvas, WidgetCentre(canvas, 1, 2), WidgetCentre(canvas, 2, 2));
    ASSERT_EQ(window->BlackHistory()->topLevelItemCount(), 1);
    EXPECT_EQ(window->BlackHistory()->topLevelItem(0)->text(0), "12R");
    EXPECT_EQ(window->Session().CurrentBoard().Code(2, 2), Black);
    EXPECT_EQ(window->Session().CurrentBoard().Code(1, 2), Empty);
    // Unscaled, this would be white's 13D onto the freed (1, 2); at twice the size the press
    // lands on (1, 4) at scene (7, 94) and the release between points: no move.
    Drag(canvas, Centre(1, 3), Centre(1, 2));
    EXPECT_EQ(window->WhiteHistory()->topLevelItemCount(), 0);
    EXPECT_EQ(window->Session().CurrentBoard().Code(1, 3), White);

    // The last step's marks are drawn over the scene, not into it; leave them out here.
    canvas.SetOverlay({});
    const QImage shown = Shown(canvas);
    // The widget shows exactly the scene rendered at scale 2, drawn from the 2x art.
    EXPECT_EQ(shown, canvas.Render(2.0));
    EXPECT_TRUE(ShowsPicture(shown, QRect(2 * 100, 2 * 275, 40, 40), LoadRgb("res/black@2x.png")));
    // The empty points (3, 2), (2, 3) and (3, 3) show their marks at twice their place; where
    // a tiled copy of the scene would put them (one scene width right, one height down)
    // nothing of the board is drawn.
    for (const auto& [column, row] : {std::pair{3, 2}, {2, 3}, {3, 3}}) {
        const QPoint mark(2 * (95 * column - 80) - 1, 2 * (475 - 95 * row) - 1);
        EXPECT_EQ(shown.pixel(mark), kLine) << column << row;
        const QPoint ghost = mark / 2;
        for (const QPoint& tile :
             {ghost + QPoint(542, 0), ghost + QPoint(0, 400), ghost + QPoint(542, 400)}) {
            EXPECT_NE(shown.pixel(tile), kLine) << tile.x() << "," << tile.y();
        }
    }
    // The lists and texts follow: the black list keeps its place in the scene.
    EXPECT_EQ(window->BlackHistory()->geometry().topLeft(), QPoint(2 * 315, 2 * 120));
}

TEST_F(ScalingTest, AWideWindowCentresTheSceneBetweenPlainBands) {
    auto window = OpenTwoPlayerGame();
    ResizeCanvas(*window, QSize(1100, 600));
    BoardCanvas& canvas = *window->Canvas();
    EXPECT_DOUBLE_EQ(canvas.Scale(), 1.5);
    const int left = static_cast<int>(canvas.Origin().x());
    EXPECT_EQ(left, (1100 - 813) / 2);

    Drag(canvas, WidgetCentre(canvas, 4, 2), WidgetCentre(canvas, 3, 2));
    ASSERT_EQ(window->BlackHistory()->topLevelItemCount(), 1);
    EXPECT_EQ(window->BlackHistory()->topLevelItem(0)->text(0), "42L");
    EXPECT_EQ(window->Session().CurrentBoard().Code(3, 2), Black);

    const QImage shown = Shown(canvas);
    // Both bands are one plain colour from top to bottom.
    const QRgb band = shown.pixel(0, 0);
    for (int y = 0; y < shown.height(); y += 7) {
        for (int x = 0; x < left; x += 5) ASSERT_EQ(shown.pixel(x, y), band) << x << "," << y;
        for (int x = left + 813; x < shown.width(); x += 5)
            ASSERT_EQ(shown.pixel(x, y), band) << x << "," << y;
    }
}

TEST_F(ScalingTest, TheLaidOutSizeIsTheDefaultAndTheSmallest) {
    MainDialog window;
    ASSERT_TRUE(window.Initialise());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.Canvas()->size(), QSize(542, 400));
    EXPECT_DOUBLE_EQ(window.Canvas()->Scale(), 1.0);
    window.resize(300, 200);
    QTest::qWait(0);
    EXPECT_GE(window.Canvas()->width(), 542);
    EXPECT_GE(window.Canvas()->height(), 400);
}

TEST_F(ScalingTest, TheLastStepsMarksFollowTheScaledBoard) {
    auto window = OpenTwoPlayerGame();
    ResizeCanvas(*window, QSize(1084, 800));
    BoardCanvas& canvas = *window->Canvas();
    // Black steps 42L: the marks go to (3, 2) and, discreetly, to (4, 2).
    Drag(canvas, WidgetCentre(canvas, 4, 2), WidgetCentre(canvas, 3, 2));
    ASSERT_EQ(window->BlackHistory()->topLevelItemCount(), 1);
    const QImage marked = Shown(canvas);
    canvas.SetOverlay({});
    const QImage plain = Shown(canvas);
    ASSERT_EQ(marked.size(), plain.size());
    // Every pixel the marks change lies around one of the two points at twice the size,
    // none where the unscaled board would have put them.
    const QRect around = canvas.FromScene(QRectF(Square(3, 2)).united(QRectF(Square(4, 2))))
                             .toAlignedRect()
                             .adjusted(-16, -16, 16, 16);
    int changed = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            if (marked.pixel(x, y) != plain.pixel(x, y)) {
                ++changed;
                ASSERT_TRUE(around.contains(x, y)) << x << "," << y;
            }
    EXPECT_GT(changed, 0);
}

}  // namespace

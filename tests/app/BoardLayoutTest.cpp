#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QTest>
#include <QTextDocument>
#include <QTreeWidget>

#include "BoardCanvas.h"
#include "BoardMarks.h"
#include "GuiFixture.h"
#include "MainDialog.h"
#include "Texts.h"

using namespace kelvara;
using Kind = BoardMark::Kind;

namespace {

const QRectF kInside(geometry::kFrameInside.left, geometry::kFrameInside.top,
                     geometry::kFrameInside.right - geometry::kFrameInside.left,
                     geometry::kFrameInside.bottom - geometry::kFrameInside.top);

// Every step along a line of the board, as (from, to).
std::vector<std::pair<BoardPoint, BoardPoint>> AllSteps() {
    std::vector<std::pair<BoardPoint, BoardPoint>> steps;
    for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 4; ++j)
            for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                if (OnGrid(i + dx, j + dy))
                    steps.emplace_back(MakePoint(i, j), MakePoint(i + dx, j + dy));
    return steps;
}

BoardMark Mark(Kind kind, BoardPoint point, BoardPoint from = 0, std::string label = {}) {
    BoardMark m;
    m.kind = kind;
    m.point = point;
    m.from = from;
    m.tone = BoardMark::Tone::Loss;
    m.label = std::move(label);
    return m;
}

QImage Painted(const std::vector<BoardMark>& marks) {
    QImage image(BoardCanvas::kSceneWidth, BoardCanvas::kSceneHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    BoardMarks::PaintMarks(painter, marks);
    return image;
}

// What the canvas itself shows, without the texts and lists on it; pixels it leaves
// unpainted stay magenta.
QImage CanvasAlone(BoardCanvas& canvas) {
    QImage image(canvas.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    canvas.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return image;
}

void ResizeCanvas(MainDialog& window, QSize size) {
    window.resize(size + QSize(0, window.Menu()->height()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.Canvas()->size() == size; }, 10000));
}

class BoardLayoutTest : public GuiFixture {};

}  // namespace

TEST_F(BoardLayoutTest, MarksOfEveryPointAndStepStayInsideTheFrameAndOffTheArrow) {
    // The frame of the picture lies just outside kFrameInside, on each side.
    const QImage art = LoadRgb("res/background.png");
    for (const auto& [out, in] : {std::pair{QPoint(2, 200), QPoint(3, 200)},
                                  {QPoint(312, 200), QPoint(311, 200)},
                                  {QPoint(150, 81), QPoint(150, 82)},
                                  {QPoint(150, 393), QPoint(150, 392)}})
        EXPECT_LT(qGray(art.pixel(out)) + 30, qGray(art.pixel(in))) << out.x() << "," << out.y();

    const QFontMetricsF metrics(BoardMarks::LabelFont(QFont()));
    for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 4; ++j) {
            EXPECT_TRUE(kInside.contains(BoardMarks::CornersExtent(MakePoint(i, j)))) << i << j;
            EXPECT_TRUE(kInside.contains(BoardMarks::HintRingExtent(MakePoint(i, j)))) << i << j;
        }
    for (const auto& [from, to] : AllSteps()) {
        const BoardMark label = Mark(Kind::StepOutcome, to, from, "负15");
        const BoardMark arrow = Mark(Kind::HintTo, to, from);
        const QRectF alone = BoardMarks::LabelBox(label, {label}, metrics);
        const QRectF beside = BoardMarks::LabelBox(label, {label, arrow}, metrics);
        const auto where = std::to_string(from) + " to " + std::to_string(to);
        EXPECT_TRUE(kInside.contains(alone)) << where;
        EXPECT_TRUE(kInside.contains(beside)) << where;
        EXPECT_TRUE(kInside.contains(BoardMarks::ArrowExtent(from, to))) << where;
        EXPECT_FALSE(beside.intersects(BoardMarks::ArrowExtent(from, to))) << where;
    }
}

TEST_F(BoardLayoutTest, ATakenPieceIsNotMarkedUnderADestinationNorAfterItsStepIsTakenBack) {
    const BoardPoint p = MakePoint(2, 2);
    const BoardMark dot = Mark(Kind::TargetOutcome, p);
    EXPECT_EQ(Painted({Mark(Kind::Taken, p), dot}), Painted({dot}));
    EXPECT_NE(Painted({Mark(Kind::Taken, p)}), Painted({}));

    auto window = OpenWindow();
    StartChoice choice;
    choice.kind = GameKind::TwoPlayers;
    window->Session().Start(choice);
    const QImage before = window->Canvas()->grab().toImage();
    PlayByMouse(*window, "21U");
    PlayByMouse(*window, "13R");  // takes the black piece on (2, 2)
    ASSERT_EQ(window->Session().CurrentBoard().Code(2, 2), Empty);
    window->UndoStep();
    window->UndoStep();
    QTRY_COMPARE_WITH_TIMEOUT(window->Canvas()->grab().toImage(), before, 10000);
}

TEST_F(BoardLayoutTest, EveryPixelPaintedAndTheShadowClearOfTheListsAtEverySize) {
    auto window = OpenWindow();
    for (const QSize size : {QSize(542, 400), QSize(1000, 737), QSize(1084, 800), QSize(1280, 854),
                             QSize(1157, 853)}) {
        ResizeCanvas(*window, size);
        const QImage shown = CanvasAlone(*window->Canvas());
        for (int x = 0; x < shown.width(); ++x)
            ASSERT_NE(shown.pixel(x, shown.height() / 2), QColor(Qt::magenta).rgb())
                << size.width() << "x" << size.height() << " at x " << x;
        // Under the black list and the column left of it: the paper, no shadow.
        const QRect list = window->BlackHistory()->geometry().adjusted(-1, 0, 0, 0);
        for (int y = list.top(); y <= list.bottom(); y += 3)
            for (int x = list.left(); x < list.left() + 4; ++x)
                ASSERT_GT(qGray(shown.pixel(x, y)), 205)
                    << size.width() << "x" << size.height() << " at " << x << "," << y;
    }
}

TEST_F(BoardLayoutTest, ALongStatusIsShownWholeInsideItsLine) {
    auto window = OpenWindow();
    const std::string text = Translation::Fill(texts::kRefusedMove, {"21U"});
    QLabel* line = window->StatusLabel();
    for (const QSize size : {QSize(542, 400), QSize(1084, 800)}) {
        ResizeCanvas(*window, size);
        window->SetStatusLine(text);
        EXPECT_EQ(line->toolTip().toStdString(), text);
        QTextDocument shown;
        shown.setHtml(line->text());
        EXPECT_EQ(shown.toPlainText().toStdString(), text) << size.width();
        // Drawn as the label draws it, the text stays within the label's rectangle.
        const QRect room = line->contentsRect();
        shown.setDocumentMargin(0);
        shown.setDefaultFont(line->font());
        shown.setTextWidth(room.width());
        EXPECT_LE(shown.size().height(), room.height()) << size.width();
        EXPECT_LE(shown.idealWidth(), room.width()) << size.width();
    }
    window->SetStatusLine(texts::kYourTurn);  // a short line keeps the label's own font
    EXPECT_EQ(line->text().toStdString(), texts::kYourTurn);
}

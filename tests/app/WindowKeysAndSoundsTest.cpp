#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLibrary>
#include <QMessageBox>
#include <QTest>
#include <QTranslator>
#include <QTreeWidget>
#include <deque>
#include <optional>

#include "BoardCanvas.h"
#include "GuiFixture.h"
#include "MainDialog.h"
#include "QtTranslations.h"
#include "SoundPlayer.h"

using namespace kelvara;

namespace {

class WindowKeysTest : public GuiFixture {
  protected:
    static void StartTwoPlayers(MainDialog& window) {
        StartChoice choice;
        choice.kind = kelvara::GameKind::TwoPlayers;
        window.Session().Start(choice);
    }
    static void Step(MainDialog& window, const MoveRecord& move) {
        int toX = 0, toY = 0;
        ASSERT_TRUE(StepTarget(move.fromX, move.fromY, move.direction, toX, toY));
        QWidget* canvas = window.Canvas();
        QTest::mousePress(canvas, Qt::LeftButton, {}, Centre(move.fromX, move.fromY));
        QTest::mouseMove(canvas, Centre(toX, toY));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, Centre(toX, toY));
    }
};

TEST_F(WindowKeysTest, EnterAndEscapeDoNothingWhileAGameRuns) {
    auto window = OpenWindow();
    StartTwoPlayers(*window);
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(window.get(), key);
        EXPECT_TRUE(window->isVisible()) << key;
        EXPECT_TRUE(window->Session().GameRunning());
    }
    // Once 停止 has taken the turn from both sides, Escape closes the window.
    window->findChild<QAction*>("actionStop")->trigger();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
}

TEST_F(WindowKeysTest, EnterClosesWhenNoGameRunsAndTheCloseBoxAlways) {
    auto idle = OpenWindow();
    QTest::keyClick(idle.get(), Qt::Key_Return);
    EXPECT_FALSE(idle->isVisible());

    auto playing = OpenWindow();
    StartTwoPlayers(*playing);
    EXPECT_TRUE(playing->close());
    EXPECT_FALSE(playing->isVisible());
}

// The shortest line of play from the start that ends in a capture, found with the rules.
std::vector<std::pair<CellCode, MoveRecord>> LineToACapture() {
    struct Node {
        Board board;
        std::vector<std::pair<CellCode, MoveRecord>> moves;
    };
    std::deque<Node> open{{Board(), {}}};
    while (!open.empty()) {
        Node node = open.front();
        open.pop_front();
        const CellCode side = node.moves.size() % 2 == 0 ? Black : White;
        for (int x = 1; x <= 4; ++x)
            for (int y = 1; y <= 4; ++y)
                for (int d = Up; d <= Right; ++d) {
                    const MoveRecord move{x, y, d};
                    if (!node.board.IsLegalStep(side, move)) continue;
                    Node next = node;
                    const CellCode other = side == Black ? White : Black;
                    const int before = next.board.CountPieces(other);
                    next.board.ApplyMove(side, move);
                    next.moves.push_back({side, move});
                    if (next.board.CountPieces(other) < before) return next.moves;
                    if (next.moves.size() < 6) open.push_back(next);
                }
    }
    return {};
}

TEST_F(WindowKeysTest, StepsAndCapturesSoundUnlessSwitchedOff) {
    auto window = OpenWindow();
    QAction* sound = window->findChild<QAction*>("actionSound");
    ASSERT_NE(sound, nullptr);
    EXPECT_TRUE(sound->isCheckable());
    EXPECT_TRUE(sound->isChecked());
    EXPECT_EQ(sound->text(), "声音(&V)");

    const auto line = LineToACapture();
    ASSERT_FALSE(line.empty());
    StartTwoPlayers(*window);
    SoundPlayer& sounds = window->Sounds();
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        Step(*window, line[i].second);
        EXPECT_EQ(sounds.Requested(), static_cast<int>(i + 1));
        EXPECT_EQ(sounds.LastRequested(), SoundPlayer::Sound::Step);
    }
    Step(*window, line.back().second);
    EXPECT_EQ(sounds.Requested(), static_cast<int>(line.size()));
    EXPECT_EQ(sounds.LastRequested(), SoundPlayer::Sound::Capture);
    // Offscreen there is no audio output: asked for, but silent.
    EXPECT_FALSE(sounds.HasOutput());

    sound->trigger();
    EXPECT_FALSE(sounds.Enabled());
    StartTwoPlayers(*window);
    Step(*window, line.front().second);
    EXPECT_EQ(window->BlackHistory()->topLevelItemCount(), 1);
    EXPECT_EQ(sounds.Requested(), static_cast<int>(line.size()));
}

TEST(QtTranslationsTest, StandardButtonsReadChinese) {
    QTranslator translator;
    ASSERT_TRUE(QtTranslations::Install(translator)) << QtTranslations::Directory().toStdString();
    QMessageBox box(QMessageBox::Question, QStringLiteral("ERROR"), QStringLiteral("?"),
                    QMessageBox::Ok | QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "确定");
    EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith("是"));
    EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith("否"));
    // The caption is the box's own, nothing appended.
    box.show();
    EXPECT_EQ(box.windowHandle()->title(), "ERROR");
    QCoreApplication::removeTranslator(&translator);
}

}  // namespace

namespace {

// The sound module loads and offers its three entry points; opening it on a machine without
// an audio output gives nothing instead of failing later.
TEST(SoundModuleTest, LoadsWithItsEntryPoints) {
    QLibrary module(QStringLiteral(KELVARA_SOUND_MODULE));
    ASSERT_TRUE(module.load()) << module.errorString().toStdString();
    using Open = void* (*)();
    const auto open = reinterpret_cast<Open>(module.resolve("kelvara_sound_open"));
    ASSERT_NE(open, nullptr);
    EXPECT_NE(module.resolve("kelvara_sound_play"), nullptr);
    const auto close = reinterpret_cast<void (*)(void*)>(module.resolve("kelvara_sound_close"));
    ASSERT_NE(close, nullptr);
    void* sounds = open();
    if (sounds != nullptr) close(sounds);  // a machine with sound: opening worked
}

}  // namespace

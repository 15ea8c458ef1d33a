#include <sys/stat.h>

#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "BoardCanvas.h"
#include "GuiFixture.h"
#include "MainDialog.h"
#include "NetworkLink.h"
#include "NetworkPlay.h"

using kelvara::Black;
using kelvara::MainDialog;
using kelvara::White;

namespace {

class WindowTest : public GuiFixture {};

// Network play whose listener start reports the given result and counts the attempts.
class FakeNetwork : public kelvara::NetworkPlay, public kelvara::NetworkLink {
  public:
    explicit FakeNetwork(bool works) : works_(works) {}
    int attempts = 0;

    kelvara::NetworkLink& Link() override { return *this; }
    bool StartListening() override {
        ++attempts;
        return works_;
    }
    void TestConnection(QWidget*, std::uint32_t, quint16) override {}
    void Invite(QWidget*, std::uint32_t, quint16, std::function<void(bool)> done) override {
        done(false);
    }
    void AttachPeer(int) override {}
    void SendHello(int, const std::string&) override {}
    void SendMove(int, const kelvara::MoveRecord&) override {}
    kelvara::ChannelStatus Channel(int) const override { return {}; }
    void SetChannel(int, const kelvara::ChannelStatus&) override {}

  private:
    bool works_;
};

QStringList MenuTexts(QMenuBar* bar) {
    QStringList texts;
    for (QAction* top : bar->actions()) {
        texts << top->text();
        if (top->menu() != nullptr)
            for (QAction* item : top->menu()->actions())
                if (!item->isSeparator()) texts << "  " + item->text();
    }
    return texts;
}

}  // namespace

TEST_F(WindowTest, StartsWithItsControlsMenuAndBackground) {
    FakeNetwork windowNetwork(true);
    MainDialog window;
    window.SetNetworkPlay(&windowNetwork);
    ASSERT_TRUE(window.Initialise());
    EXPECT_EQ(window.windowTitle(), "六子棋");
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(MenuTexts(window.Menu()), QStringList({"游戏(&G)",
                                                     "  开始(&S)",
                                                     "  再来一局(&N)",
                                                     "  停止(&T)",
                                                     "  打开棋谱(&O)...",
                                                     "  保存棋谱(&P)...",
                                                     "  最近的棋局(&R)",
                                                     "  战绩(&C)...",
                                                     "  退出(&X)",
                                                     "  关于 Kelvara(&A)...",
                                                     "  声音(&V)",
                                                     "编辑(&E)",
                                                     "  悔棋(&U)",
                                                     "  重做(&R)",
                                                     "  提示(&H)",
                                                     "  分析(&N)",
                                                     "  摆棋(&B)...",
                                                     "难度(&D)",
                                                     "  入门",
                                                     "  经典",
                                                     "  高手",
                                                     "  完美",
                                                     "练习(&P)",
                                                     "  今日谜题(&T)",
                                                     "  1 步取胜(&1)",
                                                     "  2–3 步取胜(&2)",
                                                     "  4–6 步取胜(&3)",
                                                     "  7 步以上取胜(&4)",
                                                     "帮助(&H)",
                                                     "  游戏规则(&R)",
                                                     "关于(&A)"}));

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The canvas holds the whole board area and starts right below the menu bar.
    EXPECT_GE(window.Canvas()->width(), 542);
    EXPECT_GE(window.Canvas()->height(), 400);
    EXPECT_EQ(window.Canvas()->mapTo(&window, QPoint(0, 0)).y(), window.Menu()->height());
    EXPECT_TRUE(ShowsBackground(window.CanvasImage(), QRect(0, 0, 542, 400),
                                LoadRgb("res/background.png")));

    for (QTreeWidget* list : {window.BlackHistory(), window.WhiteHistory()}) {
        EXPECT_EQ(list->columnCount(), 1);
        EXPECT_EQ(list->columnWidth(0), 80);
        EXPECT_TRUE(list->isHeaderHidden());
        EXPECT_EQ(list->topLevelItemCount(), 0);
    }
    // The lists keep their converted dialog-unit places: (210, 74) and (286, 74).
    EXPECT_EQ(window.BlackHistory()->geometry().topLeft(), QPoint(315, 120));
    EXPECT_EQ(window.WhiteHistory()->geometry().topLeft(), QPoint(429, 120));
    EXPECT_EQ(window.StatusFont().weight(), QFont::ExtraBold);
    EXPECT_EQ(window.StatusLabel()->font().pixelSize(), window.StatusFont().pixelSize());
    EXPECT_EQ(window.ClockLabel()->font().pixelSize(), window.ClockFont().pixelSize());

    EXPECT_TRUE(window.ListenEnabled());
    EXPECT_EQ(windowNetwork.attempts, 1);
    EXPECT_EQ(window.ListenPort(), 2003);
    EXPECT_FALSE(window.PiecePicture(Black).IsNull());
    EXPECT_FALSE(window.PiecePicture(White).IsNull());
    // The turn cursors: 32x32 hands pointing with the fingertip at (6, 0).
    for (auto side : {Black, White}) {
        const QCursor& cursor = window.TurnCursor(side);
        EXPECT_EQ(cursor.hotSpot(), QPoint(6, 0));
        EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
    }
    const QImage blackHand = window.TurnCursor(Black).pixmap().toImage();
    const QImage whiteHand = window.TurnCursor(White).pixmap().toImage();
    EXPECT_EQ(qGray(blackHand.pixel(7, 5)), 0);
    EXPECT_EQ(qGray(whiteHand.pixel(7, 5)), 255);
    EXPECT_GT(qAlpha(blackHand.pixel(6, 0)), 0);
    EXPECT_EQ(qAlpha(blackHand.pixel(31, 31)), 0);
}

// A settings file that is missing or no regular file ends the program; none of them is
// waited on (a FIFO without a writer would block a plain open).
TEST_F(WindowTest, UnreadableSettingsFileEndsTheProgram) {
    RemoveFile("set/kelvara.ini");
    for (const char* kind : {"missing", "fifo", "directory"}) {
        const QByteArray path = QDir::current().filePath("set/kelvara.ini").toLocal8Bit();
        if (std::string(kind) == "fifo") {
            ASSERT_EQ(::mkfifo(path.constData(), 0600), 0);
        } else if (std::string(kind) == "directory") {
            ASSERT_TRUE(QDir().mkpath(path));
        }
        MainDialog window;
        SeenBox box;
        CloseNextMessageBox(&box);
        EXPECT_FALSE(window.Initialise()) << kind;
        EXPECT_TRUE(box.shown) << kind;
        EXPECT_EQ(box.caption, "ERROR");
        EXPECT_EQ(box.text, "不能加载配置文件!!");
        EXPECT_EQ(box.icon, QMessageBox::Critical);
        // Fonts and list columns were set up before the settings were read.
        EXPECT_EQ(window.StatusFont().weight(), QFont::ExtraBold);
        EXPECT_EQ(window.BlackHistory()->columnWidth(0), 80);
        QFile::remove(path);
        QDir().rmdir(path);
    }
}

// Keys the file lacks take the shipped values: the board and both pieces are drawn.
TEST_F(WindowTest, MissingKeysFallBackToTheShippedSettings) {
    for (const char* text :
         {"", "[BG]\r\nchessman_black=res/black.png\r\n", "[NET]\r\nlisten=no\r\n"}) {
        WriteFile("set/kelvara.ini", text);
        MainDialog window;
        ASSERT_TRUE(window.Initialise()) << text;
        EXPECT_FALSE(window.PiecePicture(Black).IsNull()) << text;
        EXPECT_FALSE(window.PiecePicture(White).IsNull()) << text;
        EXPECT_TRUE(ShowsBackground(window.CanvasImage(), QRect(0, 60, 320, 340),
                                    LoadRgb("res/background.png")))
            << text;
    }
}

TEST_F(WindowTest, EmptyPictureKeysGiveASolidBoardAndInvisiblePieces) {
    WriteFile("set/kelvara.ini",
              "[BG]\r\nmainbg=\r\nchessman_black=\r\nchessman_white=\r\n[NET]\r\nlisten=no\r\n");
    FakeNetwork windowNetwork(true);
    MainDialog window;
    window.SetNetworkPlay(&windowNetwork);
    ASSERT_TRUE(window.Initialise());
    EXPECT_FALSE(window.ListenEnabled());
    EXPECT_EQ(windowNetwork.attempts, 0);
    EXPECT_TRUE(window.PiecePicture(Black).IsNull());

    kelvara::StartChoice choice;
    choice.kind = kelvara::GameKind::TwoPlayers;
    window.Session().Start(choice);
    const QRgb solid = qRgb(200, 210, 220);
    EXPECT_TRUE(ShowsColour(window.CanvasImage(), QRect(0, 0, 542, 400), solid));
    // Pieces are invisible but still playable.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mousePress(window.Canvas(), Qt::LeftButton, {}, Centre(1, 2));
    QTest::mouseMove(window.Canvas(), Centre(2, 2));
    QTest::mouseRelease(window.Canvas(), Qt::LeftButton, {}, Centre(2, 2));
    EXPECT_EQ(window.BlackHistory()->topLevelItemCount(), 1);
    EXPECT_TRUE(ShowsColour(window.CanvasImage(), QRect(0, 0, 542, 400), solid));
}

TEST_F(WindowTest, ListenSwitchIsOffOnlyForExactlyNo) {
    for (const char* value : {"No", "no ", "", "yes"}) {
        WriteFile("set/kelvara.ini", std::string("[NET]\nlisten=") + value + "\n");
        FakeNetwork windowNetwork(true);
        MainDialog window;
        window.SetNetworkPlay(&windowNetwork);
        ASSERT_TRUE(window.Initialise());
        EXPECT_TRUE(window.ListenEnabled()) << '"' << value << '"';
        EXPECT_EQ(windowNetwork.attempts, 1);
    }
    // An empty settings file starts with the listener on and a plain background.
    WriteFile("set/kelvara.ini", "");
    FakeNetwork failingNetwork(false);
    MainDialog failing;
    failing.SetNetworkPlay(&failingNetwork);
    SeenBox box;
    CloseNextMessageBox(&box);
    ASSERT_TRUE(failing.Initialise());
    EXPECT_EQ(failingNetwork.attempts, 1);
    EXPECT_EQ(box.text, "监听端口时出错!!");
    EXPECT_EQ(box.caption, "ERROR");
    EXPECT_EQ(box.icon, QMessageBox::Critical);
}

TEST_F(WindowTest, PicturePathsMayUseBackslashes) {
    WriteFile("set/kelvara.ini",
              "[BG]\nmainbg=res\\background.png\nchessman_black=res\\black.png\n"
              "chessman_white=res/white.png\n");
    MainDialog window;
    ASSERT_TRUE(window.Initialise());
    EXPECT_FALSE(window.PiecePicture(Black).IsNull());
    EXPECT_FALSE(window.PiecePicture(White).IsNull());
    EXPECT_TRUE(ShowsBackground(window.CanvasImage(), QRect(0, 60, 320, 340),
                                LoadRgb("res/background.png")));
}

TEST_F(WindowTest, ExitShowsOkThenCloses) {
    MainDialog window;
    ASSERT_TRUE(window.Initialise());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    SeenBox box;
    CloseNextMessageBox(&box);
    window.findChild<QAction*>("actionExit")->trigger();
    EXPECT_TRUE(box.shown);
    EXPECT_EQ(box.text, "OK");
    EXPECT_EQ(box.caption, "六子棋");
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(WindowTest, AboutBoxFromBothMenuItems) {
    MainDialog window;
    ASSERT_TRUE(window.Initialise());
    for (const char* item : {"actionAbout", "actionAboutKelvara"}) {
        QString caption, version, button;
        bool hasIcon = false;
        WhenModal([&](QWidget* modal) {
            caption = modal->windowTitle();
            auto* text = modal->findChild<QLabel*>("aboutVersion");
            auto* icon = modal->findChild<QLabel*>("aboutIcon");
            auto* ok = modal->findChild<QPushButton*>("aboutOk");
            if (text == nullptr || icon == nullptr || ok == nullptr) return false;
            version = text->text();
            hasIcon = !icon->pixmap().isNull();
            button = ok->text();
            ok->click();
            return true;
        });
        window.findChild<QAction*>(item)->trigger();
        EXPECT_EQ(caption, "关于 Kelvara") << item;
        EXPECT_EQ(version, "Kelvara 1.0 版");
        EXPECT_EQ(button, "确定");
        EXPECT_TRUE(hasIcon);
    }
}

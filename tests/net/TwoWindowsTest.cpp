#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "MainDialog.h"
#include "ModalScript.h"
#include "NetTestSupport.h"
#include "StartGameDialog.h"
#include "TcpNetworkPlay.h"

using namespace nettest;

namespace {

// A window and its network play, put together as the program's start-up does.
struct Program {
    MainDialog window;
    TcpNetworkPlay network{window.Session(), &window, 0};

    Program() {
        network.SetClientTiming(20, 2000);
        window.SetNetworkPlay(&network);
        window.SetAnimationMilliseconds(0);
    }
    GameSession& Session() { return window.Session(); }
    NetworkHub& Hub() { return network.Hub(); }
    QString MatchText() const { return window.MatchText(); }
    const QString& StatusText() const { return window.StatusText(); }
    QTreeWidget* BlackHistory() const { return window.BlackHistory(); }
    QTreeWidget* WhiteHistory() const { return window.WhiteHistory(); }
    bool ClockRunning() const { return window.ClockRunning(); }
    void StartGame() { window.StartGame(); }
};

// Two whole windows in one process, each listening on a free port, in a working directory
// that holds the settings file and the address book.
struct TwoWindows : ::testing::Test {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    std::unique_ptr<Program> a;
    std::unique_ptr<Program> b;
    ModalScript script;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkdir("set");
        const QString source = QStringLiteral(KELVARA_SOURCE_DIR);
        QFile::copy(source + "/set/player.information", dir.path() + "/set/player.information");
        QFile ini(dir.path() + "/set/kelvara.ini");
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(("[BG]\nmainbg=" + source + "/res/background.png\nchessman_black=" + source +
                   "/res/black.png\nchessman_white=" + source + "/res/white.png\n[NET]\n" +
                   "listen=yes\n")
                      .toUtf8());
        ini.close();
        QDir::setCurrent(dir.path());
        a = MakeWindow();
        b = MakeWindow();
    }
    void TearDown() override {
        a.reset();
        b.reset();
        QDir::setCurrent(previousDir);
    }

    static std::unique_ptr<Program> MakeWindow() {
        auto p = std::make_unique<Program>();
        EXPECT_TRUE(p->window.Initialise());
        p->window.show();
        return p;
    }

    // Fills the start dialog's network fields, then presses `button` once control is back
    // in the event loop (the button runs modal windows of its own).
    ModalScript::Action FillAndPress(quint16 port,
                                     QPushButton* (StartGameDialog::*button)() const) {
        return [port, button](QWidget* w) {
            auto* dialog = qobject_cast<StartGameDialog*>(w);
            if (dialog == nullptr) return false;
            dialog->NetworkRadio()->setChecked(true);
            dialog->AddressEdit()->setText("127.0.0.1");
            dialog->PortEdit()->setText(QString::number(port));
            dialog->LocalNameCombo()->setCurrentText(U("甲"));
            QTimer::singleShot(0, dialog, [dialog, button] { (dialog->*button)()->click(); });
            return true;
        };
    }
};

}  // namespace

TEST_F(TwoWindows, TestInviteAcceptAndPlayAWholeGame) {
    const quint16 portB = b->Hub().ListeningPort();
    ASSERT_NE(portB, 0);
    script.Then(FillAndPress(portB, &StartGameDialog::TestButton))
        .Box()
        .Then(FillAndPress(portB, &StartGameDialog::OkButton))
        .Input(true)
        .Box(QMessageBox::Yes);
    a->StartGame();
    ASSERT_TRUE(script.Done());
    EXPECT_EQ(script.seen[0].text, U("连接测试成功，对方程序版本为 v1.0"));
    EXPECT_TRUE(script.seen[2].text.startsWith(U("来自 127.0.0.1 的朋友邀请你")));

    ASSERT_TRUE(WaitFor([&] { return a->Hub().Channel(0).state == LocalTurn; }));
    // The invited copy never started a game from its menu: its name is empty.
    EXPECT_EQ(a->MatchText(), U("战局：   黑:甲(本机)   VS   白:(127.0.0.1)"));
    EXPECT_EQ(a->StatusText(), U("现在该你走棋了..."));
    EXPECT_EQ(b->MatchText(), U("战局：   白:(本机)   VS   黑:甲(127.0.0.1)"));
    EXPECT_EQ(b->StatusText(), U("正在等待对方走棋,请稍后..."));

    const char* moves[] = {"21U", "34D", "22U", "44L", "31U", "43U", "42U"};
    for (int i = 0; i < 7; ++i) {
        Program& mover = i % 2 == 0 ? *a : *b;
        Program& other = i % 2 == 0 ? *b : *a;
        ASSERT_EQ(mover.Session().LocalMayMove(), true) << moves[i];
        Drag(mover.Session(), moves[i]);
        if (i < 6) {
            ASSERT_TRUE(WaitFor([&] { return other.Session().LocalMayMove(); })) << moves[i];
        }
    }
    ASSERT_TRUE(WaitFor([&] { return !b->Session().GameRunning(); }));
    EXPECT_EQ(a->StatusText(), U("游戏结束，恭喜你，你赢了!!"));
    EXPECT_EQ(b->StatusText(), U("游戏结束，你输了 :("));
    EXPECT_EQ(a->BlackHistory()->topLevelItemCount(), 4);
    EXPECT_EQ(b->BlackHistory()->topLevelItemCount(), 4);
    EXPECT_EQ(b->WhiteHistory()->topLevelItemCount(), 3);
    EXPECT_FALSE(a->ClockRunning());
    EXPECT_FALSE(b->ClockRunning());
}

TEST_F(TwoWindows, ARefusedInvitationLeavesTheStartDialogOpen) {
    const quint16 portB = b->Hub().ListeningPort();
    bool stillOpen = false;
    script.Then(FillAndPress(portB, &StartGameDialog::OkButton))
        .Input(true)
        .Box(QMessageBox::No)
        .Input(false)
        .Box()
        .Then([&stillOpen](QWidget* w) {
            auto* dialog = qobject_cast<StartGameDialog*>(w);
            if (dialog == nullptr) return false;
            stillOpen = dialog->isVisible();
            QTimer::singleShot(0, dialog, [dialog] { dialog->CancelButton()->click(); });
            return true;
        });
    a->StartGame();
    ASSERT_TRUE(script.Done());
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(script.seen.back().text, U("对方拒绝了你的请求，原因是：\n   对不起，我现在很忙."));
    EXPECT_FALSE(a->Session().GameRunning());
    EXPECT_FALSE(b->Session().GameRunning());
}

#include <sys/stat.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>

#include "Gbk.h"
#include "GuiFixture.h"
#include "NetworkLink.h"
#include "NetworkPlay.h"
#include "PlayerListModel.h"
#include "StartGameDialog.h"

using kelvara::GameKind;
using kelvara::StartGameDialog;

namespace {

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

// Network play whose invitation answers as told (at once, or when the test calls `answer`)
// and which records where the invitation and the connection test went.
class ScriptedNetwork : public kelvara::NetworkPlay, public kelvara::NetworkLink {
  public:
    explicit ScriptedNetwork(bool accepted) : accepted_(accepted) {}
    int invitations = 0;
    int tests = 0;
    std::uint32_t address = 0;
    quint16 port = 0;

    kelvara::NetworkLink& Link() override { return *this; }
    bool StartListening() override { return true; }
    void TestConnection(QWidget*, std::uint32_t a, quint16 p) override {
        ++tests;
        address = a;
        port = p;
    }
    void Invite(QWidget*, std::uint32_t a, quint16 p, std::function<void(bool)> done) override {
        ++invitations;
        address = a;
        port = p;
        if (deferred)
            answer = std::move(done);
        else
            done(accepted_);
    }
    bool deferred = false;
    std::function<void(bool)> answer;
    void AttachPeer(int) override {}
    void SendHello(int, const std::string&) override {}
    void SendMove(int, const kelvara::MoveRecord&) override {}
    kelvara::ChannelStatus Channel(int) const override { return {}; }
    void SetChannel(int, const kelvara::ChannelStatus&) override {}

  private:
    bool accepted_;
};

// A start dialog with that network play.
struct InvitingDialog : ScriptedNetwork, StartGameDialog {
    explicit InvitingDialog(bool accepted)
        : ScriptedNetwork(accepted),
          StartGameDialog(nullptr, static_cast<ScriptedNetwork*>(this)) {}
};

class StartDialogTest : public GuiFixture {};

}  // namespace

TEST_F(StartDialogTest, OpensWithSortedNamesDefaultSelectionsAndAddress) {
    StartGameDialog dialog;
    QStringList seen;
    QString address, port;
    bool onePlayerChecked = false;
    WhenModal([&](QWidget* modal) {
        if (modal != &dialog) return false;
        seen = Items(dialog.OnePlayerNameCombo());
        seen << dialog.OnePlayerNameCombo()->currentText() << dialog.BlackNameCombo()->currentText()
             << dialog.WhiteNameCombo()->currentText() << dialog.LocalNameCombo()->currentText();
        address = dialog.AddressEdit()->text();
        port = dialog.PortEdit()->text();
        onePlayerChecked = dialog.OnePlayerRadio()->isChecked();
        // "列表" and "搜索" do nothing.
        dialog.ListButton()->click();
        dialog.SearchButton()->click();
        dialog.OkButton()->click();
        return true;
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    // Sorted (pinyin) list; def1 = 0 picks the first sorted name, not player0's 张三.
    EXPECT_EQ(seen, QStringList(
                        {"李四", "棋手", "王五", "张三", "赵六", "李四", "李四", "棋手", "李四"}));
    EXPECT_EQ(address, "192.168.0.2");
    EXPECT_EQ(port, "2003");
    EXPECT_TRUE(onePlayerChecked);
    EXPECT_EQ(dialog.Kind(), GameKind::OnePlayer);
    EXPECT_EQ(dialog.BlackName(), "李四");
    EXPECT_EQ(dialog.PeerAddress(), 0xC0A80002u);
    EXPECT_EQ(dialog.PeerPort(), 2003);
}

TEST_F(StartDialogTest, SortIgnoresCaseAndBadDefaultsSelectNothing) {
    WriteFile("set/player.information",
              Gbk("playercount=4\ndef1=7\ndef2=-1\ndef4=3\n[player0]\nname=Bob\n"
                  "[player1]\nname=alice\n[player2]\nname=张三\n[player3]\nname=李四\n"));
    StartGameDialog dialog;
    QStringList seen;
    WhenModal([&](QWidget* modal) {
        if (modal != &dialog) return false;
        seen = Items(dialog.LocalNameCombo());
        for (QComboBox* box : {dialog.OnePlayerNameCombo(), dialog.BlackNameCombo(),
                               dialog.WhiteNameCombo(), dialog.LocalNameCombo()})
            seen << box->currentText();
        dialog.reject();
        return true;
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    // Case does not matter; Chinese names come first in the Chinese sort order.
    EXPECT_EQ(seen, QStringList({"李四", "张三", "alice", "Bob", "", "", "", "Bob"}));
}

// Missing, or a FIFO that nobody writes to (refused, not waited on): the same message.
TEST_F(StartDialogTest, UnreadableAddressBookTellsTheUserAndCancels) {
    RemoveFile("set/player.information");
    for (const bool fifo : {false, true}) {
        const QByteArray path = QDir::current().filePath("set/player.information").toLocal8Bit();
        if (fifo) {
            ASSERT_EQ(::mkfifo(path.constData(), 0600), 0);
        }
        StartGameDialog dialog;
        SeenBox box;
        CloseNextMessageBox(&box);
        EXPECT_EQ(dialog.exec(), QDialog::Rejected);
        EXPECT_TRUE(box.shown) << fifo;
        EXPECT_EQ(box.caption, "ERROR");
        EXPECT_EQ(box.text, "找不到玩家信息文件！");
        EXPECT_EQ(box.icon, QMessageBox::Critical);
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST_F(StartDialogTest, TwoPlayersTakeTheTypedNames) {
    StartGameDialog dialog;
    WhenModal([&](QWidget* modal) {
        if (modal != &dialog) return false;
        dialog.TwoPlayersRadio()->click();
        dialog.BlackNameCombo()->setEditText("黑方 甲");
        dialog.WhiteNameCombo()->setEditText("黑方 甲");
        dialog.OkButton()->click();
        return true;
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.Kind(), GameKind::TwoPlayers);
    EXPECT_EQ(dialog.BlackName(), "黑方 甲");
    EXPECT_EQ(dialog.WhiteName(), "黑方 甲");
}

TEST_F(StartDialogTest, NetworkChoiceClosesOnlyAfterAnAcceptedInvitation) {
    {
        StartGameDialog plain;  // no network play: OK leaves the dialog open
        bool stillOpen = false;
        WhenModal([&](QWidget* modal) {
            if (modal != &plain) return false;
            plain.NetworkRadio()->click();
            plain.OkButton()->click();
            stillOpen = plain.isVisible();
            plain.CancelButton()->click();
            return true;
        });
        EXPECT_EQ(plain.exec(), QDialog::Rejected);
        EXPECT_TRUE(stillOpen);
    }
    InvitingDialog dialog(true);
    WhenModal([&](QWidget* modal) {
        if (modal != &dialog) return false;
        dialog.NetworkRadio()->click();
        dialog.LocalNameCombo()->setEditText("本机");
        dialog.AddressEdit()->setText("10.1.2");
        dialog.PortEdit()->setText("70000");
        dialog.OkButton()->click();
        return true;
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.invitations, 1);
    EXPECT_EQ(dialog.address, 0x0A010200u);
    EXPECT_EQ(dialog.port, 70000 - 65536);
    EXPECT_EQ(dialog.Kind(), GameKind::Network);
    EXPECT_EQ(dialog.BlackName(), "本机");
}

TEST_F(StartDialogTest, EmptyPortAsksForANumberBeforeAnyInvitation) {
    InvitingDialog dialog(true);
    SeenBox box;
    bool stillOpen = false;
    WhenModal([&](QWidget* modal) {
        if (modal != &dialog) return false;
        dialog.NetworkRadio()->click();
        dialog.PortEdit()->clear();
        CloseNextMessageBox(&box);
        dialog.OkButton()->click();
        stillOpen = dialog.isVisible();
        dialog.reject();
        return true;
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dialog.invitations, 0);
    EXPECT_EQ(box.text, "Please enter an integer.");
    EXPECT_EQ(box.caption, "六子棋");
    EXPECT_EQ(box.icon, QMessageBox::Warning);
}

TEST_F(StartDialogTest, AddressAndPortFieldsTakeOnlyWhatTheyCanHold) {
    StartGameDialog dialog;
    dialog.AddressEdit()->clear();
    QTest::keyClicks(dialog.AddressEdit(), "300.1.2.3.4x");
    EXPECT_EQ(dialog.AddressEdit()->text(), "30.1.2.34");
    dialog.PortEdit()->clear();
    QTest::keyClicks(dialog.PortEdit(), "-2a0b03");
    EXPECT_EQ(dialog.PortEdit()->text(), "2003");

    EXPECT_EQ(StartGameDialog::ParseAddress(""), 0u);
    EXPECT_EQ(StartGameDialog::ParseAddress("1.2.3.4"), 0x01020304u);
    EXPECT_EQ(StartGameDialog::ParseAddress("255..7"), 0xFF000700u);
    quint16 port = 0;
    EXPECT_FALSE(StartGameDialog::ParsePort("", &port));
    ASSERT_TRUE(StartGameDialog::ParsePort("65535", &port));
    EXPECT_EQ(port, 65535);
    ASSERT_TRUE(StartGameDialog::ParsePort("123456789012345678901234567890", &port));
    // 123456789012345678901234567890 mod 65536
    EXPECT_EQ(port, 2770);
}

TEST_F(StartDialogTest, ConnectionTestGoesToTheNetworkWithTheFieldsAsTheyStand) {
    InvitingDialog dialog(false);
    std::vector<std::pair<std::uint32_t, quint16>> tested;
    WhenModal([&](QWidget* modal) {
        if (modal != &dialog) return false;
        dialog.AddressEdit()->setText("10.0.0.9");
        dialog.PortEdit()->setText("1234");
        dialog.TestButton()->click();
        tested.emplace_back(dialog.address, dialog.port);
        // A port field without a number tests the port held before, and the test itself
        // takes nothing over: that is still the opening 2003.
        dialog.PortEdit()->clear();
        dialog.TestButton()->click();
        tested.emplace_back(dialog.address, dialog.port);
        dialog.reject();
        return true;
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(dialog.tests, 2);
    EXPECT_EQ(dialog.invitations, 0);
    EXPECT_EQ(tested, (std::vector<std::pair<std::uint32_t, quint16>>{{0x0A000009u, 1234},
                                                                      {0x0A000009u, 2003}}));
}

TEST_F(StartDialogTest, TheDialogWaitsForTheAnswerAndSendsOneInvitationAtATime) {
    for (const bool accepted : {false, true}) {
        InvitingDialog dialog(true);
        dialog.deferred = true;
        bool openWhileWaiting = false;
        WhenModal([&](QWidget* modal) {
            if (modal != &dialog) return false;
            dialog.NetworkRadio()->click();
            dialog.LocalNameCombo()->setEditText("本机");
            dialog.OkButton()->click();
            dialog.OkButton()->click();  // the answer is still awaited
            openWhileWaiting = dialog.isVisible();
            dialog.answer(accepted);
            if (!accepted) dialog.reject();
            return true;
        });
        EXPECT_EQ(dialog.exec(), accepted ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_TRUE(openWhileWaiting);
        EXPECT_EQ(dialog.invitations, 1);
        EXPECT_EQ(dialog.BlackName(), accepted ? "本机" : "");
    }
}

TEST_F(StartDialogTest, NamesSitInTheMiddleOfTheirBoxesAtOneAndTwoDevicePixelsPerPixel) {
    StartGameDialog dialog(nullptr, nullptr);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    for (const char* name : {"onePlayerName", "blackName", "whiteName", "localName"}) {
        auto* box = dialog.findChild<QComboBox*>(name);
        ASSERT_NE(box, nullptr) << name;
        for (const QString& text : {QStringLiteral("李四"), QStringLiteral("Kelvara")}) {
            box->setEditText(text);
            for (int ratio : {1, 2}) {
                // The rows of ink inside the edit field, against the field's own rows.
                const QRect field = box->lineEdit()->geometry();
                QImage image(box->size() * ratio, QImage::Format_RGB32);
                image.setDevicePixelRatio(ratio);
                box->render(&image);
                int top = -1, bottom = -1;
                for (int y = field.top() * ratio; y < (field.bottom() + 1) * ratio; ++y) {
                    for (int x = (field.left() + 2) * ratio; x < (field.right() - 2) * ratio; ++x)
                        if (qGray(image.pixel(x, y)) < 128) {
                            if (top < 0) top = y;
                            bottom = y;
                            break;
                        }
                }
                ASSERT_GE(top, 0) << name;
                const int above = top - field.top() * ratio;
                const int below = (field.bottom() + 1) * ratio - 1 - bottom;
                EXPECT_LE(std::abs(above - below), ratio + 1)
                    << name << " " << text.toStdString() << " at " << ratio << "x: " << above
                    << " above, " << below << " below";
            }
        }
    }
}

TEST_F(StartDialogTest, PlayersFoundOnTheNetworkFillInTheAddressAndPort) {
    kelvara::PlayerListModel found;
    found.Upsert({"a", "王五", "192.0.2.7", 4711, false});
    found.Upsert({"b", "赵六", "192.0.2.8", 2003, true});
    StartGameDialog dialog;
    const int plainWidth = dialog.width();
    dialog.ShowFoundPlayers(&found, nullptr);  // no daemon to ask
    EXPECT_EQ(dialog.width(), plainWidth);     // the panel shows with the network game only
    dialog.NetworkRadio()->click();
    EXPECT_GT(dialog.width(), plainWidth);
    EXPECT_FALSE(dialog.FoundList()->isHidden());
    EXPECT_FALSE(dialog.FoundNote()->isHidden());
    EXPECT_FALSE(dialog.FoundNote()->text().isEmpty());
    EXPECT_EQ(found.index(1).data().toString(), "赵六  192.0.2.8  (对弈中)");

    const QModelIndex first = found.index(0);
    QTest::mouseClick(dialog.FoundList()->viewport(), Qt::LeftButton, {},
                      dialog.FoundList()->visualRect(first).center());
    EXPECT_EQ(dialog.AddressEdit()->text(), "192.0.2.7");
    EXPECT_EQ(dialog.PortEdit()->text(), "4711");
    dialog.OnePlayerRadio()->click();
    EXPECT_EQ(dialog.width(), plainWidth);
}

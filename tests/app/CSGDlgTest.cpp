#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "CSGDlg.h"
#include "Gbk.h"
#include "GuiFixture.h"
#include "NetworkLink.h"
#include "NetworkPlay.h"

using kelvara::CSGDlg;
using kelvara::GameKind;

namespace {

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

// Network play whose invitation answers as told and which records where the invitation and
// the connection test went.
class ScriptedNetwork : public kelvara::NetworkPlay, public kelvara::NetworkLink {
  public:
    explicit ScriptedNetwork(bool accepted) : accepted_(accepted) {}
    int invitations = 0;
    int tests = 0;
    std::uint32_t address = 0;
    std::uint16_t port = 0;

    kelvara::NetworkLink& Link() override { return *this; }
    bool StartListening() override { return true; }
    void TestConnection(QWidget*, std::uint32_t a, std::uint16_t p) override {
        ++tests;
        address = a;
        port = p;
    }
    bool Invite(QWidget*, std::uint32_t a, std::uint16_t p) override {
        ++invitations;
        address = a;
        port = p;
        return accepted_;
    }
    void AttachPeer(int) override {}
    void SendHello(int, const std::string&) override {}
    void SendMove(int, const kelvara::MoveRecord&) override {}
    kelvara::ChannelStatus Channel(int) const override { return {}; }
    void SetChannel(int, const kelvara::ChannelStatus&) override {}

  private:
    bool accepted_;
};

// A start dialog with that network play.
struct InvitingDialog : ScriptedNetwork, CSGDlg {
    explicit InvitingDialog(bool accepted)
        : ScriptedNetwork(accepted), CSGDlg(nullptr, static_cast<ScriptedNetwork*>(this)) {}
};

class StartDialogTest : public GuiFixture {};

}  // namespace

TEST_F(StartDialogTest, OpensWithSortedNamesDefaultSelectionsAndAddress) {
    CSGDlg dialog;
    QStringList seen;
    QString address, port;
    bool onePlayerChecked = false;
    WhenModal([&](QWidget* modal) {
        if (modal != &dialog) return false;
        seen = Items(dialog.Combo(CSGDlg::kOnePlayerName));
        seen << dialog.Combo(CSGDlg::kOnePlayerName)->currentText()
             << dialog.Combo(CSGDlg::kBlackName)->currentText()
             << dialog.Combo(CSGDlg::kWhiteName)->currentText()
             << dialog.Combo(CSGDlg::kLocalName)->currentText();
        address = dialog.AddressEdit()->text();
        port = dialog.PortEdit()->text();
        onePlayerChecked = dialog.Radio(CSGDlg::kOnePlayerRadio)->isChecked();
        // "列表" and "搜索" do nothing.
        dialog.Button(CSGDlg::kListButton)->click();
        dialog.Button(CSGDlg::kSearchButton)->click();
        dialog.Button(1)->click();
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
    CSGDlg dialog;
    QStringList seen;
    WhenModal([&](QWidget* modal) {
        if (modal != &dialog) return false;
        seen = Items(dialog.Combo(CSGDlg::kLocalName));
        for (int id :
             {CSGDlg::kOnePlayerName, CSGDlg::kBlackName, CSGDlg::kWhiteName, CSGDlg::kLocalName})
            seen << dialog.Combo(id)->currentText();
        dialog.reject();
        return true;
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    // Case does not matter; Chinese names come first in the Chinese sort order.
    EXPECT_EQ(seen, QStringList({"李四", "张三", "alice", "Bob", "", "", "", "Bob"}));
}

TEST_F(StartDialogTest, MissingAddressBookTellsTheUserAndCancels) {
    RemoveFile("set/player.information");
    CSGDlg dialog;
    SeenBox box;
    CloseNextMessageBox(&box);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(box.shown);
    EXPECT_EQ(box.caption, "ERROR");
    EXPECT_EQ(box.text, "找不到玩家信息文件！");
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(StartDialogTest, TwoPlayersTakeTheTypedNames) {
    CSGDlg dialog;
    WhenModal([&](QWidget* modal) {
        if (modal != &dialog) return false;
        dialog.Radio(CSGDlg::kTwoPlayersRadio)->click();
        dialog.Combo(CSGDlg::kBlackName)->setEditText("黑方 甲");
        dialog.Combo(CSGDlg::kWhiteName)->setEditText("黑方 甲");
        dialog.Button(1)->click();
        return true;
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.Kind(), GameKind::TwoPlayers);
    EXPECT_EQ(dialog.BlackName(), "黑方 甲");
    EXPECT_EQ(dialog.WhiteName(), "黑方 甲");
}

TEST_F(StartDialogTest, NetworkChoiceClosesOnlyAfterAnAcceptedInvitation) {
    {
        CSGDlg plain;  // no network play: OK leaves the dialog open
        bool stillOpen = false;
        WhenModal([&](QWidget* modal) {
            if (modal != &plain) return false;
            plain.Radio(CSGDlg::kNetworkRadio)->click();
            plain.Button(1)->click();
            stillOpen = plain.isVisible();
            plain.Button(2)->click();
            return true;
        });
        EXPECT_EQ(plain.exec(), QDialog::Rejected);
        EXPECT_TRUE(stillOpen);
    }
    InvitingDialog dialog(true);
    WhenModal([&](QWidget* modal) {
        if (modal != &dialog) return false;
        dialog.Radio(CSGDlg::kNetworkRadio)->click();
        dialog.Combo(CSGDlg::kLocalName)->setEditText("本机");
        dialog.AddressEdit()->setText("10.1.2");
        dialog.PortEdit()->setText("70000");
        dialog.Button(1)->click();
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
        dialog.Radio(CSGDlg::kNetworkRadio)->click();
        dialog.PortEdit()->clear();
        CloseNextMessageBox(&box);
        dialog.Button(1)->click();
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
    CSGDlg dialog;
    dialog.AddressEdit()->clear();
    QTest::keyClicks(dialog.AddressEdit(), "300.1.2.3.4x");
    EXPECT_EQ(dialog.AddressEdit()->text(), "30.1.2.34");
    dialog.PortEdit()->clear();
    QTest::keyClicks(dialog.PortEdit(), "-2a0b03");
    EXPECT_EQ(dialog.PortEdit()->text(), "2003");

    EXPECT_EQ(CSGDlg::ParseAddress(""), 0u);
    EXPECT_EQ(CSGDlg::ParseAddress("1.2.3.4"), 0x01020304u);
    EXPECT_EQ(CSGDlg::ParseAddress("255..7"), 0xFF000700u);
    std::int16_t port = 0;
    EXPECT_FALSE(CSGDlg::ParsePort("", &port));
    ASSERT_TRUE(CSGDlg::ParsePort("65535", &port));
    EXPECT_EQ(static_cast<std::uint16_t>(port), 65535);
    ASSERT_TRUE(CSGDlg::ParsePort("123456789012345678901234567890", &port));
    // 123456789012345678901234567890 mod 65536
    EXPECT_EQ(static_cast<std::uint16_t>(port), 2770);
}

TEST_F(StartDialogTest, ConnectionTestGoesToTheNetworkWithTheFieldsAsTheyStand) {
    InvitingDialog dialog(false);
    std::vector<std::pair<std::uint32_t, std::uint16_t>> tested;
    WhenModal([&](QWidget* modal) {
        if (modal != &dialog) return false;
        dialog.AddressEdit()->setText("10.0.0.9");
        dialog.PortEdit()->setText("1234");
        dialog.Button(CSGDlg::kTestButton)->click();
        tested.emplace_back(dialog.address, dialog.port);
        // A port field without a number tests the port held before, and the test itself
        // takes nothing over: that is still the opening 2003.
        dialog.PortEdit()->clear();
        dialog.Button(CSGDlg::kTestButton)->click();
        tested.emplace_back(dialog.address, dialog.port);
        dialog.reject();
        return true;
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(dialog.tests, 2);
    EXPECT_EQ(dialog.invitations, 0);
    EXPECT_EQ(tested, (std::vector<std::pair<std::uint32_t, std::uint16_t>>{{0x0A000009u, 1234},
                                                                            {0x0A000009u, 2003}}));
}

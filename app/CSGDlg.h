#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <map>
#include <string>

#include "GameKind.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kelvara {

class NetworkPlay;

// The start-game dialog: kind of game, players' names from the address book, and the other
// machine's address and port for a network game. Reads the address book at every opening.
//
// "测试连接" and OK for the network kind go to `network`: the dialog closes with OK only when
// the invitation was accepted. Without network play the button does nothing and OK for the
// network kind leaves the dialog open.
class CSGDlg : public QDialog {
    Q_OBJECT
  public:
    // Control ids.
    static constexpr int kOnePlayerRadio = 1018;
    static constexpr int kTwoPlayersRadio = 1019;
    static constexpr int kNetworkRadio = 1020;
    static constexpr int kOnePlayerName = 1005;
    static constexpr int kBlackName = 1007;
    static constexpr int kWhiteName = 1008;
    static constexpr int kLocalName = 1010;
    static constexpr int kAddress = 1011;
    static constexpr int kPort = 1016;
    static constexpr int kListButton = 1013;
    static constexpr int kSearchButton = 1014;
    static constexpr int kTestButton = 1012;

    static constexpr std::uint32_t kDefaultAddress = 0xC0A80002;  // 192.168.0.2
    static constexpr int kDefaultPort = 2003;

    explicit CSGDlg(QWidget* parent = nullptr, NetworkPlay* network = nullptr,
                    std::string addressBookPath = "set/player.information");

    // Opens the dialog: reads the address book first; when it cannot be opened, tells the
    // user and returns Rejected without showing the dialog.
    int exec() override;

    // Results, valid after OK.
    GameKind Kind() const { return kind_; }
    const QString& BlackName() const { return blackName_; }
    const QString& WhiteName() const { return whiteName_; }
    std::uint32_t PeerAddress() const { return peerAddress_; }
    std::int16_t PeerPort() const { return peerPort_; }

    QComboBox* Combo(int id) const;
    QRadioButton* Radio(int id) const;
    QLineEdit* AddressEdit() const { return address_; }
    QLineEdit* PortEdit() const { return port_; }
    QPushButton* Button(int id) const;

    // Address text "a.b.c.d" (missing or empty fields count 0; empty text is 0.0.0.0), first
    // octet in the most significant byte.
    static std::uint32_t ParseAddress(const QString& text);
    static QString FormatAddress(std::uint32_t address);
    // Decimal port text reduced modulo 65536; false when the text holds no number.
    static bool ParsePort(const QString& text, std::int16_t* port);

  public slots:
    void accept() override;

  private:
    // "测试连接": tests the machine in the address and port fields; a port field without a
    // number leaves the port held before.
    void TestConnection();

    bool LoadAddressBook();
    // Takes the address and the port from their controls; false (after telling the user)
    // when the port holds no number.
    bool TakeAddressAndPort();

    NetworkPlay* network_;
    std::string bookPath_;
    std::map<int, QComboBox*> combos_;
    std::map<int, QRadioButton*> radios_;
    std::map<int, QPushButton*> buttons_;
    QButtonGroup* kinds_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* port_ = nullptr;

    GameKind kind_ = GameKind::OnePlayer;
    QString blackName_;
    QString whiteName_;
    std::uint32_t peerAddress_ = 0;
    std::int16_t peerPort_ = kDefaultPort;
};

}  // namespace kelvara

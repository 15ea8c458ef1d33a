#pragma once

#include <QDialog>
#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <optional>
#include <string>

#include "GameKind.h"
#include "GamePort.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class QListView;
class QLabel;

namespace kelvara {

class PlayerListModel;
class ZeroconfClient;

class NetworkPlay;

// The start-game dialog: kind of game, players' names from the address book, and the other
// machine's address and port for a network game. Reads the address book at every opening.
//
// "测试连接" and OK for the network kind go to `network`: the dialog closes with OK only when
// the invitation was accepted. Without network play the button does nothing and OK for the
// network kind leaves the dialog open.
class StartGameDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr std::uint32_t kDefaultAddress = 0xC0A80002;  // 192.168.0.2

    explicit StartGameDialog(QWidget* parent = nullptr, NetworkPlay* network = nullptr,
                             std::string addressBookPath = "set/player.information");

    // Opens the dialog: reads the address book first; when it cannot be opened, tells the
    // user and returns Rejected without showing the dialog.
    int exec() override;
    // The players found on the network, shown beside the network game while it is chosen;
    // picking one fills in the address and port. `found` and `client` outlive the dialog.
    void ShowFoundPlayers(PlayerListModel* found, const ZeroconfClient* client);
    QListView* FoundList() const { return foundList_; }
    QLabel* FoundNote() const { return foundNote_; }
    // The kind and names of the last game: the dialog opens on them.
    void Remember(GameKind kind, const QString& black, const QString& white);

    // Results, valid after OK.
    GameKind Kind() const { return kind_; }
    const QString& BlackName() const { return chosenBlack_; }
    const QString& WhiteName() const { return chosenWhite_; }
    std::uint32_t PeerAddress() const { return peerAddress_; }
    quint16 PeerPort() const { return peerPort_; }

    // The controls, for tests.
    QRadioButton* OnePlayerRadio() const { return onePlayerRadio_; }
    QRadioButton* TwoPlayersRadio() const { return twoPlayersRadio_; }
    QRadioButton* NetworkRadio() const { return networkRadio_; }
    QComboBox* OnePlayerNameCombo() const { return onePlayerName_; }
    QComboBox* BlackNameCombo() const { return blackName_; }
    QComboBox* WhiteNameCombo() const { return whiteName_; }
    QComboBox* LocalNameCombo() const { return localName_; }
    QLineEdit* AddressEdit() const { return address_; }
    QLineEdit* PortEdit() const { return port_; }
    QPushButton* ListButton() const { return listButton_; }
    QPushButton* SearchButton() const { return searchButton_; }
    QPushButton* TestButton() const { return testButton_; }
    QPushButton* OkButton() const { return okButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }

    // Address text "a.b.c.d" (missing or empty fields count 0; empty text is 0.0.0.0), first
    // octet in the most significant byte.
    static std::uint32_t ParseAddress(const QString& text);
    static QString FormatAddress(std::uint32_t address);
    // Decimal port text reduced modulo 65536; false when the text holds no number.
    static bool ParsePort(const QString& text, quint16* port);

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
    QButtonGroup* kinds_ = nullptr;
    void ShowFoundPanel();

    QListView* foundList_ = nullptr;
    QLabel* foundNote_ = nullptr;
    QWidget* foundTitle_ = nullptr;
    const ZeroconfClient* foundClient_ = nullptr;
    std::optional<GameKind> rememberedKind_;
    QString rememberedBlack_;
    QString rememberedWhite_;
    QRadioButton* onePlayerRadio_ = nullptr;
    QRadioButton* twoPlayersRadio_ = nullptr;
    QRadioButton* networkRadio_ = nullptr;
    QComboBox* onePlayerName_ = nullptr;
    QComboBox* blackName_ = nullptr;
    QComboBox* whiteName_ = nullptr;
    QComboBox* localName_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* port_ = nullptr;
    QPushButton* listButton_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    QPushButton* testButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;

    GameKind kind_ = GameKind::OnePlayer;
    QString chosenBlack_;
    QString chosenWhite_;
    std::uint32_t peerAddress_ = 0;
    quint16 peerPort_ = kGamePort;
    bool inviting_ = false;
};

}  // namespace kelvara

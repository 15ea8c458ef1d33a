#include "StartGameDialog.h"

#include <QButtonGroup>
#include <QCollator>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "DialogUnits.h"
#include "MessageBox.h"
#include "NetworkPlay.h"
#include "PlayerBook.h"
#include "PlayerListModel.h"
#include "ZeroconfClient.h"

namespace kelvara {
namespace {

// Combo boxes show only their edit field: their height holds no drop-down list.
constexpr int kComboHeight = 22;

// Rows of `image` between `top` and `bottom` (exclusive) that hold ink: first and last, or -1.
std::pair<int, int> InkRows(const QImage& image, int top, int bottom) {
    int first = -1, last = -1;
    for (int y = std::max(0, top); y < std::min(bottom, image.height()); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                if (first < 0) first = y;
                last = y;
                break;
            }
        }
    }
    return {first, last};
}

// Centres the text of an edit field vertically by its ink. The field places its line by the
// metrics of its first font, but Chinese names are drawn from a fallback face whose glyphs
// then sit high: the field is drawn with the text at twice the size, and the text margins
// that leave as many empty rows above the ink as below it are kept.
void CentreTextByInk(QLineEdit* edit) {
    const QString text = edit->text();
    if (text.isEmpty()) return;
    constexpr int kRatio = 2;
    QLineEdit probe;
    probe.setFont(edit->font());
    probe.setFrame(false);
    probe.resize(edit->size());
    probe.setText(text);
    probe.setCursorPosition(0);
    probe.ensurePolished();
    QImage image(probe.size() * kRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(kRatio);
    int best = 0;
    int bestOff = image.height();
    for (int shift = -6; shift <= 6; ++shift) {
        probe.setTextMargins(0, std::max(0, shift), 0, std::max(0, -shift));
        image.fill(Qt::white);
        probe.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const auto [first, last] = InkRows(image, 0, image.height());
        if (first < 0) return;
        const int off = std::abs(first - (image.height() - 1 - last));
        if (off < bestOff) {
            bestOff = off;
            best = shift;
        }
    }
    edit->setTextMargins(0, std::max(0, best), 0, std::max(0, -best));
}

}  // namespace

StartGameDialog::StartGameDialog(QWidget* parent, NetworkPlay* network, std::string addressBookPath)
    : QDialog(parent), network_(network), bookPath_(std::move(addressBookPath)) {
    setWindowTitle(tr("开始游戏"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(DluRect(0, 0, 224, 194).size());
    // The dialog-unit places were made for an 8-point dialog font: about 11 pixels.
    QFont dialogFont = font();
    dialogFont.setPixelSize(11);
    setFont(dialogFont);

    auto group = [this](int x, int y, int w, int h) {
        auto* box = new QGroupBox(this);
        box->setGeometry(DluRect(x, y, w, h));
        box->lower();
    };
    auto label = [this](const QString& text, int x, int y, int w, int h) {
        auto* l = new QLabel(text, this);
        l->setGeometry(DluRect(x, y, w, h));
    };
    kinds_ = new QButtonGroup(this);
    auto radio = [this](const char* name, const QString& text, int x, int y, int w, int h) {
        auto* r = new QRadioButton(text, this);
        r->setObjectName(QLatin1String(name));
        r->setGeometry(DluRect(x, y, w, h + 2));
        kinds_->addButton(r);
        return r;
    };
    auto combo = [this](const char* name, int x, int y, int w) {
        auto* c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        const QRect r = DluRect(x, y, w, 12);
        c->setGeometry(r.x(), r.y() - 2, r.width(), kComboHeight);
        QLineEdit* edit = c->lineEdit();
        connect(c, &QComboBox::editTextChanged, edit, [edit] { CentreTextByInk(edit); });
        return c;
    };
    auto button = [this](const char* name, const QString& text, int x, int y, int w, int h) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(DluRect(x, y, w, h));
        b->setAutoDefault(false);
        return b;
    };

    group(2, 0, 222, 38);
    onePlayerRadio_ = radio("onePlayerRadio", tr("单人游戏（玩家 VS 电脑）"), 9, 8, 136, 9);
    label(tr("黑棋:  玩家"), 16, 24, 41, 9);
    onePlayerName_ = combo("onePlayerName", 58, 22, 53);
    label(tr("白棋:   电脑"), 118, 21, 80, 11);

    group(2, 42, 222, 46);
    twoPlayersRadio_ = radio("twoPlayersRadio", tr("双人游戏（玩家  VS  玩家）"), 9, 51, 125, 10);
    label(tr("黑棋:  玩家1"), 15, 69, 43, 9);
    blackName_ = combo("blackName", 60, 67, 52);
    label(tr("白棋:  玩家2"), 118, 68, 44, 9);
    whiteName_ = combo("whiteName", 164, 66, 55);

    group(2, 91, 222, 79);
    networkRadio_ = radio("networkRadio", tr("网络游戏"), 9, 101, 80, 9);
    label(tr("黑棋(本机):  玩家"), 15, 116, 63, 9);
    localName_ = combo("localName", 85, 114, 62);
    label(tr("白棋(网络):  地址"), 16, 134, 61, 10);

    address_ = new QLineEdit(this);
    address_->setObjectName(QStringLiteral("address"));
    {
        const QRect r = DluRect(85, 132, 99, 12);
        address_->setGeometry(r.x(), r.y() - 1, r.width(), r.height() + 2);
    }
    // Up to four octets 0..255 separated by dots; an empty field counts as 0.
    const QString octet = QStringLiteral("(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])?");
    address_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^%1(\\.%1){0,3}$").arg(octet)), address_));
    address_->setText(FormatAddress(0));

    port_ = new QLineEdit(this);
    port_->setObjectName(QStringLiteral("port"));
    {
        const QRect r = DluRect(187, 132, 33, 12);
        port_->setGeometry(r.x(), r.y() - 1, r.width(), r.height() + 2);
    }
    port_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^[0-9]*$")), port_));
    port_->setText(QString::number(kGamePort));

    listButton_ = button("list", tr("列表"), 75, 150, 32, 12);
    searchButton_ = button("search", tr("搜索"), 121, 150, 32, 12);
    testButton_ = button("test", tr("测试连接"), 171, 150, 40, 12);
    connect(testButton_, &QPushButton::clicked, this, &StartGameDialog::TestConnection);

    okButton_ = button("ok", tr("确定"), 31, 177, 50, 14);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &StartGameDialog::accept);
    cancelButton_ = button("cancel", tr("取消"), 140, 177, 50, 14);
    connect(cancelButton_, &QPushButton::clicked, this, &StartGameDialog::reject);

    onePlayerRadio_->setChecked(true);
}

int StartGameDialog::exec() {
    address_->setText(FormatAddress(kDefaultAddress));
    if (!LoadAddressBook()) {
        MessageBox::Show(parentWidget(), QStringLiteral("ERROR"), tr("找不到玩家信息文件！"),
                         QMessageBox::Critical);
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    onePlayerRadio_->setChecked(true);
    if (rememberedKind_) {
        const auto pick = [](QComboBox* box, const QString& name) {
            const int index = box->findText(name);
            if (index >= 0)
                box->setCurrentIndex(index);
            else if (box->isEditable() && !name.isEmpty())
                box->setEditText(name);
        };
        switch (*rememberedKind_) {
            case GameKind::OnePlayer:
                pick(onePlayerName_, rememberedBlack_);
                break;
            case GameKind::TwoPlayers:
                twoPlayersRadio_->setChecked(true);
                pick(blackName_, rememberedBlack_);
                pick(whiteName_, rememberedWhite_);
                break;
            case GameKind::Network:
                networkRadio_->setChecked(true);
                pick(localName_, rememberedBlack_);
                break;
        }
    }
    return QDialog::exec();
}

void StartGameDialog::ShowFoundPlayers(PlayerListModel* found, const ZeroconfClient* client) {
    foundClient_ = client;
    auto* title = new QLabel(tr("局域网中的玩家："), this);
    title->setGeometry(DluRect(228, 101, 110, 9));
    foundTitle_ = title;
    foundList_ = new QListView(this);
    foundList_->setObjectName(QStringLiteral("foundPlayers"));
    foundList_->setModel(found);
    foundList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    foundList_->setGeometry(DluRect(228, 112, 110, 58));
    foundNote_ = new QLabel(this);
    foundNote_->setObjectName(QStringLiteral("foundNote"));
    foundNote_->setWordWrap(true);
    foundNote_->setGeometry(DluRect(228, 172, 110, 18));
    connect(foundList_, &QListView::clicked, this, [this](const QModelIndex& index) {
        address_->setText(index.data(PlayerListModel::AddressRole).toString());
        port_->setText(QString::number(index.data(PlayerListModel::PortRole).toInt()));
    });
    if (client != nullptr)
        connect(client, &ZeroconfClient::stateChanged, this, &StartGameDialog::ShowFoundPanel);
    connect(networkRadio_, &QRadioButton::toggled, this, &StartGameDialog::ShowFoundPanel);
    ShowFoundPanel();
}

void StartGameDialog::ShowFoundPanel() {
    if (foundList_ == nullptr) return;
    const bool shown = networkRadio_->isChecked();
    setFixedSize(DluRect(0, 0, shown ? 342 : 224, 194).size());
    for (QWidget* w : {foundTitle_, static_cast<QWidget*>(foundList_)}) w->setVisible(shown);
    // Said once, quietly, when nobody can be found this way.
    const bool reachable = foundClient_ != nullptr && foundClient_->Running();
    foundNote_->setText(reachable ? QString() : tr("无法自动查找玩家，请输入对方的地址。"));
    foundNote_->setVisible(shown && !reachable);
}

void StartGameDialog::Remember(GameKind kind, const QString& black, const QString& white) {
    rememberedKind_ = kind;
    rememberedBlack_ = black;
    rememberedWhite_ = white;
}

bool StartGameDialog::LoadAddressBook() {
    PlayerBook book;
    if (!book.Load(bookPath_)) return false;

    QStringList names;
    // A name shows up to a zero byte in it.
    for (const std::string& name : book.Names()) names.push_back(QString::fromUtf8(name.c_str()));
    // The lists are sorted as the platform sorts names for a Chinese user (pinyin order).
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    std::stable_sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });

    // The address book's defaults def1 to def4 belong to the boxes in this order.
    QComboBox* const order[4] = {onePlayerName_, blackName_, whiteName_, localName_};
    for (int d = 0; d < 4; ++d) {
        QComboBox* box = order[d];
        box->clear();
        box->addItems(names);
        const std::optional<int> index = book.DefaultIndex(d + 1);
        if (index && *index >= 0 && *index < box->count())
            box->setCurrentIndex(*index);
        else
            box->setCurrentIndex(-1);
    }
    return true;
}

bool StartGameDialog::TakeAddressAndPort() {
    peerAddress_ = ParseAddress(address_->text());
    quint16 port = 0;
    if (!ParsePort(port_->text(), &port)) {
        MessageBox::Show(this, MessageBox::ProgramTitle(),
                         QStringLiteral("Please enter an integer."), QMessageBox::Warning);
        port_->setFocus();
        return false;
    }
    peerPort_ = port;
    return true;
}

void StartGameDialog::accept() {
    // The port is checked before anything else, so that an invitation is never sent with a
    // port that cannot be taken and then left accepted while the dialog stays open.
    if (!TakeAddressAndPort()) return;
    if (onePlayerRadio_->isChecked()) {
        kind_ = GameKind::OnePlayer;
        chosenBlack_ = onePlayerName_->currentText();
        chosenWhite_.clear();
    } else if (twoPlayersRadio_->isChecked()) {
        kind_ = GameKind::TwoPlayers;
        chosenBlack_ = blackName_->currentText();
        chosenWhite_ = whiteName_->currentText();
    } else {
        kind_ = GameKind::Network;
        if (network_ == nullptr || inviting_) return;
        // The dialog stays open while the invitation goes out and is answered; it closes
        // only on an acceptance.
        inviting_ = true;
        QPointer<StartGameDialog> self(this);
        network_->Invite(this, peerAddress_, peerPort_, [self](bool accepted) {
            if (self == nullptr) return;
            self->inviting_ = false;
            if (!accepted) return;
            self->chosenBlack_ = self->localName_->currentText();
            self->chosenWhite_.clear();
            self->QDialog::accept();
        });
        return;
    }
    QDialog::accept();
}

void StartGameDialog::TestConnection() {
    if (network_ == nullptr) return;
    quint16 port = peerPort_;
    if (!ParsePort(port_->text(), &port)) port = peerPort_;
    network_->TestConnection(this, ParseAddress(address_->text()), port);
}

std::uint32_t StartGameDialog::ParseAddress(const QString& text) {
    std::uint32_t address = 0;
    const QStringList fields = text.split(QLatin1Char('.'));
    for (int i = 0; i < 4; ++i) {
        std::uint32_t octet = 0;
        if (i < fields.size()) {
            bool ok = false;
            const uint value = fields[i].trimmed().toUInt(&ok);
            if (ok) octet = std::min<uint>(value, 255);
        }
        address = (address << 8) | octet;
    }
    return address;
}

QString StartGameDialog::FormatAddress(std::uint32_t address) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

bool StartGameDialog::ParsePort(const QString& text, quint16* port) {
    int i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    const int first = i;
    std::uint32_t value = 0;
    while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
        value = (value * 10 + static_cast<std::uint32_t>(text[i].unicode() - u'0')) % 65536;
        ++i;
    }
    if (i == first) return false;
    if (negative) value = (65536 - value) % 65536;
    *port = static_cast<quint16>(value);
    return true;
}

}  // namespace kelvara

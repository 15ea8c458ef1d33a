#include "NetworkDiscovery.h"

#include <QCollator>
#include <QLocale>
#include <QStringList>
#include <QSysInfo>
#include <algorithm>

#include "MainDialog.h"
#include "PlayerBook.h"
#include "TcpNetworkPlay.h"

namespace kelvara {

NetworkDiscovery::NetworkDiscovery(QObject* parent)
    : QObject(parent), announcer_(client_), browser_(client_, found_) {}

void NetworkDiscovery::Follow(TcpNetworkPlay& network, MainDialog& window,
                              const std::string& addressBookPath) {
    connect(&network, &TcpNetworkPlay::listening, this, [this, addressBookPath](quint16 port) {
        announcer_.Publish(LocalPlayerName(addressBookPath), port);
    });
    connect(&window, &MainDialog::gameRunningChanged, this,
            [this](bool running) { announcer_.SetBusy(running); });
    window.SetDiscovery(this);
}

std::string NetworkDiscovery::LocalPlayerName(const std::string& path) {
    PlayerBook book;
    if (book.Load(path)) {
        QStringList names;
        for (const std::string& name : book.Names())
            names.push_back(QString::fromUtf8(name.c_str()));
        // The start dialog's order, where def4 points.
        QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
        std::stable_sort(
            names.begin(), names.end(),
            [&collator](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
        const std::optional<int> index = book.DefaultIndex(4);
        if (index && *index >= 0 && *index < names.size() && !names[*index].isEmpty())
            return names[*index].toStdString();
    }
    return QSysInfo::machineHostName().toStdString();
}

}  // namespace kelvara

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "DataPaths.h"
#include "GbkCodec.h"
#include "InterfaceLanguage.h"
#include "ListPlayersCommand.h"
#include "MainDialog.h"
#include "MessageBox.h"
#include "NetworkDiscovery.h"
#include "TableService.h"
#include "TcpNetworkPlay.h"

namespace {

Q_LOGGING_CATEGORY(tableLog, "kelvara.table")

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

// The listener's port: the game port, or KELVARA_LISTEN_PORT when it names another (two copies
// on one machine).
quint16 ListenPort(quint16 fallback) {
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("KELVARA_LISTEN_PORT", &ok);
    return ok && port > 0 && port < 65536 ? static_cast<quint16>(port) : fallback;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (kelvara::ListPlayersCommand::Wanted(argc, argv))
        return kelvara::ListPlayersCommand::Run(argc, argv);
    QElapsedTimer sinceStart;
    sinceStart.start();
    if (!HasDisplay()) {
        // Not translated: there is no application to load a translation yet; the line says it
        // in both languages.
        std::fprintf(stderr,
                     "kelvara: 没有可用的显示 (no display found; set DISPLAY or run under "
                     "xvfb-run)\n");
        return 1;
    }
    QApplication app(argc, argv);
    // The interface's language, Qt's own buttons and dialogs included: [UI] language in the
    // settings file, else the locale; Chinese where no translation speaks the locale's.
    kelvara::InterfaceLanguage language;
    language.Install(kelvara::InterfaceLanguage::Wanted("set/kelvara.ini"));
    // Captions are exactly the window's own texts: no display name is appended to them.
    QApplication::setApplicationName(kelvara::MessageBox::ProgramTitle());

    if (!kelvara::GbkCodec::Available()) {
        std::fprintf(stderr, "kelvara: GBK text conversion is not available on this system\n");
        kelvara::MessageBox::Show(nullptr, QStringLiteral("ERROR"),
                                  QStringLiteral("GBK text conversion is not available."),
                                  QMessageBox::Critical);
        return 1;
    }

    // The solved table, built in the background from now on while the window comes up; it
    // outlives the window, whose players and aids read it.
    kelvara::TableService table;
    // Runs on the solving thread; the log is safe to write from there.
    table.OnReady([&sinceStart] {
        qCInfo(tableLog, "table ready %lld ms after start",
               static_cast<long long>(sinceStart.elapsed()));
    });
    table.Start();

    // The window and, beside it, the network play for its session; the network play goes
    // first when main returns.
    kelvara::MainDialog window;
    window.SetTableService(&table);
    kelvara::TcpNetworkPlay network(window.Session(), &window, ListenPort(window.ListenPort()));
    window.SetNetworkPlay(&network);
    // This copy announced on the network once it listens, busy while a game runs; goes
    // (withdrawn) before the network play.
    kelvara::NetworkDiscovery discovery;
    discovery.Follow(network, window,
                     kelvara::DataPaths::Resolve(std::string("set/player.information")));
    discovery.Start();
    if (!window.Initialise()) return 1;
    // kelvara FILE: the game of a record.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) window.OpenRecord(arguments.at(1));
    window.exec();
    return 0;
}

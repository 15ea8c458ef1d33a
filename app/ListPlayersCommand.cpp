#include "ListPlayersCommand.h"

#include <QCoreApplication>
#include <QSet>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "PlayerBrowser.h"
#include "PlayerListModel.h"
#include "ZeroconfClient.h"

namespace kelvara {

bool ListPlayersCommand::Wanted(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--list-players") == 0) return true;
    return false;
}

int ListPlayersCommand::Run(int argc, char* argv[]) {
    double seconds = 2.0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
            char* end = nullptr;
            seconds = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || !(seconds >= 0) || seconds > 3600) {
                std::fprintf(stderr, "kelvara: --timeout wants seconds, not '%s'\n", argv[i]);
                return 2;
            }
        }
    }
    QCoreApplication app(argc, argv);
    ZeroconfClient client;
    PlayerListModel list;
    PlayerBrowser browser(client, list);
    bool reached = false;
    QObject::connect(&client, &ZeroconfClient::stateChanged, [&] {
        if (client.Running()) reached = true;
    });
    client.Start();
    QTimer::singleShot(static_cast<int>(seconds * 1000), &app, &QCoreApplication::quit);
    app.exec();
    if (!reached) {
        std::fprintf(stderr, "kelvara: avahi-daemon cannot be reached; no players listed\n");
        return 1;
    }
    // A player seen on several interfaces is printed once.
    QSet<QString> printed;
    for (const FoundPlayer& p : list.Players()) {
        const QString line = p.name + QLatin1Char('\t') + p.address + QLatin1Char('\t') +
                             QString::number(p.port) + QLatin1Char('\t') +
                             QLatin1Char(p.busy ? '1' : '0');
        if (printed.contains(line)) continue;
        printed.insert(line);
        std::printf("%s\n", line.toUtf8().constData());
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace kelvara

#pragma once

#include <QObject>
#include <string>

#include "PlayerAnnouncer.h"
#include "PlayerBrowser.h"
#include "PlayerListModel.h"
#include "ZeroconfClient.h"

namespace kelvara {

class MainDialog;
class TcpNetworkPlay;

// The window's part of finding players on the network: one client for the daemon, the
// announcer of this copy (published once the listener is on, busy while a game runs) and the
// live list of the others.
class NetworkDiscovery : public QObject {
    Q_OBJECT

  public:
    explicit NetworkDiscovery(QObject* parent = nullptr);

    // Ties discovery to a window and its network play: the player (the address book's local
    // name at `addressBookPath`) is announced once `network` listens, busy while a game runs
    // in `window`, whose start dialogs offer the players found. Call before the window's
    // Initialise(), which starts the listener.
    void Follow(TcpNetworkPlay& network, MainDialog& window, const std::string& addressBookPath);

    void Start() { client_.Start(); }
    PlayerListModel& Found() { return found_; }
    ZeroconfClient& Client() { return client_; }
    PlayerAnnouncer& Announcer() { return announcer_; }

    // The local player's name of the address book at `path` (its default "def4", as the start
    // dialog shows it), or the host's name.
    static std::string LocalPlayerName(const std::string& path);

  private:
    ZeroconfClient client_;
    PlayerListModel found_;
    PlayerAnnouncer announcer_;
    PlayerBrowser browser_;
};

}  // namespace kelvara

#pragma once

#include <QtGlobal>

#include "MainDialog.h"

namespace kelvara {

class NetworkHub;

// The main window with network play: it owns the hub (listener and six game connections),
// connects it to the session, listens when the settings allow it, and opens the start dialog
// that tests and invites.
//
// The listening port is 2003; the environment variable KELVARA_LISTEN_PORT puts another in
// its place, so that two copies can run on one machine.
class NetMainDialog : public MainDialog {
    Q_OBJECT

  public:
    explicit NetMainDialog(QWidget* parent = nullptr);
    ~NetMainDialog() override;

    NetworkHub& Hub() { return *hub_; }
    quint16 ListeningPort() const { return listenPort_; }
    void SetListeningPort(quint16 port) { listenPort_ = port; }
    // Client timing handed to every start dialog (tests use short ones).
    void SetClientTiming(int pollIntervalMs, int connectTimeoutMs);

  protected:
    bool StartListening() override;
    std::unique_ptr<CSGDlg> CreateStartDialog() override;

  private:
    NetworkHub* hub_;
    quint16 listenPort_;
    int pollIntervalMs_;
    int connectTimeoutMs_;
};

}  // namespace kelvara

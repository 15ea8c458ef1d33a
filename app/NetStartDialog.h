#pragma once

#include "CSGDlg.h"

namespace kelvara {

class NetworkHub;

// The start-game dialog with network play: "测试连接" runs the connection test, and OK in the
// network mode sends the invitation; on acceptance the connected socket goes to the hub,
// where the Start command's session picks it up for slot 0.
class NetStartDialog : public CSGDlg {
    Q_OBJECT

  public:
    NetStartDialog(NetworkHub& hub, QWidget* parent = nullptr,
                   std::string addressBookPath = "set/player.information");

    // Poll period and connect limit of the client (tests use short ones).
    void SetClientTiming(int pollIntervalMs, int connectTimeoutMs);

  protected:
    bool RunInvitation() override;
    void TestConnection() override;

  private:
    NetworkHub& hub_;
    int pollIntervalMs_;
    int connectTimeoutMs_;
};

}  // namespace kelvara

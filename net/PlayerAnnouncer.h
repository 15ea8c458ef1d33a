#pragma once

#include <avahi-client/publish.h>

#include <QObject>
#include <QtGlobal>
#include <string>

#include "ServiceText.h"

namespace kelvara {

class ZeroconfClient;

// Announces this copy as a `_kelvara._tcp` service on the listening port while Publish() is in
// force: the player's name as the service name (Avahi's next alternative on a clash) and the
// TXT strings of ServiceText. It is withdrawn by Withdraw() and when the announcer goes, and
// made again whenever the daemon comes back.
class PlayerAnnouncer : public QObject {
    Q_OBJECT

  public:
    explicit PlayerAnnouncer(ZeroconfClient& client, QObject* parent = nullptr);
    ~PlayerAnnouncer() override;

    void Publish(const std::string& playerName, quint16 port);
    void Withdraw();
    void SetBusy(bool busy);

    bool Published() const { return wanted_; }
    // The service name in use (after any clash), UTF-8.
    const std::string& ServiceName() const { return serviceName_; }

  signals:
    // The daemon holds the service under `serviceName`.
    void established(const QString& serviceName);

  private:
    static void OnGroupState(AvahiEntryGroup* group, AvahiEntryGroupState state, void* self);
    void Sync();
    void AddService();
    void Rename();
    void FreeGroup();

    ZeroconfClient& client_;
    AvahiEntryGroup* group_ = nullptr;
    bool wanted_ = false;
    quint16 port_ = 0;
    ServiceText text_;
    std::string serviceName_;
};

}  // namespace kelvara

#pragma once

#include <avahi-client/lookup.h>

#include <QMap>
#include <QObject>
#include <QString>

namespace kelvara {

class PlayerListModel;
class ZeroconfClient;

// Browses for `_kelvara._tcp` services over IPv4 and keeps `list` up to date: each service
// found is resolved and kept resolving as long as it is there, so that a changed TXT record
// updates its row and a service that could not be resolved at first (its host did not answer
// in time) is listed once it can be. A service is removed when it goes. Services of this
// copy's own announcer, made on the same client, are left out. The list is emptied when the
// daemon goes away. Resolving failures are logged under "kelvara.discovery" (info).
class PlayerBrowser : public QObject {
    Q_OBJECT

  public:
    PlayerBrowser(ZeroconfClient& client, PlayerListModel& list, QObject* parent = nullptr);
    ~PlayerBrowser() override;

  private:
    static void OnBrowse(AvahiServiceBrowser* browser, AvahiIfIndex interface,
                         AvahiProtocol protocol, AvahiBrowserEvent event, const char* name,
                         const char* type, const char* domain, AvahiLookupResultFlags flags,
                         void* self);
    static void OnResolve(AvahiServiceResolver* resolver, AvahiIfIndex interface,
                          AvahiProtocol protocol, AvahiResolverEvent event, const char* name,
                          const char* type, const char* domain, const char* host,
                          const AvahiAddress* address, uint16_t port, AvahiStringList* txt,
                          AvahiLookupResultFlags flags, void* self);
    void Sync();
    void FreeAll();
    void Forget(const QString& key);

    ZeroconfClient& client_;
    PlayerListModel& list_;
    AvahiServiceBrowser* browser_ = nullptr;
    QMap<QString, AvahiServiceResolver*> resolvers_;
};

}  // namespace kelvara

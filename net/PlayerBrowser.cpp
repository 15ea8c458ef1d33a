#include "PlayerBrowser.h"

#include <avahi-common/address.h>
#include <avahi-common/error.h>
#include <avahi-common/strlst.h>

#include <QLoggingCategory>
#include <string>
#include <vector>

#include "PlayerListModel.h"
#include "ServiceText.h"
#include "ZeroconfClient.h"

namespace kelvara {

namespace {

Q_LOGGING_CATEGORY(discoveryLog, "kelvara.discovery", QtWarningMsg)

QString KeyOf(AvahiIfIndex interface, const char* name) {
    return QString::number(interface) + QLatin1Char('/') + QString::fromUtf8(name);
}

std::vector<std::string> StringsOf(AvahiStringList* txt) {
    std::vector<std::string> strings;
    for (AvahiStringList* s = txt; s != nullptr; s = avahi_string_list_get_next(s))
        strings.emplace_back(reinterpret_cast<const char*>(avahi_string_list_get_text(s)),
                             avahi_string_list_get_size(s));
    return strings;
}

}  // namespace

PlayerBrowser::PlayerBrowser(ZeroconfClient& client, PlayerListModel& list, QObject* parent)
    : QObject(parent), client_(client), list_(list) {
    connect(&client_, &ZeroconfClient::stateChanged, this, &PlayerBrowser::Sync);
    Sync();
}

PlayerBrowser::~PlayerBrowser() {
    FreeAll();
}

void PlayerBrowser::Sync() {
    if (!client_.Running()) {
        FreeAll();
        list_.Clear();
        return;
    }
    if (browser_ != nullptr) return;
    browser_ = avahi_service_browser_new(client_.Client(), AVAHI_IF_UNSPEC, AVAHI_PROTO_INET,
                                         ServiceText::kServiceType, nullptr, AvahiLookupFlags(0),
                                         &PlayerBrowser::OnBrowse, this);
}

void PlayerBrowser::FreeAll() {
    if (client_.Client() != nullptr) {
        for (AvahiServiceResolver* r : std::as_const(resolvers_))
            if (r != nullptr) avahi_service_resolver_free(r);
        if (browser_ != nullptr) avahi_service_browser_free(browser_);
    }
    resolvers_.clear();
    browser_ = nullptr;
}

void PlayerBrowser::Forget(const QString& key) {
    auto it = resolvers_.find(key);
    if (it != resolvers_.end()) {
        if (it.value() != nullptr) avahi_service_resolver_free(it.value());
        resolvers_.erase(it);
    }
    list_.Remove(key);
}

void PlayerBrowser::OnBrowse(AvahiServiceBrowser* /*browser*/, AvahiIfIndex interface,
                             AvahiProtocol protocol, AvahiBrowserEvent event, const char* name,
                             const char* type, const char* domain, AvahiLookupResultFlags flags,
                             void* self) {
    auto* me = static_cast<PlayerBrowser*>(self);
    switch (event) {
        case AVAHI_BROWSER_NEW: {
            if ((flags & AVAHI_LOOKUP_RESULT_OUR_OWN) != 0) return;
            const QString key = KeyOf(interface, name);
            if (me->resolvers_.contains(key)) return;
            // Inserted first: the resolver may call back before avahi_service_resolver_new
            // returns.
            me->resolvers_.insert(key, nullptr);
            AvahiServiceResolver* r = avahi_service_resolver_new(
                me->client_.Client(), interface, protocol, name, type, domain, AVAHI_PROTO_INET,
                AvahiLookupFlags(0), &PlayerBrowser::OnResolve, me);
            if (r == nullptr)
                me->resolvers_.remove(key);
            else if (me->resolvers_.contains(key))
                me->resolvers_[key] = r;
            else
                avahi_service_resolver_free(r);
            break;
        }
        case AVAHI_BROWSER_REMOVE:
            me->Forget(KeyOf(interface, name));
            break;
        default:
            break;
    }
}

void PlayerBrowser::OnResolve(AvahiServiceResolver* resolver, AvahiIfIndex interface,
                              AvahiProtocol /*protocol*/, AvahiResolverEvent event,
                              const char* name, const char* /*type*/, const char* /*domain*/,
                              const char* /*host*/, const AvahiAddress* address, uint16_t port,
                              AvahiStringList* txt, AvahiLookupResultFlags flags, void* self) {
    auto* me = static_cast<PlayerBrowser*>(self);
    const QString key = KeyOf(interface, name);
    if (event != AVAHI_RESOLVER_FOUND) {
        // Not resolved in time (the host does not answer, its address is not known yet): the
        // resolver keeps looking and reports the player once its records are complete.
        qCInfo(discoveryLog, "cannot resolve %s: %s", name,
               avahi_strerror(avahi_client_errno(me->client_.Client())));
        me->list_.Remove(key);
        return;
    }
    if (address == nullptr || address->proto != AVAHI_PROTO_INET ||
        (flags & AVAHI_LOOKUP_RESULT_OUR_OWN) != 0) {
        // Not ours to list: the resolver is done.
        auto it = me->resolvers_.find(key);
        if (it != me->resolvers_.end() && it.value() == resolver) {
            me->resolvers_.erase(it);
            avahi_service_resolver_free(resolver);
        } else if (it != me->resolvers_.end()) {
            me->resolvers_.erase(it);  // still inside avahi_service_resolver_new
        }
        me->list_.Remove(key);
        return;
    }
    char text[AVAHI_ADDRESS_STR_MAX];
    avahi_address_snprint(text, sizeof text, address);
    const ServiceText parsed = ServiceText::Parse(StringsOf(txt));
    FoundPlayer player;
    player.key = key;
    player.name = QString::fromStdString(parsed.name.empty() ? std::string(name) : parsed.name);
    player.address = QString::fromLatin1(text);
    player.port = port;
    player.busy = parsed.busy;
    me->list_.Upsert(player);
}

}  // namespace kelvara

#include "PlayerAnnouncer.h"

#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>

#include <QDebug>

#include "WireProtocol.h"
#include "ZeroconfClient.h"

namespace kelvara {

namespace {

AvahiStringList* ToStringList(const std::vector<std::string>& strings) {
    AvahiStringList* list = nullptr;
    // avahi_string_list_add prepends: add in reverse to keep the order.
    for (auto it = strings.rbegin(); it != strings.rend(); ++it)
        list = avahi_string_list_add(list, it->c_str());
    return list;
}

}  // namespace

PlayerAnnouncer::PlayerAnnouncer(ZeroconfClient& client, QObject* parent)
    : QObject(parent), client_(client) {
    text_.version = std::to_string(WireProtocol::kVersionMajor) + "." +
                    std::to_string(WireProtocol::kVersionMinor);
    connect(&client_, &ZeroconfClient::stateChanged, this, &PlayerAnnouncer::Sync);
}

PlayerAnnouncer::~PlayerAnnouncer() {
    FreeGroup();
}

void PlayerAnnouncer::Publish(const std::string& playerName, quint16 port) {
    FreeGroup();
    text_.name = playerName;
    serviceName_ = ServiceText::ServiceName(playerName, "Kelvara");
    port_ = port;
    wanted_ = true;
    Sync();
}

void PlayerAnnouncer::Withdraw() {
    wanted_ = false;
    FreeGroup();
}

void PlayerAnnouncer::SetBusy(bool busy) {
    if (text_.busy == busy) return;
    text_.busy = busy;
    if (group_ == nullptr || avahi_entry_group_is_empty(group_)) return;
    AvahiStringList* txt = ToStringList(text_.Strings());
    avahi_entry_group_update_service_txt_strlst(group_, AVAHI_IF_UNSPEC, AVAHI_PROTO_INET,
                                                AvahiPublishFlags(0), serviceName_.c_str(),
                                                ServiceText::kServiceType, nullptr, txt);
    avahi_string_list_free(txt);
}

void PlayerAnnouncer::Sync() {
    if (!client_.Running()) {
        // The daemon's objects went with it; nothing to withdraw there.
        FreeGroup();
        return;
    }
    if (!wanted_ || group_ != nullptr) return;
    group_ = avahi_entry_group_new(client_.Client(), &PlayerAnnouncer::OnGroupState, this);
    if (group_ == nullptr) return;
    AddService();
}

void PlayerAnnouncer::AddService() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        AvahiStringList* txt = ToStringList(text_.Strings());
        const int result = avahi_entry_group_add_service_strlst(
            group_, AVAHI_IF_UNSPEC, AVAHI_PROTO_INET, AvahiPublishFlags(0), serviceName_.c_str(),
            ServiceText::kServiceType, nullptr, nullptr, port_, txt);
        avahi_string_list_free(txt);
        if (result == AVAHI_ERR_COLLISION) {
            // Another service of this host already has the name.
            Rename();
            continue;
        }
        if (result < 0) {
            qWarning("kelvara: cannot announce the player: %s", avahi_strerror(result));
            return;
        }
        avahi_entry_group_commit(group_);
        return;
    }
}

void PlayerAnnouncer::Rename() {
    char* next = avahi_alternative_service_name(serviceName_.c_str());
    serviceName_ = next;
    avahi_free(next);
}

void PlayerAnnouncer::OnGroupState(AvahiEntryGroup* group, AvahiEntryGroupState state, void* self) {
    auto* me = static_cast<PlayerAnnouncer*>(self);
    // Called from inside avahi_entry_group_new before group_ is set.
    if (me->group_ == nullptr) me->group_ = group;
    switch (state) {
        case AVAHI_ENTRY_GROUP_ESTABLISHED:
            emit me->established(QString::fromStdString(me->serviceName_));
            break;
        case AVAHI_ENTRY_GROUP_COLLISION:
            // Another host on the link has the name: the next alternative, at once.
            me->Rename();
            avahi_entry_group_reset(group);
            me->AddService();
            break;
        case AVAHI_ENTRY_GROUP_FAILURE:
            qWarning("kelvara: the player's announcement failed");
            break;
        default:
            break;
    }
}

void PlayerAnnouncer::FreeGroup() {
    if (group_ == nullptr) return;
    AvahiEntryGroup* group = group_;
    group_ = nullptr;
    // Freeing the group withdraws its service from the daemon.
    if (client_.Client() != nullptr) avahi_entry_group_free(group);
}

}  // namespace kelvara

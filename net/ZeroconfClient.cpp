#include "ZeroconfClient.h"

namespace kelvara {

ZeroconfClient::ZeroconfClient(QObject* parent) : QObject(parent) {
    retry_.setSingleShot(true);
    retry_.setInterval(3000);
    connect(&retry_, &QTimer::timeout, this, &ZeroconfClient::Start);
}

ZeroconfClient::~ZeroconfClient() {
    if (client_ != nullptr) avahi_client_free(client_);
}

void ZeroconfClient::Start() {
    if (client_ != nullptr) return;
    int error = 0;
    AvahiClient* made = avahi_client_new(poll_.Api(), AVAHI_CLIENT_NO_FAIL,
                                         &ZeroconfClient::OnClientState, this, &error);
    if (made == nullptr) {
        client_ = nullptr;
        SetState(State::Unreachable);
        retry_.start();
        return;
    }
    client_ = made;
    TakeState(avahi_client_get_state(made));
}

void ZeroconfClient::OnClientState(AvahiClient* client, AvahiClientState state, void* self) {
    auto* me = static_cast<ZeroconfClient*>(self);
    // The first call comes from inside avahi_client_new, before it has returned the client.
    if (me->client_ == nullptr) me->client_ = client;
    // Handled from the event loop: the client may not be freed inside its own callback.
    QMetaObject::invokeMethod(
        me,
        [me, client, state] {
            if (me->client_ == client) me->TakeState(state);
        },
        Qt::QueuedConnection);
}

void ZeroconfClient::TakeState(int state) {
    switch (state) {
        case AVAHI_CLIENT_S_RUNNING:
            SetState(State::Running);
            break;
        case AVAHI_CLIENT_FAILURE:
            // The bus went away (or the daemon, in some versions): begin anew.
            SetState(State::Unreachable);
            Drop();
            retry_.start();
            break;
        default:  // connecting, registering, host name collision
            SetState(State::Waiting);
            break;
    }
}

void ZeroconfClient::SetState(State state) {
    if (state == state_) return;
    state_ = state;
    emit stateChanged();
}

void ZeroconfClient::Drop() {
    if (client_ == nullptr) return;
    AvahiClient* client = client_;
    client_ = nullptr;
    avahi_client_free(client);
}

}  // namespace kelvara

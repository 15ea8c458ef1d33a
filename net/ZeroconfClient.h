#pragma once

#include <avahi-client/client.h>

#include <QObject>
#include <QTimer>

#include "AvahiQtPoll.h"

namespace kelvara {

// The program's one connection to avahi-daemon, served by the Qt event loop. It never waits
// for the daemon: without a system bus it tries again every few seconds, and with the bus but
// no daemon Avahi itself waits for the daemon to appear; a daemon that goes away is waited
// for again. Announcers and browsers make their Avahi objects while Running() and drop them
// when stateChanged() says it no longer is.
class ZeroconfClient : public QObject {
    Q_OBJECT

  public:
    enum class State {
        Unreachable,  // no system bus, or the client could not be made
        Waiting,      // the bus is there, the daemon not (yet)
        Running,
    };

    explicit ZeroconfClient(QObject* parent = nullptr);
    ~ZeroconfClient() override;

    // Makes the client; its first state follows from the event loop (Unreachable at once
    // when there is no system bus).
    void Start();
    State CurrentState() const { return state_; }
    bool Running() const { return state_ == State::Running; }
    // Valid while Running().
    AvahiClient* Client() const { return client_; }
    // Milliseconds between attempts while Unreachable.
    void SetRetryInterval(int ms) { retry_.setInterval(ms); }

  signals:
    void stateChanged();

  private:
    static void OnClientState(AvahiClient* client, AvahiClientState state, void* self);
    void TakeState(int state);
    void SetState(State state);
    void Drop();

    AvahiQtPoll poll_;
    AvahiClient* client_ = nullptr;
    State state_ = State::Unreachable;
    QTimer retry_;
};

}  // namespace kelvara

#include "AvahiQtPoll.h"

#include <avahi-common/timeval.h>

#include <QSocketNotifier>
#include <QTimer>

// Avahi declares these two types and leaves their contents to the main loop that serves it.
struct AvahiWatch {
    kelvara::AvahiQtPoll* poll;
    int fd;
    AvahiWatchCallback callback;
    void* userdata;
    QSocketNotifier* read = nullptr;
    QSocketNotifier* write = nullptr;
    AvahiWatchEvent happened = static_cast<AvahiWatchEvent>(0);
};

struct AvahiTimeout {
    kelvara::AvahiQtPoll* poll;
    AvahiTimeoutCallback callback;
    void* userdata;
    QTimer* timer = nullptr;
};

namespace kelvara {

namespace {

// A notifier or timer may be freed from inside its own signal: it is switched off at once and
// deleted once control is back in the event loop.
void Retire(QSocketNotifier* notifier) {
    if (notifier == nullptr) return;
    notifier->setEnabled(false);
    notifier->disconnect();
    notifier->deleteLater();
}

// Milliseconds from now to the absolute time `tv`, rounded up; 0 when it has passed.
int MillisecondsUntil(const struct timeval* tv) {
    const AvahiUsec left = -avahi_age(tv);
    if (left <= 0) return 0;
    const AvahiUsec ms = (left + 999) / 1000;
    return ms > 0x7fffffff ? 0x7fffffff : static_cast<int>(ms);
}

void Arm(AvahiTimeout* t, const struct timeval* tv) {
    if (tv == nullptr) {
        t->timer->stop();
        return;
    }
    t->timer->start(MillisecondsUntil(tv));
}

void Enable(AvahiWatch* w, AvahiWatchEvent events) {
    w->read->setEnabled((events & AVAHI_WATCH_IN) != 0);
    w->write->setEnabled((events & AVAHI_WATCH_OUT) != 0);
}

void Fire(AvahiWatch* w, AvahiWatchEvent event) {
    w->happened = event;
    // The callback may free the watch: nothing of it is touched afterwards.
    w->callback(w, w->fd, event, w->userdata);
}

}  // namespace

AvahiQtPoll::AvahiQtPoll() {
    api_.userdata = this;
    api_.watch_new = &AvahiQtPoll::WatchNew;
    api_.watch_update = &AvahiQtPoll::WatchUpdate;
    api_.watch_get_events = &AvahiQtPoll::WatchGetEvents;
    api_.watch_free = &AvahiQtPoll::WatchFree;
    api_.timeout_new = &AvahiQtPoll::TimeoutNew;
    api_.timeout_update = &AvahiQtPoll::TimeoutUpdate;
    api_.timeout_free = &AvahiQtPoll::TimeoutFree;
}

AvahiQtPoll::~AvahiQtPoll() = default;

AvahiWatch* AvahiQtPoll::WatchNew(const AvahiPoll* api, int fd, AvahiWatchEvent events,
                                  AvahiWatchCallback callback, void* userdata) {
    auto* poll = static_cast<AvahiQtPoll*>(api->userdata);
    auto* w = new AvahiWatch{poll, fd, callback, userdata};
    w->read = new QSocketNotifier(fd, QSocketNotifier::Read);
    w->write = new QSocketNotifier(fd, QSocketNotifier::Write);
    QObject::connect(w->read, &QSocketNotifier::activated, [w] { Fire(w, AVAHI_WATCH_IN); });
    QObject::connect(w->write, &QSocketNotifier::activated, [w] { Fire(w, AVAHI_WATCH_OUT); });
    Enable(w, events);
    ++poll->watches_;
    return w;
}

void AvahiQtPoll::WatchUpdate(AvahiWatch* watch, AvahiWatchEvent events) {
    Enable(watch, events);
}

AvahiWatchEvent AvahiQtPoll::WatchGetEvents(AvahiWatch* watch) {
    return watch->happened;
}

void AvahiQtPoll::WatchFree(AvahiWatch* watch) {
    Retire(watch->read);
    Retire(watch->write);
    --watch->poll->watches_;
    delete watch;
}

AvahiTimeout* AvahiQtPoll::TimeoutNew(const AvahiPoll* api, const struct timeval* tv,
                                      AvahiTimeoutCallback callback, void* userdata) {
    auto* poll = static_cast<AvahiQtPoll*>(api->userdata);
    auto* t = new AvahiTimeout{poll, callback, userdata};
    t->timer = new QTimer;
    t->timer->setSingleShot(true);
    t->timer->setTimerType(Qt::PreciseTimer);
    // The callback may free or re-arm the timeout.
    QObject::connect(t->timer, &QTimer::timeout, [t] { t->callback(t, t->userdata); });
    Arm(t, tv);
    ++poll->timeouts_;
    return t;
}

void AvahiQtPoll::TimeoutUpdate(AvahiTimeout* timeout, const struct timeval* tv) {
    Arm(timeout, tv);
}

void AvahiQtPoll::TimeoutFree(AvahiTimeout* timeout) {
    timeout->timer->stop();
    timeout->timer->disconnect();
    timeout->timer->deleteLater();
    --timeout->poll->timeouts_;
    delete timeout;
}

}  // namespace kelvara

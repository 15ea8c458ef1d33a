#pragma once

#include <avahi-common/watch.h>

namespace kelvara {

// Avahi's main-loop hooks served by the Qt event loop of the thread that makes it: a file
// descriptor watch is a pair of QSocketNotifiers, a timeout a single-shot QTimer. Avahi's
// callbacks run from that event loop; nothing here waits. It must outlive every Avahi object
// made on it.
class AvahiQtPoll {
  public:
    AvahiQtPoll();
    ~AvahiQtPoll();
    AvahiQtPoll(const AvahiQtPoll&) = delete;
    AvahiQtPoll& operator=(const AvahiQtPoll&) = delete;

    const AvahiPoll* Api() const { return &api_; }
    // Watches and timeouts made and not yet freed.
    int LiveWatches() const { return watches_; }
    int LiveTimeouts() const { return timeouts_; }

  private:
    static AvahiWatch* WatchNew(const AvahiPoll* api, int fd, AvahiWatchEvent events,
                                AvahiWatchCallback callback, void* userdata);
    static void WatchUpdate(AvahiWatch* watch, AvahiWatchEvent events);
    static AvahiWatchEvent WatchGetEvents(AvahiWatch* watch);
    static void WatchFree(AvahiWatch* watch);
    static AvahiTimeout* TimeoutNew(const AvahiPoll* api, const struct timeval* tv,
                                    AvahiTimeoutCallback callback, void* userdata);
    static void TimeoutUpdate(AvahiTimeout* timeout, const struct timeval* tv);
    static void TimeoutFree(AvahiTimeout* timeout);

    AvahiPoll api_{};
    int watches_ = 0;
    int timeouts_ = 0;
};

}  // namespace kelvara

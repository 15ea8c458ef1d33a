#include <avahi-common/timeval.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "AvahiQtPoll.h"
#include "PlayerAnnouncer.h"
#include "PlayerBrowser.h"
#include "PlayerListModel.h"
#include "ServiceText.h"
#include "ZeroconfClient.h"

namespace kelvara {
namespace {

struct Fired {
    int count = 0;
    AvahiWatchEvent seen = static_cast<AvahiWatchEvent>(0);
    const AvahiPoll* api = nullptr;
    bool freeInside = false;
};

timeval InMs(int ms) {
    timeval tv;
    avahi_elapse_time(&tv, static_cast<unsigned>(ms), 0);
    return tv;
}

TEST(AvahiQtPoll, TimeoutsFireThroughTheEventLoopAndCanBeMovedOrStopped) {
    AvahiQtPoll poll;
    const AvahiPoll* api = poll.Api();
    Fired first, second;
    auto onTimeout = [](AvahiTimeout* t, void* data) {
        auto* f = static_cast<Fired*>(data);
        ++f->count;
        if (f->freeInside) f->api->timeout_free(t);
    };
    first.api = second.api = api;
    first.freeInside = true;
    timeval soon = InMs(30);
    QElapsedTimer clock;
    clock.start();
    api->timeout_new(api, &soon, onTimeout, &first);
    // Disabled at once, then armed far away and stopped again: it never fires.
    AvahiTimeout* stopped = api->timeout_new(api, nullptr, onTimeout, &second);
    timeval later = InMs(60000);
    api->timeout_update(stopped, &later);
    api->timeout_update(stopped, nullptr);
    EXPECT_EQ(poll.LiveTimeouts(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(first.count, 1, 5000);
    EXPECT_GE(clock.elapsed(), 25);
    EXPECT_EQ(poll.LiveTimeouts(), 1);  // freed from inside its own callback
    // A time already past fires on the next turn of the loop.
    timeval past = InMs(0);
    past.tv_sec -= 5;
    api->timeout_update(stopped, &past);
    QTRY_COMPARE_WITH_TIMEOUT(second.count, 1, 5000);
    api->timeout_free(stopped);
    EXPECT_EQ(poll.LiveTimeouts(), 0);
}

TEST(AvahiQtPoll, WatchesReportReadinessAndMayBeFreedInTheirCallback) {
    AvahiQtPoll poll;
    const AvahiPoll* api = poll.Api();
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    Fired reader, writer;
    reader.api = writer.api = api;
    reader.freeInside = true;
    auto onWatch = [](AvahiWatch* w, int fd, AvahiWatchEvent event, void* data) {
        auto* f = static_cast<Fired*>(data);
        ++f->count;
        f->seen = event;
        EXPECT_EQ(f->api->watch_get_events(w), event);
        if (event == AVAHI_WATCH_IN) {
            char c;
            EXPECT_EQ(read(fd, &c, 1), 1);
        }
        if (f->freeInside)
            f->api->watch_free(w);
        else
            f->api->watch_update(w, static_cast<AvahiWatchEvent>(0));
    };
    api->watch_new(api, fds[0], AVAHI_WATCH_IN, onWatch, &reader);
    AvahiWatch* w = api->watch_new(api, fds[1], AVAHI_WATCH_OUT, onWatch, &writer);
    EXPECT_EQ(poll.LiveWatches(), 2);
    // An empty pipe can be written at once but not read.
    QTRY_COMPARE_WITH_TIMEOUT(writer.count, 1, 5000);
    EXPECT_EQ(writer.seen, AVAHI_WATCH_OUT);
    EXPECT_EQ(reader.count, 0);
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    QTRY_COMPARE_WITH_TIMEOUT(reader.count, 1, 5000);
    EXPECT_EQ(reader.seen, AVAHI_WATCH_IN);
    EXPECT_EQ(poll.LiveWatches(), 1);
    // The writer switched itself off in its callback: no further call.
    ASSERT_EQ(write(fds[1], "y", 1), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(writer.count, 1);
    api->watch_free(w);
    EXPECT_EQ(poll.LiveWatches(), 0);
    close(fds[0]);
    close(fds[1]);
}

TEST(ServiceText, StringsReadBackAndLongNamesAreCutBetweenCharacters) {
    ServiceText text;
    text.name = "张三";
    text.version = "1.0";
    text.busy = true;
    const std::vector<std::string> strings = text.Strings();
    EXPECT_EQ(strings, (std::vector<std::string>{"name=张三", "version=1.0", "busy=1"}));
    const ServiceText back = ServiceText::Parse(strings);
    EXPECT_EQ(back.name, "张三");
    EXPECT_EQ(back.version, "1.0");
    EXPECT_TRUE(back.busy);

    std::string longName;
    for (int i = 0; i < 100; ++i) longName += "棋";  // 3 bytes each
    text.name = longName;
    const std::string nameString = text.Strings()[0];
    EXPECT_EQ(nameString.size(), 5u + 249u);  // "name=" and 83 whole characters
    EXPECT_EQ(ServiceText::ServiceName(longName, "x").size(), 63u);
    EXPECT_EQ(ServiceText::ServiceName("", "Kelvara"), "Kelvara");
    EXPECT_EQ(ServiceText::CutUtf8("a张", 3), "a");
}

TEST(ServiceText, ParseTakesFirstKeyOfAnyCaseAndSkipsTheRest) {
    struct Case {
        std::vector<std::string> strings;
        std::string name;
        std::string version;
        bool busy;
    };
    const Case cases[] = {
        {{"NAME=甲", "name=乙", "Busy=1"}, "甲", "", true},
        {{"busy=yes", "version", "=x", "name="}, "", "", false},
        {{"busy=0", "busy=1", "version=2.5", "other=1"}, "", "2.5", false},
        {{}, "", "", false},
    };
    for (const Case& c : cases) {
        const ServiceText t = ServiceText::Parse(c.strings);
        EXPECT_EQ(t.name, c.name);
        EXPECT_EQ(t.version, c.version);
        EXPECT_EQ(t.busy, c.busy);
    }
}

TEST(PlayerListModel, AddsUpdatesOnlyOnChangeAndRemoves) {
    PlayerListModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    FoundPlayer a{"2/甲", "甲", "192.0.2.1", 2003, false};
    FoundPlayer b{"2/乙", "乙", "192.0.2.2", 2004, true};
    model.Upsert(a);
    model.Upsert(b);
    model.Upsert(b);  // unchanged: no signal
    EXPECT_EQ(inserted.count(), 2);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(model.data(model.index(0)).toString(), QStringLiteral("甲  192.0.2.1"));
    EXPECT_EQ(model.data(model.index(1)).toString(), QStringLiteral("乙  192.0.2.2  (对弈中)"));
    EXPECT_EQ(model.data(model.index(1), PlayerListModel::PortRole).toInt(), 2004);
    a.busy = true;
    model.Upsert(a);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(model.At(0).busy);
    EXPECT_EQ(model.rowCount(), 2);
    model.Remove("2/甲");
    model.Remove("2/none");
    EXPECT_EQ(removed.count(), 1);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.At(0).name, QStringLiteral("乙"));
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
}

// Without a system bus the client says so at once; the announcer and the browser stay quiet
// and the list empty.
TEST(ZeroconfClient, WithoutTheBusEverythingStaysQuietAndIsTriedAgain) {
    const QByteArray saved = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/kelvara-test-bus");
    {
        ZeroconfClient client;
        PlayerListModel list;
        PlayerBrowser browser(client, list);
        PlayerAnnouncer announcer(client);
        QSignalSpy established(&announcer, &PlayerAnnouncer::established);
        announcer.Publish("甲", 2003);
        announcer.SetBusy(true);
        client.Start();
        EXPECT_EQ(client.CurrentState(), ZeroconfClient::State::Unreachable);
        EXPECT_EQ(client.Client(), nullptr);
        EXPECT_EQ(list.rowCount(), 0);
        EXPECT_EQ(established.count(), 0);
        EXPECT_TRUE(announcer.Published());
        EXPECT_EQ(announcer.ServiceName(), "甲");
    }
    if (saved.isNull())
        qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    else
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", saved);
}

}  // namespace
}  // namespace kelvara

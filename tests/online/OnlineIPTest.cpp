#include "online/TOnlineIP.h"
#include "support/Wait.h"

#include <arpa/inet.h>

#include <gtest/gtest.h>

using namespace korvalo;

namespace {

// A watcher polling every few milliseconds an address the test sets.
struct ScriptedWatcher {
    QString address;
    int polls = 0;
    int changes = 0;
    std::vector<std::pair<bool, QString>> seenAtChange;
    TOnlineIP watcher{nullptr, [this] {
                          ++polls;
                          return address;
                      }};

    ScriptedWatcher() {
        QObject::connect(&watcher, &TOnlineIP::changed, [this] {
            ++changes;
            seenAtChange.emplace_back(watcher.Online(), watcher.IP());
        });
    }
    // Waits until the watcher has polled at least n more times.
    bool waitPolls(int n) {
        const int target = polls + n;
        return test::waitUntil([&] { return polls >= target; });
    }
};

} // namespace

TEST(OnlineIPTest, startsOfflineAndPollsAfterOneIntervalByDefault) {
    int polls = 0;
    TOnlineIP w(nullptr, [&] {
        ++polls;
        return QStringLiteral("192.0.2.1");
    });
    EXPECT_TRUE(w.Enabled());
    EXPECT_EQ(w.DispatchInterval(), 1000u);
    EXPECT_FALSE(w.Online());
    EXPECT_TRUE(w.IP().isEmpty());
    EXPECT_EQ(polls, 0) << "the first poll comes one interval after start";
}

TEST(OnlineIPTest, eachTransitionFiresOnceAndAnAddressChangeWhileOnlineFiresNothing) {
    ScriptedWatcher s;
    s.watcher.setDispatchInterval(5);

    s.address = QStringLiteral("192.0.2.7");
    ASSERT_TRUE(test::waitUntil([&] { return s.watcher.Online(); }));
    EXPECT_EQ(s.watcher.IP(), QStringLiteral("192.0.2.7"));
    ASSERT_EQ(s.changes, 1);
    // The handler already sees the new state.
    EXPECT_EQ(s.seenAtChange[0], std::make_pair(true, QStringLiteral("192.0.2.7")));

    s.address = QStringLiteral("198.51.100.3");
    ASSERT_TRUE(test::waitUntil([&] { return s.watcher.IP() == s.address; }));
    ASSERT_TRUE(s.waitPolls(3));
    EXPECT_EQ(s.changes, 1) << "a new address while online is no transition";

    s.address = QStringLiteral("127.0.0.1");
    ASSERT_TRUE(test::waitUntil([&] { return !s.watcher.Online(); }));
    EXPECT_EQ(s.watcher.IP(), QStringLiteral("127.0.0.1"));
    s.address.clear(); // a failed lookup: still offline, nothing fired
    ASSERT_TRUE(test::waitUntil([&] { return s.watcher.IP().isEmpty(); }));
    ASSERT_TRUE(s.waitPolls(3));
    EXPECT_EQ(s.changes, 2);

    s.address = QStringLiteral("10.1.2.3");
    ASSERT_TRUE(test::waitUntil([&] { return s.watcher.Online(); }));
    ASSERT_TRUE(s.waitPolls(2));
    EXPECT_EQ(s.changes, 3);
    EXPECT_EQ(s.seenAtChange[1], std::make_pair(false, QStringLiteral("127.0.0.1")));
    EXPECT_EQ(s.seenAtChange[2], std::make_pair(true, QStringLiteral("10.1.2.3")));
}

TEST(OnlineIPTest, disabledOrZeroIntervalStopsPollingAndKeepsTheLastState) {
    ScriptedWatcher s;
    ScriptedWatcher clock; // keeps polling, so the test knows time has passed
    clock.watcher.setDispatchInterval(5);
    s.watcher.setDispatchInterval(5);
    s.address = QStringLiteral("192.0.2.9");
    ASSERT_TRUE(test::waitUntil([&] { return s.watcher.Online(); }));

    s.watcher.setEnabled(false);
    int before = s.polls;
    s.address.clear();
    ASSERT_TRUE(clock.waitPolls(10));
    EXPECT_EQ(s.polls, before);
    EXPECT_TRUE(s.watcher.Online());

    s.watcher.setEnabled(true);
    ASSERT_TRUE(test::waitUntil([&] { return !s.watcher.Online(); }));

    s.watcher.setDispatchInterval(0);
    before = s.polls;
    s.address = QStringLiteral("192.0.2.10");
    ASSERT_TRUE(clock.waitPolls(10));
    EXPECT_EQ(s.polls, before);
    EXPECT_FALSE(s.watcher.Online());
    EXPECT_EQ(s.changes, 2);
}

TEST(OnlineIPTest, onlyAMissingAddressOrExactlyTheLoopBackAddressMeansOffline) {
    EXPECT_FALSE(TOnlineIP::countsAsOnline(QString()));
    EXPECT_FALSE(TOnlineIP::countsAsOnline(QStringLiteral("127.0.0.1")));
    EXPECT_TRUE(TOnlineIP::countsAsOnline(QStringLiteral("192.168.1.20")));
    EXPECT_TRUE(TOnlineIP::countsAsOnline(QStringLiteral("127.0.1.1")));

    // The real lookup gives a dotted-decimal IPv4 address or nothing.
    const QString own = TOnlineIP::hostAddress();
    if (!own.isEmpty()) {
        in_addr parsed{};
        EXPECT_EQ(::inet_pton(AF_INET, own.toLatin1().constData(), &parsed), 1)
            << own.toStdString();
    }
}

#include "online/ui/BannerStrip.h"
#include "data/SettingsStore.h"
#include "online/THTTPClient.h"
#include "online/TOnlineIP.h"
#include "online/ui/BannerPicture.h"
#include "platform/LongTimerInterval.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedHttpServer.h"
#include "support/Wait.h"

#include <QDir>
#include <QLabel>
#include <QMovie>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

#include <atomic>
#include <filesystem>

using namespace korvalo;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A 1 by 1 GIF of the given number of frames, a tenth of a second each,
// looping for ever when there are several.
std::string gif(int frames) {
    std::string g("GIF89a\x01\x00\x01\x00\x80\x00\x00"
                  "\xff\x00\x00\x00\x00\xff",
                  19);
    if (frames > 1)
        g += std::string("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    for (int i = 0; i < frames; ++i) {
        g += std::string("\x21\xf9\x04\x00\x0a\x00\x00\x00", 8);
        g += std::string("\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10);
        g += std::string(i % 2 == 0 ? "\x02\x02\x44\x01\x00" : "\x02\x02\x4c\x01\x00", 5);
    }
    return g + '\x3b';
}

test::ScriptedReply picture(int frames = 1) {
    test::ScriptedReply r = test::ScriptedReply::text(gif(frames));
    r.headers = {{"Content-Type", "image/gif"}};
    return r;
}

const char* const kClosedServer = "http://127.0.0.1:1";

// A started main window whose watcher reports the address the test sets,
// its maker's server pointed at `base`, its browser a script that writes
// each argument it gets on a line of its own.
class BannerStripTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        folder = QString::fromStdString(dir.file("cache/banners"));
        log = dir.file("browser.log");
        browser = dir.file("browser");
        test::writeFile(browser, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + log +
                                     "'; done\n");
        ::chmod(browser.c_str(), 0755);
        useServer(server.url(""));
    }
    void TearDown() override {
        form.reset();
        setLongTimerIntervalSource({});
        qputenv("KORVALO_SERVER", kClosedServer);
    }

    void useServer(const std::string& base) { qputenv("KORVALO_SERVER", QByteArray(base.c_str())); }

    // Starts a window that goes online a few milliseconds after it shows
    // (offline first when `online` is false).
    void startWindow(bool online = true) {
        address = online ? QStringLiteral("192.0.2.7") : QStringLiteral("127.0.0.1");
        form = start();
        ASSERT_TRUE(started);
        form->state().browserPath = QString::fromStdString(browser);
        form->OnlineIP1->setAddressSource([this] { return address; });
        form->OnlineIP1->setDispatchInterval(5);
        form->show();
        strip = form->Banners;
    }

    BannerPicture* banner(int slot) const {
        return form->findChild<BannerPicture*>(QStringLiteral("Ban") + QString::number(slot + 1));
    }
    bool shown(int slot) const { return !strip->clickAddress(slot).isEmpty(); }
    QString stored(const settings::Setting& s) {
        RegistryFile file = registry();
        return SettingsStore(file).ReadSetting(s);
    }
    QStringList storedIds() {
        return {stored(settings::I1), stored(settings::I2), stored(settings::I3),
                stored(settings::I4), stored(settings::I5)};
    }
    size_t requestsFor(const std::string& path) const {
        size_t n = 0;
        for (const test::RecordedRequest& r : server.requests())
            n += r.target == path;
        return n;
    }
    void putPicture(const std::string& id, const std::string& content) {
        QDir().mkpath(folder);
        test::writeFile(folder.toStdString() + "/" + id + ".gif", content);
    }
    QStringList folderFiles() const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    test::ScriptedHttpServer server;
    QString folder;
    std::string log;
    std::string browser;
    QString address;
    std::unique_ptr<TForm1> form;
    BannerStrip* strip = nullptr;
};

} // namespace

TEST_F(BannerStripTest, aListStoresItsIdentifiersFetchesOnlyMissingPicturesAndShowsThem) {
    server.route("/2/ad/", test::ScriptedReply::text("12|15|20|"));
    server.route("/2/ad/12.gif", picture(2));
    server.route("/2/ad/20.gif", picture());
    server.route("/2/usercount/", test::ScriptedReply::text("Ok"));
    server.route("/2/usercount/users.txt", test::ScriptedReply::text("1234"));
    putPicture("15", gif(1));
    startWindow();

    // In place before anything arrives.
    const int lefts[] = {501, 395, 289, 184, 78};
    for (int k = 0; k < kBannerSlots; ++k)
        EXPECT_EQ(banner(k)->geometry(), QRect(lefts[k], 119, 100, 50)) << k;
    auto* count = form->findChild<QLabel*>(QStringLiteral("Count_Users"));
    EXPECT_EQ(count->geometry().topLeft(), QPoint(264, 525));
    EXPECT_EQ(count->width(), 161);
    EXPECT_TRUE(count->text().isEmpty());
    EXPECT_EQ(strip->Baner_Timer->interval(), 18'000'000);
    EXPECT_TRUE(strip->Baner_Timer->isActive());

    ASSERT_TRUE(test::waitUntil(
        [&] { return shown(0) && shown(1) && shown(2) && !count->text().isEmpty(); }));
    EXPECT_EQ(storedIds(), (QStringList{QStringLiteral("12"), QStringLiteral("15"),
                                        QStringLiteral("20"), QString(), QString()}));
    EXPECT_EQ(requestsFor("/2/ad/12.gif"), 1u);
    EXPECT_EQ(requestsFor("/2/ad/15.gif"), 0u) << "a picture on disk is not fetched again";
    EXPECT_EQ(requestsFor("/2/ad/20.gif"), 1u);
    const std::string base = server.url("");
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(banner(k)->toolTip(), u("انقر هنا"));
        EXPECT_EQ(banner(k)->cursor().shape(), Qt::PointingHandCursor);
        ASSERT_NE(banner(k)->picture(), nullptr);
        EXPECT_EQ(strip->clickAddress(k).toStdString(),
                  base + "/2/ad/?id=" + strip->identifier(k).toStdString());
    }
    // The animated one plays.
    EXPECT_EQ(banner(0)->picture()->frameCount(), 2);
    EXPECT_TRUE(test::waitUntil([&] { return banner(0)->picture()->currentFrameNumber() == 1; }));
    for (int k = 3; k < kBannerSlots; ++k) {
        EXPECT_EQ(banner(k)->picture(), nullptr);
        EXPECT_TRUE(banner(k)->toolTip().isEmpty());
        EXPECT_EQ(banner(k)->cursor().shape(), Qt::ArrowCursor);
    }
    QTest::mouseClick(banner(3), Qt::LeftButton);
    EXPECT_EQ(folderFiles(), (QStringList{QStringLiteral("12.gif"), QStringLiteral("15.gif"),
                                          QStringLiteral("20.gif")}));

    // A first run counts itself; the count bypasses caches.
    EXPECT_EQ(count->text(), u("عدد مستخدمى البرنامج: 1234"));
    EXPECT_EQ(requestsFor("/2/usercount/"), 1u);
    EXPECT_EQ(server.lastRequest("/2/usercount/users.txt").header("Pragma"), "no-cache");
    EXPECT_FALSE(test::fileExists(log)) << "a banner never shown opens nothing";
}

TEST_F(BannerStripTest, badIdentifiersKeepTheirSlotEmptyAndNoOrAShortListChangesNoBanner) {
    std::atomic<int> lists{0};
    server.route("/2/ad/", [&](const test::RecordedRequest&) {
        const char* replies[] = {"../up|ok||a b|x|y|", "No", "ok|"};
        return test::ScriptedReply::text(replies[std::min(lists++, 2)]);
    });
    server.route("/2/ad/ok.gif", picture());
    server.route("/2/ad/x.gif", picture());
    startWindow();
    ASSERT_TRUE(test::waitUntil([&] { return shown(1) && shown(4); }));
    EXPECT_EQ(storedIds(), (QStringList{QString(), QStringLiteral("ok"), QString(), QString(),
                                        QStringLiteral("x")}));
    for (const test::RecordedRequest& r : server.requests())
        if (r.path.rfind("/2/ad/", 0) == 0 && r.path != "/2/ad/") {
            EXPECT_TRUE(r.path == "/2/ad/ok.gif" || r.path == "/2/ad/x.gif") << r.target;
        }

    // "No" changes nothing at all.
    strip->StartBannerList();
    ASSERT_TRUE(test::waitUntil([&] { return lists == 2 && !strip->HTTP1->Busy(); }));
    QTest::qWait(50);
    EXPECT_EQ(stored(settings::I5), QStringLiteral("x"));
    EXPECT_TRUE(shown(4));

    // A shorter list empties the values of the slots it no longer names, but
    // what those slots show stays.
    strip->StartBannerList();
    ASSERT_TRUE(test::waitUntil([&] { return stored(settings::I1) == QStringLiteral("ok"); }));
    EXPECT_TRUE(stored(settings::I2).isEmpty());
    EXPECT_TRUE(stored(settings::I5).isEmpty());
    EXPECT_NE(banner(4)->picture(), nullptr);
    EXPECT_TRUE(shown(4));
}

TEST_F(BannerStripTest, aCutOrUndecodableDownloadIsNotKeptAndIsFetchedAgain) {
    std::atomic<bool> good{false};
    server.route("/2/ad/", test::ScriptedReply::text("12|15|20|"));
    server.route("/2/ad/12.gif", [&](const test::RecordedRequest&) {
        test::ScriptedReply r = picture();
        if (!good)
            r.dropAfter = static_cast<int>(r.body.size() / 2);
        return r;
    });
    server.route("/2/ad/15.gif", [&](const test::RecordedRequest&) {
        return good ? picture() : test::ScriptedReply::text("<html>Not found</html>", 404);
    });
    server.route("/2/ad/20.gif", picture());
    server.route("/2/usercount/users.txt", test::ScriptedReply::text("<HTML>busy</HTML>"));
    putPicture("20", "GIF89a, but cut off");
    startWindow();

    ASSERT_TRUE(test::waitUntil([&] {
        return shown(2) && requestsFor("/2/ad/12.gif") == 1 && requestsFor("/2/ad/15.gif") == 1 &&
               !strip->HTTPBan1->Busy() && !strip->HTTPBan2->Busy() && !strip->HTTP2->Busy();
    }));
    EXPECT_EQ(requestsFor("/2/ad/20.gif"), 1u) << "the file that was no picture is fetched again";
    EXPECT_FALSE(shown(0));
    EXPECT_FALSE(shown(1));
    EXPECT_EQ(folderFiles(), QStringList{QStringLiteral("20.gif")});
    EXPECT_TRUE(form->findChild<QLabel*>(QStringLiteral("Count_Users"))->text().isEmpty());

    good = true;
    strip->StartBannerList();
    EXPECT_TRUE(test::waitUntil([&] { return shown(0) && shown(1); }));
    EXPECT_EQ(folderFiles(), (QStringList{QStringLiteral("12.gif"), QStringLiteral("15.gif"),
                                          QStringLiteral("20.gif")}));
}

TEST_F(BannerStripTest, theListComesOnEachTimerTickAndEachChangeToOnlineButNeverOffline) {
    setLongTimerIntervalSource([](int64_t ms) { return ms / 180'000; }); // five hours: 100 ms
    server.route("/2/ad/", test::ScriptedReply::text("No"));
    startWindow(false);
    QTest::qWait(350);
    EXPECT_EQ(server.requestCount(), 0u);

    address = QStringLiteral("192.0.2.7");
    ASSERT_TRUE(test::waitUntil([&] { return requestsFor("/2/ad/") >= 3; }));
    EXPECT_EQ(requestsFor("/2/usercount/users.txt"), 1u) << "the count comes only with a change";

    address = QStringLiteral("127.0.0.1");
    ASSERT_TRUE(test::waitUntil([&] { return !form->OnlineIP1->Online(); }));
    QTest::qWait(50);
    const size_t offline = server.requestCount();
    QTest::qWait(350);
    EXPECT_EQ(server.requestCount(), offline);

    // Each change to online asks again, and the first run counts itself again.
    address = QStringLiteral("192.0.2.8");
    EXPECT_TRUE(test::waitUntil([&] { return requestsFor("/2/usercount/users.txt") == 2; }));
    EXPECT_EQ(requestsFor("/2/usercount/"), 2u);
}

// The real server on a free port: five banners and the count come, a click
// opens the banner's page, and once the server is gone the banners come back
// from their files.
TEST_F(BannerStripTest, withTheMakersServerTheBannersShowOpenAndOutliveIt) {
    test::TempDir data;
    std::string list;
    for (int k = 1; k <= kBannerSlots; ++k) {
        const std::string id = "ad-" + std::to_string(k);
        list += id + "\n";
        std::filesystem::create_directories(data.file("banners"));
        test::writeFile(data.file("banners/" + id + ".gif"), gif(k == 1 ? 2 : 1));
        test::writeFile(data.file("banners/" + id + ".url"), "https://advertiser.example/" + id);
    }
    test::writeFile(data.file("banners.txt"), list);

    QProcess maker;
    maker.start(QStringLiteral(KORVALO_BIN_DIR "/korvalo-server"),
                QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                            QStringLiteral("--data"), QString::fromStdString(data.path())});
    QString port;
    ASSERT_TRUE(test::waitUntil(
        [&] {
            static const QRegularExpression listening(
                QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)\n"));
            const auto m = listening.match(QString::fromLatin1(maker.peek(4096)));
            port = m.captured(1);
            return m.hasMatch();
        },
        10000))
        << maker.readAllStandardError().toStdString();
    const std::string base = "http://127.0.0.1:" + port.toStdString();
    useServer(base);

    const auto allShown = [&] {
        for (int k = 0; k < kBannerSlots; ++k)
            if (!shown(k) || !banner(k)->picture())
                return false;
        return true;
    };
    const auto count = [&] { return form->findChild<QLabel*>(QStringLiteral("Count_Users")); };
    startWindow();
    ASSERT_TRUE(test::waitUntil(
        [&] { return allShown() && !count()->text().isEmpty() && !strip->HTTP3->Busy(); }));
    EXPECT_TRUE(
        QRegularExpression(u("^عدد مستخدمى البرنامج: [01]$")).match(count()->text()).hasMatch())
        << count()->text().toStdString();
    QTest::mouseClick(banner(2), Qt::LeftButton);
    EXPECT_TRUE(test::waitUntil([&] { return test::fileExists(log); }));
    EXPECT_TRUE(test::waitUntil([&] { return test::readFile(log) == base + "/2/ad/?id=ad-3\n"; }));

    // A later start counts nothing more.
    form.reset();
    startWindow();
    EXPECT_TRUE(test::waitUntil([&] { return count()->text() == u("عدد مستخدمى البرنامج: 1"); }));

    form.reset();
    maker.terminate();
    ASSERT_TRUE(maker.waitForFinished(10000));
    startWindow();
    EXPECT_TRUE(test::waitUntil(allShown));
    EXPECT_TRUE(count()->text().isEmpty());
    EXPECT_EQ(banner(0)->picture()->frameCount(), 2);
}

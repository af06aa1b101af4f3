#include "online/THTTPClient.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempDir.h"
#include "support/Wait.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace korvalo;
using test::ScriptedHttpServer;
using test::ScriptedReply;

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Everything a client reports, in order.
struct Events {
    std::vector<std::string> names;
    QString contentType;
    qint64 fileSize = -1;
    qint64 bytesRead = -1;
    int errorCode = 0;
    bool hadStream = false;
    QByteArray body;
    QByteArray fileAtDone; // the output file as it stood inside OnDone
    QString outputFile;
    int progress = 0;
    quint8 lastPercent = 0;

    QObject context; // the connections end with this recorder

    explicit Events(TCustomHTTPClient& c) {
        auto take = [this](QIODevice* stream) {
            hadStream = stream != nullptr;
            if (stream != nullptr && stream->seek(0))
                body = stream->readAll();
        };
        QObject::connect(
            &c, &TCustomHTTPClient::OnDone, &context,
            [this, take](TCustomHTTPClient*, const QString& type, qint64 size, QIODevice* stream) {
                names.push_back("Done");
                contentType = type;
                fileSize = size;
                take(stream);
                if (!outputFile.isEmpty())
                    fileAtDone =
                        QByteArray::fromStdString(test::readFile(outputFile.toStdString()));
            });
        QObject::connect(&c, &TCustomHTTPClient::OnAnyError, &context,
                         [this] { names.push_back("AnyError"); });
        QObject::connect(&c, &TCustomHTTPClient::OnConnLost, &context,
                         [this, take](TCustomHTTPClient*, const QString&, qint64 size, qint64 read,
                                      QIODevice* stream) {
                             names.push_back("ConnLost");
                             fileSize = size;
                             bytesRead = read;
                             take(stream);
                         });
        QObject::connect(&c, &TCustomHTTPClient::OnHostUnreachable, &context,
                         [this] { names.push_back("HostUnreachable"); });
        QObject::connect(&c, &TCustomHTTPClient::OnHTTPError, &context,
                         [this, take](TCustomHTTPClient*, int code, QIODevice* stream) {
                             names.push_back("HTTPError");
                             errorCode = code;
                             take(stream);
                         });
        QObject::connect(&c, &TCustomHTTPClient::OnAborted, &context,
                         [this] { names.push_back("Aborted"); });
    }
    void countProgress(TCustomHTTPClient& c) {
        QObject::connect(&c, &TCustomHTTPClient::OnProgress, &context,
                         [this](TCustomHTTPClient*, const QString&, qint64, qint64, int, int,
                                quint8 percent, float, QIODevice*) {
                             ++progress;
                             lastPercent = percent;
                         });
    }
    bool ended() const {
        for (const auto& n : names)
            if (n != "AnyError")
                return true;
        return false;
    }
    bool waitEnd(int ms = 10000) {
        return test::waitUntil([this] { return ended(); }, ms);
    }
};

using Names = std::vector<std::string>;

// Lets a few more events through, for checks that nothing else arrives.
void settle(int ms = 150) {
    test::waitUntil([] { return false; }, ms);
}

} // namespace

TEST(HTTPClientTest, successFollowsTheAnnouncedLengthWhateverTheStatus) {
    ScriptedHttpServer server;
    server.route("/missing", ScriptedReply::text("no such page", 404));
    THTTPClient c;
    Events e(c);
    c.setURL(qs(server.url("/missing")));
    ASSERT_TRUE(c.Read());
    ASSERT_TRUE(e.waitEnd());
    EXPECT_EQ(e.names, Names{"Done"});
    EXPECT_EQ(e.body, "no such page");
    EXPECT_EQ(e.fileSize, 12);
    EXPECT_EQ(e.contentType, u"text/plain");
    EXPECT_FALSE(c.Busy());
}

TEST(HTTPClientTest, withoutLengthStatus200IsSuccessInMemoryAndNoFileIsWritten) {
    ScriptedHttpServer server;
    ScriptedReply reply = ScriptedReply::text("streamed body");
    reply.announceLength = false;
    server.route("/stream", reply);
    ScriptedReply error = ScriptedReply::text("server trouble", 500);
    error.announceLength = false;
    server.route("/error", error);
    test::TempDir dir;
    THTTPClient c;
    c.setOutputFileName(qs(dir.file("out.bin")));
    Events e(c);
    c.setURL(qs(server.url("/stream")));
    c.Read();
    ASSERT_TRUE(e.waitEnd());
    EXPECT_EQ(e.names, Names{"Done"});
    EXPECT_TRUE(e.hadStream);
    EXPECT_EQ(e.body, "streamed body");
    EXPECT_FALSE(test::fileExists(dir.file("out.bin")));

    // Any other status without a length fails, with the body at hand.
    Events e2(c);
    c.setURL(qs(server.url("/error")));
    c.Read();
    ASSERT_TRUE(e2.waitEnd());
    EXPECT_EQ(e2.names, (Names{"AnyError", "HTTPError"}));
    EXPECT_EQ(e2.errorCode, 500);
    EXPECT_EQ(e2.body, "server trouble");
}

TEST(HTTPClientTest, aConnectionDroppedHalfwayIsLostWithBothSizes) {
    ScriptedHttpServer server;
    ScriptedReply reply = ScriptedReply::text(std::string(1000, 'x'));
    reply.dropAfter = 500;
    server.route("/half", reply);
    THTTPClient c;
    Events e(c);
    c.setURL(qs(server.url("/half")));
    c.Read();
    ASSERT_TRUE(e.waitEnd());
    settle();
    EXPECT_EQ(e.names, (Names{"AnyError", "ConnLost"}));
    EXPECT_EQ(e.fileSize, 1000);
    EXPECT_EQ(e.bytesRead, 500);
    EXPECT_EQ(e.body, QByteArray(500, 'x'));
}

TEST(HTTPClientTest, noReplyAtAllIsAnUnreachableHostAndNeverDone) {
    uint16_t closedPort;
    {
        ScriptedHttpServer gone;
        closedPort = gone.port();
    }
    THTTPClient c;
    Events e(c);
    c.setURL(QStringLiteral("http://127.0.0.1:%1/").arg(closedPort));
    c.Read();
    ASSERT_TRUE(e.waitEnd());
    settle();
    EXPECT_EQ(e.names, (Names{"AnyError", "HostUnreachable"}));
}

TEST(HTTPClientTest, readWhileBusyIsRefusedAndTheFirstTransferGoesOn) {
    ScriptedHttpServer server;
    ScriptedReply slow = ScriptedReply::text("first");
    slow.headerDelayMs = 300;
    server.route("/slow", slow);
    THTTPClient c;
    Events e(c);
    c.setURL(qs(server.url("/slow")));
    EXPECT_TRUE(c.Read());
    EXPECT_TRUE(c.Busy());
    c.setURL(qs(server.url("/other")));
    EXPECT_FALSE(c.Read());
    ASSERT_TRUE(e.waitEnd());
    EXPECT_EQ(e.names, Names{"Done"});
    EXPECT_EQ(e.body, "first");
    EXPECT_EQ(server.requestCount(), 1u);
}

TEST(HTTPClientTest, sendsTheConfiguredRequestHeaders) {
    ScriptedHttpServer server;
    THTTPClient c;
    const auto fetch = [&](const std::string& path) {
        Events e(c);
        c.setURL(qs(server.url(path)));
        c.Read();
        EXPECT_TRUE(e.waitEnd());
        return server.lastRequest(path);
    };
    const auto plain = fetch("/plain");
    EXPECT_EQ(plain.method, "GET");
    EXPECT_EQ(plain.header("Accept"), "*/*");
    EXPECT_EQ(plain.header("User-Agent"), "HTTP component (korvalo.example)");
    EXPECT_FALSE(plain.has("Pragma"));
    EXPECT_FALSE(plain.has("Range"));
    EXPECT_FALSE(plain.has("Referer"));

    c.Range().setStartRange(100);
    c.setUseCache(false);
    c.setAgent(QStringLiteral("HTTP component"));
    c.setReferer(QStringLiteral("http://127.0.0.1/from"));
    c.setAcceptTypes(QStringLiteral("image/gif"));
    c.setAddHeaders({QStringLiteral("X-One: 1"), QStringLiteral("X-Two: 2")});
    const auto custom = fetch("/custom");
    EXPECT_EQ(custom.header("RANGE"), "bytes=100-");
    EXPECT_EQ(custom.header("Pragma"), "no-cache");
    EXPECT_EQ(custom.header("User-Agent"), "HTTP component");
    EXPECT_EQ(custom.header("Referer"), "http://127.0.0.1/from");
    EXPECT_EQ(custom.header("Accept"), "image/gif");
    EXPECT_EQ(custom.header("X-One"), "1");
    EXPECT_EQ(custom.header("X-Two"), "2");

    c.Range().setEndRange(199);
    EXPECT_EQ(fetch("/both").header("Range"), "bytes=100-199");
}

TEST(HTTPClientTest, anAddressWithoutSchemeGoesOutOverHttpWithItsTextEscaped) {
    ScriptedHttpServer server;
    THTTPClient c;
    Events e(c);
    c.setURL(QStringLiteral("127.0.0.1:%1/a b?q=\u0639&x=%41").arg(server.port()));
    c.Read();
    ASSERT_TRUE(e.waitEnd());
    ASSERT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(server.requests()[0].target, "/a%20b?q=%D8%B9&x=%41");
}

TEST(HTTPClientTest, aDownloadToFileIsClosedAndCompleteWhenDoneArrivesWithoutStream) {
    ScriptedHttpServer server;
    ScriptedReply picture;
    picture.body = std::string(10000, 'g');
    picture.headers.emplace_back("Content-Type", "image/gif");
    server.route("/2/ad/12.gif", picture);
    test::TempDir dir;
    THTTPClient c;
    Events e(c);
    e.outputFile = qs(dir.file("12.gif"));
    c.setOutputFileName(e.outputFile);
    c.setURL(qs(server.url("/2/ad/12.gif")));
    EXPECT_EQ(c.FileName(), u"12.gif");
    EXPECT_EQ(c.HostName(), u"127.0.0.1");
    c.Read();
    ASSERT_TRUE(e.waitEnd());
    EXPECT_EQ(e.names, Names{"Done"});
    EXPECT_FALSE(e.hadStream);
    EXPECT_EQ(e.fileSize, 10000);
    EXPECT_EQ(e.fileAtDone, QByteArray(10000, 'g'));

    // A file that cannot be created is a failure with nothing more to say.
    Events e2(c);
    c.setOutputFileName(qs(dir.file("no/such/folder/12.gif")));
    c.Read();
    ASSERT_TRUE(test::waitUntil([&] { return !c.Busy(); }));
    settle();
    EXPECT_EQ(e2.names, Names{"AnyError"});
}

TEST(HTTPClientTest, abortMidBodyDeliversAbortedAndNothingElse) {
    ScriptedHttpServer server;
    ScriptedReply slow = ScriptedReply::text(std::string(4000, 's'));
    slow.chunkBytes = 100;
    slow.chunkDelayMs = 30;
    server.route("/slow", slow);
    THTTPClient c;
    Events e(c);
    e.countProgress(c);
    c.setURL(qs(server.url("/slow")));
    c.Read();
    ASSERT_TRUE(test::waitUntil([&] { return e.progress > 0; }));
    c.Abort();
    EXPECT_FALSE(c.Busy());
    const int progressAtAbort = e.progress;
    settle(400);
    EXPECT_EQ(e.names, Names{"Aborted"});
    EXPECT_EQ(e.progress, progressAtAbort) << "no progress of the stopped transfer";

    // The component is ready for the next request at once.
    server.route("/next", ScriptedReply::text("next"));
    Events e2(c);
    c.setURL(qs(server.url("/next")));
    EXPECT_TRUE(c.Read());
    ASSERT_TRUE(e2.waitEnd());
    EXPECT_EQ(e2.body, "next");
}

TEST(HTTPClientTest, destroyingTheClientWhileItsWorkerWaitsForAHandlerEndsCleanly) {
    ScriptedHttpServer server;
    ScriptedReply slow = ScriptedReply::text(std::string(4000, 's'));
    slow.chunkBytes = 100;
    slow.chunkDelayMs = 20;
    server.route("/slow", slow);
    int events = 0;
    auto c = std::make_unique<THTTPClient>();
    QObject::connect(c.get(), &TCustomHTTPClient::OnProgress, [&] { ++events; });
    QObject::connect(c.get(), &TCustomHTTPClient::OnAborted, [&] { ++events; });
    QObject::connect(c.get(), &TCustomHTTPClient::OnDone, [&] { ++events; });
    c->setURL(qs(server.url("/slow")));
    c->Read();
    ASSERT_TRUE(test::waitUntil([&] { return events > 0; }));
    // The worker is now waiting for (or about to hand over) the next progress
    // event, which this thread will never run.
    QElapsedTimer timer;
    timer.start();
    const int before = events;
    c.reset();
    EXPECT_LT(timer.elapsed(), 3000);
    settle();
    EXPECT_EQ(events, before);
}

TEST(HTTPClientTest, tenInstancesRunAtOnce) {
    ScriptedHttpServer server;
    ScriptedReply slow = ScriptedReply::text("ok");
    slow.headerDelayMs = 500;
    server.fallback([slow](const test::RecordedRequest&) { return slow; });
    std::vector<std::unique_ptr<THTTPClient>> clients;
    std::vector<std::unique_ptr<Events>> events;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 10; ++i) {
        clients.push_back(std::make_unique<THTTPClient>());
        events.push_back(std::make_unique<Events>(*clients.back()));
        clients.back()->setURL(qs(server.url("/" + std::to_string(i))));
        ASSERT_TRUE(clients.back()->Read());
    }
    for (const auto& c : clients)
        EXPECT_TRUE(c->Busy());
    ASSERT_TRUE(test::waitUntil([&] {
        return std::all_of(events.begin(), events.end(), [](const auto& e) { return e->ended(); });
    }));
    for (const auto& e : events)
        EXPECT_EQ(e->names, Names{"Done"});
    EXPECT_LT(timer.elapsed(), 4000) << "the ten waits overlapped";
}

TEST(HTTPClientTest, aSlowServerLeavesTheEventLoopRunningAndReportsProgress) {
    ScriptedHttpServer server;
    ScriptedReply slow = ScriptedReply::text(std::string(2048, 'p'));
    slow.chunkBytes = 256;
    slow.chunkDelayMs = 60;
    server.route("/slow", slow);
    THTTPClient c;
    Events e(c);
    e.countProgress(c);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    c.setURL(qs(server.url("/slow")));
    c.Read();
    ASSERT_TRUE(e.waitEnd());
    EXPECT_EQ(e.names, Names{"Done"});
    EXPECT_GE(e.progress, 8) << "one progress event per piece at least";
    EXPECT_EQ(e.lastPercent, 100);
    EXPECT_GE(ticks, 10) << "the window's timers went on during the transfer";
}

TEST(HTTPClientTest, aStalledServerIsGivenUpAfterTheLowSpeedTime) {
    ScriptedHttpServer server;
    ScriptedReply stall = ScriptedReply::text("never sent");
    stall.stallAfterHeaders = true;
    server.route("/stall", stall);
    THTTPClient c;
    c.setTimeouts(5, 1);
    Events e(c);
    c.setURL(qs(server.url("/stall")));
    c.Read();
    ASSERT_TRUE(e.waitEnd(8000));
    EXPECT_EQ(e.names, (Names{"AnyError", "ConnLost"}));
    EXPECT_EQ(e.bytesRead, 0);
}

TEST(HTTPClientTest, a401AsksForThePasswordAndTryAgainReadsWithIt) {
    ScriptedHttpServer server;
    server.route("/private", [](const test::RecordedRequest& r) {
        if (r.header("Authorization") == "Basic dXNlcjpzZWNyZXQ=") // user:secret
            return ScriptedReply::text("welcome");
        ScriptedReply no = ScriptedReply::text("who are you", 401);
        no.announceLength = false;
        return no;
    });
    THTTPClient c;
    Events e(c);
    int asked = 0;
    QObject::connect(&c, &TCustomHTTPClient::OnPasswordRequest,
                     [&](TCustomHTTPClient* sender, bool& tryAgain) {
                         ++asked;
                         sender->setUsername(QStringLiteral("user"));
                         sender->setPassword(QStringLiteral("secret"));
                         tryAgain = true;
                     });
    c.setURL(qs(server.url("/private")));
    c.Read();
    ASSERT_TRUE(e.waitEnd());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(e.names, (Names{"AnyError", "Done"}));
    EXPECT_EQ(e.body, "welcome");
}

TEST(HTTPClientTest, postDataAndUploadsGoOutAsPosts) {
    ScriptedHttpServer server;
    THTTPClient c;
    {
        Events e(c);
        c.setURL(qs(server.url("/form")));
        c.setPOSTData(QStringLiteral("a=1&b=2"));
        c.Read();
        ASSERT_TRUE(e.waitEnd());
        const auto r = server.lastRequest("/form");
        EXPECT_EQ(r.method, "POST");
        EXPECT_EQ(r.header("Content-Type"), "application/x-www-form-urlencoded");
        EXPECT_EQ(r.body, "a=1&b=2");
    }
    c.setPOSTData({});
    QObject::connect(
        &c, &TCustomHTTPClient::OnUploadFieldRequest,
        [](TCustomHTTPClient*, quint16 index, QIODevice* stream, QString& field, QString& file) {
            field = QStringLiteral("part%1").arg(index);
            if (index == 1)
                file = QStringLiteral("banner.gif");
            stream->write(index == 0 ? "hello" : "GIF89a");
        });
    int uploadEvents = 0;
    QObject::connect(&c, &TCustomHTTPClient::OnUploadProgress, [&] { ++uploadEvents; });
    Events e(c);
    c.setURL(qs(server.url("/upload")));
    ASSERT_TRUE(c.Upload(2));
    ASSERT_TRUE(e.waitEnd());
    const auto r = server.lastRequest("/upload");
    EXPECT_EQ(r.method, "POST");
    const std::string type = r.header("Content-Type");
    ASSERT_EQ(type.rfind("multipart/form-data; boundary=---HTTP-DATA-BOUNDARY-0-", 0), 0u) << type;
    const std::string boundary = type.substr(type.find('=') + 1);
    EXPECT_EQ(r.body, "--" + boundary +
                          "\r\nContent-Disposition: form-data; name=\"part0\"\r\n\r\nhello\r\n--" +
                          boundary +
                          "\r\nContent-Disposition: form-data; name=\"part1\"; "
                          "filename=\"banner.gif\"\r\nContent-Type: image/gif\r\n\r\nGIF89a\r\n--" +
                          boundary + "--\r\n");
    EXPECT_GE(uploadEvents, 1);
}

TEST(HTTPClientTest, waitThreadReturnsOnlyAfterTheOutcome) {
    ScriptedHttpServer server;
    ScriptedReply slow = ScriptedReply::text("late");
    slow.headerDelayMs = 200;
    server.route("/late", slow);
    THTTPClient c;
    c.setWaitThread(true);
    Events e(c);
    c.setURL(qs(server.url("/late")));
    EXPECT_TRUE(c.Read());
    EXPECT_EQ(e.names, Names{"Done"});
    EXPECT_FALSE(c.Busy());
}

#include "ServerHarness.h"

#include <sqlite3.h>

using namespace serverharness;

TEST(ServerTest, servesTheBannerListPicturesAndPages) {
    Served s;
    s.start();
    EXPECT_EQ(request(s.url("/2/ad/")).body, "No") << "no banners.txt";
    s.data.write("banners.txt", "12\r\n15\n../secret\n\n20\n");
    const std::string picture = std::string("GIF89a") + std::string(5000, '\x01');
    s.data.write("banners/12.gif", picture);
    s.data.write("banners/12.url", "https://advertiser.example/page?x=1\nignored\n");
    s.data.write("banners/15.url", "file:///etc/passwd\n");
    s.data.write("../outside.gif", "secret");
    fs::create_symlink(s.data.path.parent_path() / "outside.gif", s.data.path / "banners/ln.gif");

    Response list = request(s.url("/2/ad/"));
    EXPECT_EQ(list.status, 200);
    EXPECT_EQ(list.body, "12|15|20|");

    Response gif = request(s.url("/2/ad/12.gif"));
    EXPECT_EQ(gif.status, 200);
    EXPECT_EQ(gif.body, picture);
    EXPECT_EQ(gif.headers["content-length"], std::to_string(picture.size()));
    EXPECT_EQ(gif.headers["content-type"], "image/gif");
    EXPECT_EQ(request(s.url("/2/ad/20.gif")).status, 404);
    EXPECT_EQ(request(s.url("/2/ad/ln.gif")).status, 404) << "a link out of the folder";
    EXPECT_EQ(request(s.url("/2/ad/..%2F..%2Foutside.gif")).status, 404);

    Response page = request(s.url("/2/ad/?id=12"));
    EXPECT_EQ(page.status, 302);
    EXPECT_EQ(page.headers["location"], "https://advertiser.example/page?x=1");
    EXPECT_EQ(request(s.url("/2/ad/?id=15")).status, 404) << "only web addresses";
    EXPECT_EQ(request(s.url("/2/ad/?id=..%2Fbanners%2F12")).status, 404);

    s.data.write("banners.txt", "\n");
    EXPECT_EQ(request(s.url("/2/ad/")).body, "No");

    const Response home = request(s.url("/"));
    EXPECT_EQ(home.status, 200);
    EXPECT_NE(home.body.find("dir=\"rtl\""), std::string::npos);
    EXPECT_EQ(request(s.url("/nothing/here")).status, 404);
    EXPECT_EQ(s.process->stop().status, 0);
}

TEST(ServerTest, countsEveryInstallationOfParallelCallsAndKeepsTheCount) {
    Served s;
    s.start();
    EXPECT_EQ(request(s.url("/2/usercount/users.txt")).body, "0");
    std::vector<std::thread> callers;
    std::atomic<int> answered{0};
    for (int i = 0; i < 200; ++i)
        callers.emplace_back([&] {
            if (request(s.url("/2/usercount/")).status == 200)
                ++answered;
        });
    for (auto& t : callers)
        t.join();
    EXPECT_EQ(answered, 200);
    Response count = request(s.url("/2/usercount/users.txt"));
    EXPECT_EQ(count.body, "200");
    EXPECT_EQ(count.headers["cache-control"], "no-store");

    EXPECT_EQ(s.process->stop().status, 0);
    s.start();
    EXPECT_EQ(request(s.url("/2/usercount/users.txt")).body, "200") << "after a restart";
}

TEST(ServerTest, boundsRequestSizes) {
    Served s;
    s.start();
    const auto requestLine = [](size_t length) {
        const std::string start = "GET /2/ad/?pad=";
        const std::string end = " HTTP/1.1";
        return start + std::string(length - start.size() - end.size(), 'a') + end +
               "\r\nHost: x\r\n\r\n";
    };
    EXPECT_EQ(rawStatusLine(s.port, requestLine(16 * 1024)), "HTTP/1.1 200 OK");
    EXPECT_EQ(rawStatusLine(s.port, requestLine(16 * 1024 + 1)).substr(0, 12), "HTTP/1.1 414");
    EXPECT_EQ(rawStatusLine(s.port, requestLine(200 * 1024)).substr(0, 12), "HTTP/1.1 414");

    std::string manyHeaders = "GET / HTTP/1.1\r\n";
    for (int i = 0; i < 400; ++i)
        manyHeaders += "X-Filler-" + std::to_string(i) + ": " + std::string(100, 'f') + "\r\n";
    EXPECT_EQ(rawStatusLine(s.port, manyHeaders + "\r\n").substr(0, 12), "HTTP/1.1 431");

    const std::string post = "POST /links/addLink.asp HTTP/1.1\r\nHost: x\r\n";
    EXPECT_EQ(rawStatusLine(s.port, post + "Content-Length: 70000\r\n\r\n").substr(0, 12),
              "HTTP/1.1 413");
    EXPECT_EQ(
        rawStatusLine(s.port, post + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n")
            .substr(0, 12),
        "HTTP/1.1 411");
    EXPECT_EQ(rawStatusLine(s.port, "PUT / HTTP/1.1\r\nContent-Length: 0\r\n\r\n").substr(0, 12),
              "HTTP/1.1 405");
    EXPECT_EQ(request(s.url("/2/usercount/users.txt")).body, "0") << "still serving";
}

TEST(ServerTest, storesSiteProposalsFromItsForm) {
    Served s;
    s.start();
    const Response form = request(s.url("/links/addLink.asp"));
    EXPECT_EQ(form.status, 200);
    EXPECT_NE(form.body.find("dir=\"rtl\""), std::string::npos);
    EXPECT_NE(form.body.find("name=\"url\""), std::string::npos);

    const Response refused =
        request(s.url("/links/addLink.asp"), "url=&title=%3Cscript%3Ex%3C%2Fscript%3E", true);
    EXPECT_EQ(refused.status, 400);
    EXPECT_EQ(refused.body.find("<script>"), std::string::npos) << "the value is escaped";
    EXPECT_NE(refused.body.find("&lt;script&gt;"), std::string::npos);

    // "موقع" percent-encoded, and a "+" for a blank.
    const Response thanks = request(
        s.url("/links/addLink.asp"),
        "url=http%3A%2F%2Fsite.example%2F&title=%D9%85%D9%88%D9%82%D8%B9+one&category=&email=",
        true);
    EXPECT_EQ(thanks.status, 200);
    EXPECT_EQ(s.process->stop().status, 0);

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((s.data.path / "korvalo-server.sqlite").c_str(), &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT address, description FROM proposals", -1, &st, nullptr);
    std::vector<std::pair<std::string, std::string>> rows;
    while (sqlite3_step(st) == SQLITE_ROW)
        rows.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                          reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].first, "http://site.example/");
    EXPECT_EQ(rows[0].second, "\xD9\x85\xD9\x88\xD9\x82\xD8\xB9 one");
}

TEST(ServerTest, refusesABadCommandLineOrAnUnusableFolder) {
    DataDir data;
    const std::string dir = data.path.string();
    const ProcessEnd noData = runToEnd({"--listen", "127.0.0.1:0"});
    EXPECT_EQ(noData.status, 2);
    EXPECT_NE(noData.err.find("--data DIR is required"), std::string::npos) << noData.err;
    EXPECT_EQ(runToEnd({"--data", dir, "--bogus"}).status, 2);
    EXPECT_EQ(runToEnd({"--data", dir, "--listen", "nowhere"}).status, 2);
    EXPECT_EQ(runToEnd({"--data", dir, "--listen", "127.0.0.1:70000"}).status, 2);
    EXPECT_EQ(runToEnd({"--data", dir, "--smtp", "http://mail.example"}).status, 2);
    EXPECT_EQ(runToEnd({"--data", dir, "--maker-mail", "name.example"}).status, 2);

    const ProcessEnd missing = runToEnd({"--data", dir + "/missing", "--listen", "127.0.0.1:0"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;
    fs::create_directory(data.path / "korvalo-server.sqlite"); // the database cannot be made
    const ProcessEnd unusable = runToEnd({"--data", dir, "--listen", "127.0.0.1:0"});
    EXPECT_EQ(unusable.status, 1);
    EXPECT_NE(unusable.err.find("cannot use the data folder"), std::string::npos) << unusable.err;

    Served busy;
    busy.start();
    DataDir other;
    const ProcessEnd taken = runToEnd(
        {"--data", other.path.string(), "--listen", "127.0.0.1:" + std::to_string(busy.port)});
    EXPECT_EQ(taken.status, 1);
    EXPECT_NE(taken.err.find("cannot listen"), std::string::npos) << taken.err;
}

#include "data/Cp1256.h"
#include "data/Records.h"
#include "search/LocalSearch.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

#include <algorithm>
#include <tuple>

#include <gtest/gtest.h>

using namespace korvalo;

namespace {

struct KvlRun {
    int status;
    std::string out;
    std::string err;
};

// Runs the real kvl binary, as a maintainer would.
KvlRun kvl(const QStringList& args, const std::string& input = {}) {
    QProcess p;
    p.start(QStringLiteral(KORVALO_BIN_DIR "/kvl"), args);
    EXPECT_TRUE(p.waitForStarted());
    p.write(input.data(), static_cast<qint64>(input.size()));
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitCode(), p.readAllStandardOutput().toStdString(),
            p.readAllStandardError().toStdString()};
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

const std::string kSites = "https://www.example.com\t1\tموقع تجريبي\tعربي\t0\t0\n"
                           "pass\t0\tسر\t\t1\t0\n"
                           "https://x.test/a?b=c\t-7\t\tE\t2147483647\t-2147483648\n";
const std::string kCategories = "مواقع إخبارية\t1\t1\t0\t0\nمحلي\t2\t0\t1\t1\ninfo\t3\t1\t0\t0\n";

} // namespace

TEST(Kvl, makeThenListRoundTripsBothFormats) {
    test::TempDir dir;
    const std::string text = dir.file("sites.txt");
    test::writeFile(text, kSites);
    KvlRun r = kvl({QStringLiteral("make-sites"), q(text), q(dir.file("weburl.kvl"))});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readFile(dir.file("weburl.kvl")).size(), 3 * kSiteRecordSize);
    r = kvl({QStringLiteral("sites"), q(dir.file("weburl.kvl"))});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kSites);
    EXPECT_EQ(r.err, "");

    // Categories from standard input.
    r = kvl({QStringLiteral("make-categories"), QStringLiteral("-"), q(dir.file("cate.dat"))},
            kCategories);
    ASSERT_EQ(r.status, 0) << r.err;
    r = kvl({QStringLiteral("categories"), q(dir.file("cate.dat"))});
    EXPECT_EQ(r.out, kCategories);

    // The bytes after a text's NUL are zero before the shift, so stored as K.
    const std::string stored = test::readFile(dir.file("weburl.kvl"));
    for (size_t i = std::string("https://www.example.com").size(); i < 80; ++i)
        ASSERT_EQ(static_cast<uint8_t>(stored[i]), kShift) << "byte " << i;
}

TEST(Kvl, badInputNamesTheLineAndLeavesTheFileUntouched) {
    test::TempDir dir;
    const std::string out = dir.file("weburl.kvl");
    test::writeFile(out, "previous content");

    struct Case {
        std::string line;
        std::string expect;
    };
    const std::string ok = "http://ok.test\t1\tt\tE\t0\t0\n";
    const Case cases[] = {
        {"http://" + std::string(73, 'a') + "\t1\tt\tE\t0\t0", "Url is too long"},
        {"http://a.test\t1\t" + std::string(39, 'x') +
             "عربيعربيعربيعربيعربيعربيعربيعربيعربي\tE\t0\t0",
         "Title is too long"},
        {"http://a.test\t1\tשלום\tE\t0\t0", "cannot represent"},
        {"http://a.test\t1\tt\tE😀\t0\t0", "cannot represent"},
        {"http://a.test\t1\tt\tE\t0\t0\textra", "expected 6 fields"},
        {"http://a.test\t1\tt\tE\t0", "expected 6 fields"},
        {"http://a.test\t2147483648\tt\tE\t0\t0", "CategoryId is not a 32-bit integer"},
        {"http://a.test\t1\tt\tE\t1x\t0", "UserMark is not a 32-bit integer"},
        {"http://a.test\t1\tt\tE\t0\t", "SubCategoryId is not a 32-bit integer"},
        {"http://a.test\t1\tt\rx\tE\t0\t0", "line break"},
        {"http://a.test\t+1\tt\tE\t0\t0", "not a 32-bit integer"},
    };
    for (const Case& c : cases) {
        test::writeFile(dir.file("in.txt"), ok + c.line + "\n" + ok);
        const KvlRun r = kvl({QStringLiteral("make-sites"), q(dir.file("in.txt")), q(out)});
        EXPECT_EQ(r.status, 1) << c.line;
        EXPECT_NE(r.err.find(":2: "), std::string::npos) << "names line 2: " << r.err;
        EXPECT_NE(r.err.find(c.expect), std::string::npos) << r.err;
        EXPECT_EQ(test::readFile(out), "previous content") << c.line;
    }

    const KvlRun cat = kvl({QStringLiteral("make-categories"), QStringLiteral("-"), q(out)},
                           std::string(70, 'n') + "\t1\t1\t0\t0\n");
    EXPECT_EQ(cat.status, 1);
    EXPECT_NE(cat.err.find("Name is too long"), std::string::npos) << cat.err;
    EXPECT_EQ(test::readFile(out), "previous content");
}

TEST(Kvl, usageErrorsAndUnreadableFiles) {
    test::TempDir dir;
    EXPECT_EQ(kvl({}).status, 2);
    EXPECT_EQ(kvl({QStringLiteral("sites")}).status, 2);
    EXPECT_EQ(kvl({QStringLiteral("frobnicate"), QStringLiteral("x")}).status, 2);
    EXPECT_EQ(kvl({QStringLiteral("make-sites"), QStringLiteral("-")}).status, 2);
    EXPECT_EQ(kvl({QStringLiteral("export-html"), QStringLiteral("a"), QStringLiteral("b")}).status,
              2);
    EXPECT_EQ(kvl({QStringLiteral("import-html"), QStringLiteral("a"), QStringLiteral("b")}).status,
              2);
    EXPECT_EQ(kvl({QStringLiteral("sites"), q(dir.file("missing"))}).status, 1);
    EXPECT_EQ(kvl({QStringLiteral("make-sites"), q(dir.file("missing")), q(dir.file("o"))}).status,
              1);
    EXPECT_FALSE(test::fileExists(dir.file("o")));
}

TEST(Kvl, trailingFragmentIsReportedAndTheListingGoesOn) {
    test::TempDir dir;
    const std::string file = dir.file("weburl.kvl");
    ASSERT_EQ(kvl({QStringLiteral("make-sites"), QStringLiteral("-"), q(file)}, kSites).status, 0);
    test::writeFile(file, test::readFile(file) + std::string(10, '\x01'));
    const KvlRun r = kvl({QStringLiteral("sites"), q(file)});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kSites);
    EXPECT_NE(r.err.find("fragment of 10 bytes"), std::string::npos) << r.err;
}

// The search panel's matches, folding and order, one line each as kvl sites
// prints them; the status says whether anything was found.
TEST(Kvl, searchPrintsThePanelsMatchesInItsOrder) {
    test::TempDir dir;
    const std::string file = dir.file("weburl.kvl");
    const std::string sites = "http://b.example\t2\tمدرسة النور\tعربي\t1\t5\n"
                              "http://other.example\t1\tشيء آخر\tE\t0\t0\n"
                              "http://a.example\t1\tمـدرسه\tE\t0\t0\n"
                              "http://A.example\t-3\tالمدرسة\tع/E\t7\t9\n";
    ASSERT_EQ(kvl({QStringLiteral("make-sites"), QStringLiteral("-"), q(file)}, sites).status, 0);

    KvlRun r = kvl({QStringLiteral("search"), QString::fromUtf8("مدرسة"), q(file)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "http://A.example\t-3\tالمدرسة\tع/E\t7\t9\n"
                     "http://a.example\t1\tمـدرسه\tE\t0\t0\n"
                     "http://b.example\t2\tمدرسة النور\tعربي\t1\t5\n");
    // The same order as the program's result list.
    test::writeCategories(dir.file("cate.dat"), {{"News", 1, 1, 0, 0}});
    SiteSearchResult panel =
        SearchSites(file, dir.file("cate.dat"), *Cp1256::fromUnicode(QString::fromUtf8("مدرسة")),
                    SearchScope::Description);
    sortByAddress(panel.rows);
    std::string urls;
    for (size_t i = 0; i < panel.rows.size(); ++i)
        urls.append(panel.rows.url(i)).append("|");
    EXPECT_EQ(urls, "http://A.example|http://a.example|http://b.example|");

    r = kvl(
        {QStringLiteral("search"), QStringLiteral("--address"), QStringLiteral("OTHER"), q(file)});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "http://other.example\t1\tشيء آخر\tE\t0\t0\n");

    for (const QString& nothing : {QStringLiteral("zzz"), QString::fromUtf8("中文")}) {
        r = kvl({QStringLiteral("search"), nothing, q(file)});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(kvl({QStringLiteral("search"), q(file)}).status, 2);
    EXPECT_EQ(kvl({QStringLiteral("search"), QStringLiteral("--address"), q(file)}).status, 2);
    r = kvl({QStringLiteral("search"), QStringLiteral("x"), q(dir.file("missing"))});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot open"), std::string::npos) << r.err;
}

namespace {

const QString kShippedSites = QStringLiteral(KORVALO_BIN_DIR "/weburl.kvl");
const QString kShippedCategories = QStringLiteral(KORVALO_BIN_DIR "/cate.dat");

// Each site a browser or an import would see, with the names of its main
// and sub-category, in a stable order.
using PlacedSite = std::tuple<std::string, std::string, std::string, std::string, std::string>;
std::vector<PlacedSite> placedSites(const std::string& sitePath, const std::string& catePath) {
    const std::vector<CategoryRecord> categories = test::readCategories(catePath);
    const auto name = [&](int32_t id, bool root, int32_t parent) -> const std::string* {
        for (const CategoryRecord& c : categories) {
            if (c.Id == id && c.IsRoot == (root ? 1 : 0) && (root || c.ParentId == parent) &&
                c.Name != "info")
                return &c.Name;
        }
        return nullptr;
    };
    std::vector<PlacedSite> placed;
    for (const SiteRecord& s : test::readSites(sitePath)) {
        const std::string* main = name(s.CategoryId, true, 0);
        const std::string* sub = name(s.SubCategoryId, false, s.CategoryId);
        if (main && s.Url != "pass")
            placed.emplace_back(*main, sub ? *sub : "", s.Url, s.Title, s.Language);
    }
    std::sort(placed.begin(), placed.end());
    return placed;
}

} // namespace

TEST(KvlHtml, theShippedDirectoryRoundTripsThroughExportAndImport) {
    test::TempDir dir;
    const QString html = q(dir.file("bookmarks.html"));
    KvlRun r = kvl({QStringLiteral("export-html"), kShippedSites, kShippedCategories, html});
    ASSERT_EQ(r.status, 0) << r.err;

    const std::string sites = dir.file("weburl.kvl");
    const std::string categories = dir.file("cate.dat");
    r = kvl({QStringLiteral("import-html"), html, q(sites), q(categories)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto shipped = placedSites(kShippedSites.toStdString(), kShippedCategories.toStdString());
    ASSERT_GT(shipped.size(), 600u);
    EXPECT_EQ(placedSites(sites, categories), shipped);

    // Again: every address is there already.
    r = kvl({QStringLiteral("import-html"), html, q(sites), q(categories)});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(" 0 sites added"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(std::to_string(shipped.size()) + " duplicate"), std::string::npos)
        << r.out;
    EXPECT_EQ(placedSites(sites, categories), shipped);

    // Texts that HTML or a line-based reader would otherwise break.
    const std::string odd = dir.file("odd.kvl");
    const std::string oddCategories = dir.file("odd.dat");
    const std::vector<SiteRecord> oddSites{
        {"http://a.test/x y?a=1&b='2'", 1, "<b>\"x\"\r\ny", "E", 0, 0}};
    test::writeSites(odd, oddSites);
    test::writeCategories(oddCategories, {{"a & <b>", 1, 1, 0, 0}});
    ASSERT_EQ(kvl({QStringLiteral("export-html"), q(odd), q(oddCategories), html}).status, 0);
    r = kvl({QStringLiteral("import-html"), html, q(dir.file("new.kvl")), q(dir.file("new.dat"))});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(placedSites(dir.file("new.kvl"), dir.file("new.dat")),
              placedSites(odd, oddCategories));
}

TEST(KvlHtml, importFoldsDeepFoldersAndReportsWhatCannotBeStoredByLine) {
    test::TempDir dir;
    const std::string sites = dir.file("weburl.kvl");
    const std::string categories = dir.file("cate.dat");
    const SiteRecord existing{"http://dup.example/", 5, "d", "E", 1, 0};
    test::writeSites(sites, {existing});
    test::writeCategories(categories, {{"Main", 5, 1, 0, 0}});
    const std::string before = test::readFile(sites);
    test::writeFile(dir.file("in.html"),
                    "<DL><p>\n"                                                // 1
                    "<DT><A HREF=\"http://loose.example/\">Loose</A>\n"        // 2
                    "<DT><H3>Main</H3>\n"                                      // 3
                    "<DL><p>\n"                                                // 4
                    "  <DT><A HREF=\"http://dup.example/\">Dup</A>\n"          // 5
                    "  <DT><A HREF=\"http://direct.example/\">A &amp; B</A>\n" // 6
                    "  <DT><H3>Sub</H3>\n"                                     // 7
                    "  <DL><p>\n"                                              // 8
                    "    <DT><H3>Deeper</H3>\n"                                // 9
                    "    <DL><p>\n"                                            // 10
                    "      <DT><A HREF=\"http://deep.example/\">Deep</A>\n"    // 11
                    "      <DT><A HREF=\"http://deep.example/\">Again</A>\n"   // 12
                    "    </DL><p>\n"                                           // 13
                    "    <DT><A HREF=\"http://x.example/\">שלום</A>\n"         // 14
                    "    <DT><A HREF=\"http://" +
                        std::string(80, 'a') +
                        "/\">Long</A>\n"                            // 15
                        "  </DL><p>\n"                              // 16
                        "</DL><p>\n"                                // 17
                        "<DT><H3>info</H3>\n"                       // 18
                        "<DL><p>\n"                                 // 19
                        "<DT><A HREF=\"http://v.example/\">V</A>\n" // 20
                        "</DL><p>\n"                                // 21
                        "<DT><A HREF=\"pass\">P</A>\n"              // 22
                        "</DL><p>\n");
    KvlRun r =
        kvl({QStringLiteral("import-html"), q(dir.file("in.html")), q(sites), q(categories)});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* line :
         {":14: Title holds a character", ":15: Url is too long", ":18: ", ":22: "})
        EXPECT_NE(r.err.find(line), std::string::npos) << line << " in " << r.err;
    EXPECT_NE(r.out.find("3 sites added"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("2 categories added"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("2 duplicate addresses and 4 links"), std::string::npos) << r.out;

    const std::string loose = test::cp("مواقع مستوردة");
    EXPECT_EQ(test::readCategories(categories),
              (std::vector<CategoryRecord>{
                  {"Main", 5, 1, 0, 0}, {loose, 6, 1, 0, 0}, {"Sub", 7, 0, 5, 0}}));
    const std::string arabic = test::cp("عربي");
    EXPECT_EQ(test::readSites(sites),
              (std::vector<SiteRecord>{existing,
                                       {"http://loose.example/", 6, "Loose", arabic, 0, 0},
                                       {"http://direct.example/", 5, "A & B", arabic, 0, 0},
                                       {"http://deep.example/", 5, "Deep", arabic, 0, 7}}));
    EXPECT_EQ(test::readFile(sites).substr(0, before.size()), before);

    // A data file that cannot be read stops the import before anything is written.
    const std::string grown = test::readFile(sites);
    r = kvl({QStringLiteral("import-html"), q(dir.file("in.html")), q(sites), q(dir.path())});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(test::readFile(sites), grown);
}

TEST(KvlHtml, aBrowserFindsEveryLinkOfTheExportedFile) {
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        GTEST_SKIP() << "chromium is not installed";
    test::TempDir dir;
    const QString html = q(dir.file("bookmarks.html"));
    ASSERT_EQ(kvl({QStringLiteral("export-html"), kShippedSites, kShippedCategories, html}).status,
              0);

    QProcess browser;
    browser.start(chromium,
                  {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                   QStringLiteral("--disable-gpu"), QStringLiteral("--no-first-run"),
                   QStringLiteral("--disable-background-networking"),
                   QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
                   QStringLiteral("--user-data-dir=") + q(dir.file("profile")),
                   QStringLiteral("--dump-dom"), QStringLiteral("file://") + html});
    ASSERT_TRUE(browser.waitForFinished(120000));
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());

    std::vector<std::string> links;
    static const QRegularExpression href(QStringLiteral("<a href=\"([^\"]*)\""));
    for (const auto& m : href.globalMatch(dom))
        links.push_back(
            m.captured(1).replace(QStringLiteral("&amp;"), QStringLiteral("&")).toStdString());
    std::vector<std::string> expected;
    for (const PlacedSite& site :
         placedSites(kShippedSites.toStdString(), kShippedCategories.toStdString()))
        expected.push_back(Cp1256::toUnicode(std::get<2>(site)).toStdString());
    std::sort(links.begin(), links.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(links, expected);
}

TEST(KvlMaintenance, setVersionAndTheConversionsRefuseWhatWouldRuinTheDirectory) {
    test::TempDir dir;
    const std::string site = dir.file("weburl.kvl");
    test::writeCategories(dir.file("cate.dat"), {{"news", 5, 1, 0, 0}, {"info", 9, 1, 0, 0}});
    test::writeSites(site, {{"http://a.example", 5, "a", "E", 1, 0}});
    const std::string before = test::readFile(site);

    // The first record is a site: kept unless forced, and named.
    KvlRun r = kvl({QStringLiteral("set-version"), q(site), QStringLiteral("3.1")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("http://a.example"), std::string::npos) << r.err;
    EXPECT_EQ(test::readFile(site), before);
    EXPECT_EQ(kvl({QStringLiteral("set-version"), q(site), QString(81, QLatin1Char('v'))}).status,
              1);
    r = kvl(
        {QStringLiteral("set-version"), q(site), QStringLiteral("3.1"), QStringLiteral("--force")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readSites(site), std::vector<SiteRecord>({{"3.1", 9, "", "", 0, 0}}));

    // 344 bytes of old sites become 352; the result is not converted again.
    const std::string old = dir.file("old.kvl");
    test::writeFile(
        old, test::encodeSites({{"http://x.example", 5, "x", "E", 0, 0}}).substr(0, 172) +
                 test::encodeSites({{"http://y.example", 7, "y", "E", 1, 0}}).substr(0, 172));
    r = kvl({QStringLiteral("convert-sites"), q(old), q(dir.file("new.kvl"))});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readFile(dir.file("new.kvl")).size(), 352u);
    EXPECT_EQ(test::readSites(dir.file("new.kvl"))[1].Url, "http://y.example");
    r = kvl({QStringLiteral("convert-sites"), q(dir.file("new.kvl")), q(dir.file("again.kvl"))});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("already converted"), std::string::npos) << r.err;
    EXPECT_FALSE(test::fileExists(dir.file("again.kvl")));

    // news (id 5) would become id 0, and new.kvl files x.example under 5.
    const QStringList convert{QStringLiteral("convert-categories"), q(dir.file("cate.dat")),
                              q(dir.file("cate.new")), QStringLiteral("--sites"),
                              q(dir.file("new.kvl"))};
    r = kvl(convert);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("other categories: 5;"), std::string::npos) << r.err;
    EXPECT_FALSE(test::fileExists(dir.file("cate.new")));
    r = kvl(convert + QStringList{QStringLiteral("--force")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readCategories(dir.file("cate.new")),
              std::vector<CategoryRecord>({{"news", 0, 1, 0, 0}, {"info", 1, 1, 0, 0}}));

    EXPECT_EQ(kvl({QStringLiteral("set-version"), q(site)}).status, 2);
    EXPECT_EQ(
        kvl({QStringLiteral("convert-sites"), q(old), q(old), QStringLiteral("--force")}).status,
        2);
}

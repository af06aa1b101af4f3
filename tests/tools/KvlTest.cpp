#include "data/Records.h"
#include "support/TempDir.h"

#include <QProcess>
#include <QString>

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

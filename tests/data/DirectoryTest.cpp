#include "data/Directory.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace korvalo;

namespace {

// A program folder with two categories, sport holding two sites, and the
// messages and signals of one Directory over it.
class DirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::mkdir(dir.file("temp").c_str(), 0755);
        test::writeCategories(dir.file("cate.dat"), {{"news", 1, 1, 0, 0}, {"sport", 2, 1, 0, 0}});
        test::writeSites(dir.file("weburl.kvl"), {{"http://a.example", 1, "a", "E", 1, 0},
                                                  {"http://b.example", 2, "b", "E", 1, 0},
                                                  {"http://c.example", 2, "c", "E", 1, 0}});
        directory.setProgramDir(QString::fromStdString(dir.path()));
        directory.state().siteCount = 3;
        QObject::connect(&directory, &Directory::notice,
                         [this](const Outcome& o) { notices << o.message; });
        QObject::connect(&directory, &Directory::categoryFileMissing,
                         [this] { notices << QStringLiteral("fatal"); });
        QObject::connect(&directory, &Directory::categoriesChanged, [this] { ++rebuilds; });
        QObject::connect(&directory, &Directory::siteCountChanged,
                         [this](int64_t count) { counts.push_back(count); });
    }

    test::TempDir dir;
    Directory directory;
    QStringList notices;
    int rebuilds = 0;
    std::vector<int64_t> counts;
};

} // namespace

TEST_F(DirectoryTest, aDeleteThatCannotRewriteSaysWhyChangesNothingAndStillRebuildsTheViews) {
    const std::string cate = test::readFile(dir.file("cate.dat"));
    const std::string sites = test::readFile(dir.file("weburl.kvl"));
    ::rmdir(dir.file("temp").c_str()); // no scratch file can be made
    bool asked = false;
    const Outcome o =
        directory.deleteCategory(QStringLiteral("sport"), [&] { return asked = true; });
    EXPECT_TRUE(asked) << "sport has sites";
    EXPECT_EQ(o.status, Outcome::Status::ScratchFailed);
    EXPECT_EQ(notices, QStringList{scratchFileMessage()});
    EXPECT_EQ(test::readFile(dir.file("cate.dat")), cate);
    EXPECT_EQ(test::readFile(dir.file("weburl.kvl")), sites);
    EXPECT_TRUE(counts.empty()) << "no site went";
    EXPECT_EQ(rebuilds, 1);

    // Without "cate.dat" the delete is the fatal case, and nothing is rebuilt.
    notices.clear();
    ::unlink(dir.file("cate.dat").c_str());
    EXPECT_EQ(directory.deleteCategory(QStringLiteral("sport"), [] { return true; }).status,
              Outcome::Status::CategoryFileMissing);
    EXPECT_EQ(notices, QStringList{QStringLiteral("fatal")});
    EXPECT_EQ(rebuilds, 1);
}

TEST_F(DirectoryTest, aNewSiteFileIsTheOneLaterOperationsUseAndNewRecordsTakeTheUserMark) {
    QStringList changes;
    QObject::connect(&directory, &Directory::siteFileChanged,
                     [&] { changes << directory.state().siteFileName; });
    const SiteRecord first{"2", 1, "", "", 0, 0};
    ASSERT_TRUE(directory.newSiteFile(QStringLiteral("new.kvl"), first).ok());
    EXPECT_EQ(changes, QStringList{QStringLiteral("new.kvl")});
    EXPECT_EQ(test::readSites(dir.file("new.kvl")), std::vector<SiteRecord>{first});

    directory.setUserMark(0);
    ASSERT_TRUE(directory
                    .addSite({QStringLiteral("d"), QStringLiteral("http://d.example"),
                              QStringLiteral("E"), QStringLiteral("sport")})
                    .ok());
    const auto added = test::readSites(dir.file("new.kvl"));
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[1].UserMark, 0);
    EXPECT_EQ(added[1].CategoryId, 2);
    EXPECT_EQ(test::readSites(dir.file("weburl.kvl")).size(), 3u) << "the old file is left alone";

    directory.openSiteFile(QStringLiteral("weburl.kvl"));
    EXPECT_EQ(directory.categorySites(QStringLiteral("sport"), false)->size(), 2u);
}

#include "data/Directory.h"
#include "data/LayoutConversion.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStringList>

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvalo;

namespace {

// Old site records: the current layout cut before SubCategoryId.
std::string oldSites(const std::vector<SiteRecord>& sites) {
    std::string out;
    for (const SiteRecord& s : sites)
        out += test::encodeSites({s}).substr(0, kOldSiteRecordSize);
    return out;
}

// Old category records keep only their names; the words are leftovers.
std::string oldCategories(const std::vector<std::pair<std::string, int32_t>>& namesAndIds) {
    std::vector<CategoryRecord> records;
    for (const auto& [name, id] : namesAndIds)
        records.push_back({name, id, 7, 99, 5});
    return test::encodeCategories(records);
}

// A program folder with "info" and two categories, the messages and the
// counts of one Directory over it.
class MaintenanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::mkdir(dir.file("temp").c_str(), 0755);
        test::writeCategories(dir.file("cate.dat"),
                              {{"news", 1, 1, 0, 0}, {"sport", 2, 1, 0, 0}, {"info", 3, 1, 0, 0}});
        test::writeSites(site, {{"1.0", 3, "", "", 0, 0}, {"http://a.example", 1, "a", "E", 1, 0}});
        directory.setProgramDir(QString::fromStdString(dir.path()));
        directory.state().siteCount = 2;
        QObject::connect(&directory, &Directory::notice,
                         [this](const Outcome& o) { notices << o.message; });
        QObject::connect(&directory, &Directory::siteCountChanged,
                         [this](int64_t count) { counts.push_back(count); });
    }

    test::TempDir dir;
    std::string site = dir.file("weburl.kvl");
    Directory directory;
    QStringList notices;
    std::vector<int64_t> counts;
};

} // namespace

TEST_F(MaintenanceTest, theConversionsGiveCurrentRecordsAndRefuseWhatWouldRuinTheDirectory) {
    // Two old sites (344 bytes) become two current ones (352).
    const std::vector<SiteRecord> sites{{"http://x.example", 2, test::cp("عربي موقع"), "E", 0, 0},
                                        {"http://y.example", 1, "y", test::cp("عربي"), 1, 0}};
    test::writeFile(site, oldSites(sites));
    ASSERT_TRUE(directory.convertSiteFile().ok());
    EXPECT_EQ(test::readFile(site).size(), 352u);
    EXPECT_EQ(test::readSites(site), sites);
    EXPECT_EQ(counts, std::vector<int64_t>{2});
    // Converted again, every record but the first would be cut in the wrong place.
    const std::string converted = test::readFile(site);
    EXPECT_EQ(directory.convertSiteFile().status, Outcome::Status::Refused);
    EXPECT_EQ(notices.size(), 1);
    EXPECT_EQ(test::readFile(site), converted);

    // Three old categories become main categories 0, 1, 2 with their names.
    test::writeFile(dir.file("cate.dat"),
                    oldCategories({{"a", 0}, {test::cp("رياضة"), 1}, {"info", 2}}));
    ASSERT_TRUE(directory.convertCategoryFile([] { return false; }).ok()) << "no id changes";
    EXPECT_EQ(test::readCategories(dir.file("cate.dat")),
              (std::vector<CategoryRecord>{
                  {"a", 0, 1, 0, 0}, {test::cp("رياضة"), 1, 1, 0, 0}, {"info", 2, 1, 0, 0}}));

    // Ids the sites use that would name other categories: asked first.
    const std::string old = oldCategories({{"news", 2}, {"sport", 1}});
    test::writeFile(dir.file("cate.dat"), old);
    int asked = 0;
    EXPECT_EQ(directory.convertCategoryFile([&] { return ++asked, false; }).status,
              Outcome::Status::Declined);
    EXPECT_EQ(asked, 1) << "x.example is filed under news's id 2, which would name nothing";
    EXPECT_EQ(test::readFile(dir.file("cate.dat")), old);
    EXPECT_TRUE(directory.convertCategoryFile([&] { return ++asked, true; }).ok());
    EXPECT_EQ(test::readCategories(dir.file("cate.dat"))[0].Id, 0);

    // Without a scratch folder either conversion leaves its file as it was.
    test::writeFile(site, oldSites(sites));
    test::writeFile(dir.file("cate.dat"), old);
    QDir(QString::fromStdString(dir.file("temp"))).removeRecursively();
    notices.clear();
    EXPECT_EQ(directory.convertSiteFile().status, Outcome::Status::ScratchFailed);
    EXPECT_EQ(directory.convertCategoryFile([] { return true; }).status,
              Outcome::Status::ScratchFailed);
    EXPECT_EQ(notices, QStringList({scratchFileMessage(), scratchFileMessage()}));
    EXPECT_EQ(test::readFile(site), oldSites(sites));
    EXPECT_EQ(test::readFile(dir.file("cate.dat")), old);
}

// A conversion killed at any moment leaves the old file or the converted
// one, whole.
TEST_F(MaintenanceTest, aKilledConversionLeavesOneWholeGeneration) {
    std::vector<SiteRecord> sites;
    std::vector<std::pair<std::string, int32_t>> categories;
    for (int i = 0; i < 10000; ++i) {
        sites.push_back({"http://s" + std::to_string(i), 1 + i % 5, "t", "E", 0, 0});
        categories.push_back({"c" + std::to_string(i), i + 1});
    }
    std::vector<CategoryRecord> convertedCategories;
    for (int i = 0; i < 10000; ++i)
        convertedCategories.push_back({"c" + std::to_string(i), i, 1, 0, 0});
    struct Case {
        std::string path, before, after;
        std::function<ConversionResult()> convert;
    };
    const std::string scratch = dir.file("temp/Temp.tmp");
    const Case cases[] = {
        {site, oldSites(sites), test::encodeSites(sites),
         [&] { return ConvertSiteFile(site, scratch); }},
        {dir.file("cate.dat"), oldCategories(categories),
         test::encodeCategories(convertedCategories),
         [&] { return ConvertCategoryFile(dir.file("cate.dat"), scratch); }},
    };
    std::mt19937 rng(20240612);
    for (const Case& c : cases) {
        // One whole conversion, for its result and for how long the kills
        // have to land in.
        test::writeFile(c.path, c.before);
        QElapsedTimer clock;
        clock.start();
        ASSERT_EQ(c.convert().status, ConversionStatus::Converted);
        const auto span = static_cast<useconds_t>(clock.nsecsElapsed() / 1000 * 5 / 4);
        ASSERT_EQ(test::readFile(c.path), c.after);
        int converted = 0;
        for (int round = 0; round < 25; ++round) {
            test::writeFile(c.path, c.before);
            const pid_t pid = ::fork();
            if (pid == 0)
                ::_exit(c.convert().status == ConversionStatus::Converted ? 0 : 3);
            ::usleep(std::uniform_int_distribution<useconds_t>(0, span)(rng));
            ::kill(pid, SIGKILL);
            int status = 0;
            ::waitpid(pid, &status, 0);
            ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << c.path << " failed";
            const std::string now = test::readFile(c.path);
            ASSERT_TRUE(now == c.before || now == c.after)
                << c.path << " torn in round " << round << ": " << now.size() << " bytes";
            converted += now == c.after ? 1 : 0;
        }
        std::printf("[ kills    ] %s: 25 kills, %d after the conversion\n", c.path.c_str(),
                    converted);
    }
}

TEST_F(MaintenanceTest, theVersionRecordReplacesASiteOnlyWhenTheMaintainerAgrees) {
    const SiteEntry entry{QStringLiteral("v"), QStringLiteral("2.0"), QString(),
                          QStringLiteral("info")};
    // A version record in the first place goes without a question.
    ASSERT_TRUE(directory.writeVersionRecord(entry, [](const QString&) { return false; }).ok());
    auto sites = test::readSites(site);
    ASSERT_EQ(sites.size(), 2u);
    EXPECT_EQ(sites[0], (SiteRecord{"2.0", 3, "v", "", 1, 0}));
    EXPECT_EQ(sites[1].Url, "http://a.example");
    Directory next;
    next.setProgramDir(QString::fromStdString(dir.path()));
    ASSERT_TRUE(next.readAtStartup());
    EXPECT_EQ(next.state().versionLabel, QStringLiteral("2.0"));

    // A site there is asked about by its address, and kept on "الغاء".
    test::writeSites(site, {{"http://a.example", 1, "a", "E", 1, 0}});
    const std::string before = test::readFile(site);
    QString askedAbout;
    EXPECT_EQ(directory
                  .writeVersionRecord(entry,
                                      [&](const QString& url) {
                                          askedAbout = url;
                                          return false;
                                      })
                  .status,
              Outcome::Status::Declined);
    EXPECT_EQ(askedAbout, QStringLiteral("http://a.example"));
    EXPECT_EQ(test::readFile(site), before);
    ASSERT_TRUE(directory.writeVersionRecord(entry, [](const QString&) { return true; }).ok());
    EXPECT_EQ(test::readSites(site), std::vector<SiteRecord>({{"2.0", 3, "v", "", 1, 0}}));

    // An empty file gets it as its one record, and is counted.
    test::writeFile(site, {});
    ASSERT_TRUE(directory.writeVersionRecord(entry, {}).ok());
    EXPECT_EQ(test::readSites(site).size(), 1u);
    EXPECT_EQ(counts.back(), 1);
}

TEST_F(MaintenanceTest, withoutADigitForTheMarkNoRecordIsMade) {
    EXPECT_EQ(Directory::userMarkFromText(QStringLiteral("0")), 0);
    EXPECT_EQ(Directory::userMarkFromText(QString::fromUtf8("٣")), 3) << "an Arabic-Indic digit";
    for (const char* text : {"", "a", "-", " "})
        EXPECT_EQ(Directory::userMarkFromText(QString::fromLatin1(text)), std::nullopt) << text;

    directory.setUserMark(std::nullopt);
    const std::string sitesBefore = test::readFile(site);
    const std::string cateBefore = test::readFile(dir.file("cate.dat"));
    const SiteEntry entry{QStringLiteral("d"), QStringLiteral("http://d.example"),
                          QStringLiteral("E"), QStringLiteral("news")};
    EXPECT_EQ(directory.addSite(entry).status, Outcome::Status::Refused);
    EXPECT_EQ(directory.addShortcut(entry).status, Outcome::Status::Refused);
    EXPECT_EQ(directory.addCategory(QStringLiteral("arts"), false, std::nullopt).status,
              Outcome::Status::Refused);
    EXPECT_EQ(directory.addFavorite(QStringLiteral("http://a.example")).status,
              Outcome::Status::Refused);
    EXPECT_EQ(directory.writeVersionRecord(entry, [](const QString&) { return true; }).status,
              Outcome::Status::Refused);
    EXPECT_EQ(notices.size(), 5);
    EXPECT_EQ(test::readFile(site), sitesBefore);
    EXPECT_EQ(test::readFile(dir.file("cate.dat")), cateBefore);
    EXPECT_FALSE(test::fileExists(dir.file("favorites.dat")));
}

TEST_F(MaintenanceTest, aDatabaseElsewhereIsTheSiteFileOfEveryLaterOperation) {
    // 100 records, every third under category 1.
    test::TempDir elsewhere;
    const std::string other = elsewhere.file("other.kvl");
    std::vector<SiteRecord> sites;
    for (int i = 0; i < 100; ++i)
        sites.push_back({"http://o" + std::to_string(i), i % 3 == 0 ? 1 : 2, "o", "E", 0, 0});
    test::writeSites(other, sites);
    std::vector<OpeningRead> opened;
    QObject::connect(&directory, &Directory::siteFileOpened,
                     [&](const OpeningRead& o) { opened.push_back(o); });
    int advances = 0;

    // A file that cannot be read changes nothing.
    EXPECT_FALSE(directory.openSiteFile(QString::fromStdString(elsewhere.file("none.kvl"))).ok());
    EXPECT_EQ(directory.state().siteFileName, QStringLiteral("weburl.kvl"));

    ASSERT_TRUE(directory.openSiteFile(QString::fromStdString(other), [&] { ++advances; }).ok());
    EXPECT_EQ(directory.state().siteFileName, QString::fromStdString(other));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].firstCategoryName, QStringLiteral("news"));
    EXPECT_EQ(opened[0].firstCategoryRows.size(), 34u);
    EXPECT_EQ(counts, std::vector<int64_t>{100});
    // 17 600 bytes make the bar move once, at the first record.
    EXPECT_EQ(advances, 1);

    ASSERT_TRUE(directory
                    .addSite({QStringLiteral("n"), QStringLiteral("http://n.example"),
                              QStringLiteral("E"), QStringLiteral("sport")})
                    .ok());
    EXPECT_EQ(test::readSites(other).size(), 101u);
    EXPECT_EQ(directory.categorySites(QStringLiteral("sport"), false)->size(), 67u);
    EXPECT_EQ(test::readSites(site).size(), 2u) << "the program folder's file is left alone";

    // The program folder's files go by their names, however they are given.
    ASSERT_TRUE(directory.openSiteFile(QString::fromStdString(site)).ok());
    EXPECT_EQ(directory.state().siteFileName, QStringLiteral("weburl.kvl"));
}

#include "data/SiteListing.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace korvalo;

TEST(StartupScan, countsEveryRecordAndTakesTheLastVersionAndPassword) {
    test::TempDir dir;
    const std::string path = dir.file("weburl.kvl");
    const std::string arabic = test::cp("عربي");
    test::writeSites(path, {
                               {"1.0", 5, "", "", 0, 0},
                               {"http://a.example", 1, "A", arabic, 0, 0},
                               {"pass", 0, "first", "", 0, 0},
                               {"http://b.example", 2, "B", arabic, 0, 0},
                               {"http://c.example", 1, "C", "E", 0, 3},
                               {"2.2", 5, "", "", 0, 0},
                               {"pass", 0, "second", "", 0, 0},
                           });
    test::writeFile(path, test::readFile(path) + "frag"); // a fragment is not a record

    const StartupScan scan = ScanSiteFileAtStartup(path, 5);
    ASSERT_TRUE(scan.opened);
    EXPECT_EQ(scan.siteCount, 7u);
    EXPECT_EQ(scan.versionLabel, "2.2");
    EXPECT_EQ(scan.storedPassword, "second");
    ASSERT_EQ(scan.firstCategoryRows.size(), 2u);
    EXPECT_EQ(scan.firstCategoryRows.url(0), "http://a.example");
    EXPECT_EQ(scan.firstCategoryRows.language(0), arabic);
    EXPECT_EQ(scan.firstCategoryRows.title(1), "C");
}

TEST(StartupScan, withoutAnInfoCategoryRecordsOfCategoryZeroAreVersionsButNotThePassword) {
    test::TempDir dir;
    const std::string path = dir.file("weburl.kvl");
    test::writeSites(path, {{"2.2", 0, "", "", 0, 0}, {"pass", 0, "secret", "", 0, 0}});
    const StartupScan scan = ScanSiteFileAtStartup(path, 0);
    EXPECT_EQ(scan.versionLabel, "2.2");
    EXPECT_EQ(scan.storedPassword, "secret");

    EXPECT_FALSE(ScanSiteFileAtStartup(dir.file("missing.kvl"), 0).opened);
}

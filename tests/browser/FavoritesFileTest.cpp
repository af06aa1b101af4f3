#include "browser/FavoritesFile.h"
#include "data/Records.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace korvalo;
using korvalo::test::fileExists;
using korvalo::test::readFile;
using korvalo::test::TempDir;
using korvalo::test::writeFile;

namespace {

class FavoritesFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        sites = {{"http://one.example", 1, "one", "E", 0, 0},
                 {"http://two.example", 2, test::cp("الثاني"), test::cp("عربي"), 0, 5},
                 {"http://two.example", 3, "second two", "E", 0, 0}};
        sitePath = dir.file("weburl.kvl");
        favoritesPath = dir.file("favorites.dat");
        std::string stored = test::encodeSites(sites);
        // Bytes after a text's terminator are copied as they are stored.
        stored[40] = '\x7f';
        writeFile(sitePath, stored);
    }

    std::string storedSite(size_t i) const {
        return readFile(sitePath).substr(i * kSiteRecordSize, kSiteRecordSize);
    }

    TempDir dir;
    std::vector<SiteRecord> sites;
    std::string sitePath;
    std::string favoritesPath;
};

} // namespace

TEST_F(FavoritesFileTest, addCopiesTheFirstMatchingRecordAsStoredWithTheUserMark) {
    AddFavoriteResult r = AddToFavorites(favoritesPath, sitePath, "http://two.example", 1);
    ASSERT_EQ(r.status, AddFavoriteStatus::Added);
    EXPECT_EQ(r.row.url, "http://two.example");
    EXPECT_EQ(r.row.title, test::cp("الثاني"));
    EXPECT_EQ(r.row.language, test::cp("عربي"));

    std::string expected = storedSite(1);
    expected[168] = 1; // the UserMark, little-endian and not shifted
    EXPECT_EQ(readFile(favoritesPath), expected);

    // No duplicate check: the same site again is a second record.
    ASSERT_EQ(AddToFavorites(favoritesPath, sitePath, "http://one.example", 7).status,
              AddFavoriteStatus::Added);
    ASSERT_EQ(AddToFavorites(favoritesPath, sitePath, "http://one.example", 7).status,
              AddFavoriteStatus::Added);
    const std::string file = readFile(favoritesPath);
    ASSERT_EQ(file.size(), 3 * kSiteRecordSize);
    std::string one = storedSite(0);
    one[168] = 7;
    EXPECT_EQ(file.substr(kSiteRecordSize), one + one);
    EXPECT_EQ(
        DecodeSiteRecord(reinterpret_cast<const uint8_t*>(file.data()) + kSiteRecordSize).UserMark,
        7);
}

TEST_F(FavoritesFileTest, unknownAddressesAndMissingFilesAddNothing) {
    // The comparison is exact: another letter case is another address.
    EXPECT_EQ(AddToFavorites(favoritesPath, sitePath, "http://ONE.example", 1).status,
              AddFavoriteStatus::NotFound);
    EXPECT_EQ(AddToFavorites(favoritesPath, sitePath, "http://one.example/", 1).status,
              AddFavoriteStatus::NotFound);
    EXPECT_FALSE(fileExists(favoritesPath)) << "nothing added, so no file either";

    EXPECT_EQ(
        AddToFavorites(favoritesPath, dir.file("missing.kvl"), "http://one.example", 1).status,
        AddFavoriteStatus::SiteFileNotOpened);
    EXPECT_FALSE(fileExists(favoritesPath));

    // A favourites file that cannot be created is reported before the site
    // file is looked at.
    EXPECT_EQ(AddToFavorites(dir.file("no/favorites.dat"), dir.file("missing.kvl"),
                             "http://one.example", 1)
                  .status,
              AddFavoriteStatus::FavoritesNotWritable);
}

TEST_F(FavoritesFileTest, aTrailingFragmentIsOverwrittenAndClearDeletesTheFile) {
    const std::string first = test::encodeSites({sites[0]});
    writeFile(favoritesPath, first + "half a rec");
    ASSERT_EQ(AddToFavorites(favoritesPath, sitePath, "http://two.example", 1).status,
              AddFavoriteStatus::Added);
    const std::string file = readFile(favoritesPath);
    ASSERT_EQ(file.size(), 2 * kSiteRecordSize);
    EXPECT_EQ(file.substr(0, kSiteRecordSize), first);
    EXPECT_EQ(storedSiteUrl(reinterpret_cast<const uint8_t*>(file.data()) + kSiteRecordSize),
              "http://two.example");

    EXPECT_TRUE(ClearFavorites(favoritesPath));
    EXPECT_FALSE(fileExists(favoritesPath));
    EXPECT_TRUE(ClearFavorites(favoritesPath)) << "a missing file is already clear";
    // The next add creates it again.
    ASSERT_EQ(AddToFavorites(favoritesPath, sitePath, "http://one.example", 1).status,
              AddFavoriteStatus::Added);
    EXPECT_EQ(readFile(favoritesPath).size(), kSiteRecordSize);
}

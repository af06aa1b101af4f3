#include "data/SiteListing.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace korvalo;
using Strings = std::vector<std::string>;

namespace {

Strings urlsOf(const SiteListingResult& listing) {
    Strings out;
    for (size_t i = 0; i < listing.rows.size(); ++i)
        out.push_back(std::string(listing.rows.url(i)));
    return out;
}

} // namespace

TEST(CategoryListing, aMainCategoryListsItsSubCategoriesSitesAndEachSubOnlyItsOwn) {
    test::TempDir dir;
    const std::string path = dir.file("weburl.kvl");
    const std::string arabic = test::cp("عربي");
    // Main 4 with subs 7 and 8; sub 9 has been deleted; main 5 is another one.
    test::writeSites(path, {{"pass", 0, "secret", "", 0, 0},
                            {"s7a", 4, "T7a", arabic, 1, 7},
                            {"own1", 4, "Own", "E", 0, 0},
                            {"other", 5, "O", "E", 0, 7},
                            {"s8", 4, "T8", "E", 0, 8},
                            {"own2", 4, "Own2", "E", 0, 0},
                            {"s9", 4, "orphan", "E", 0, 9},
                            {"s7b", 4, "T7b", "E", 0, 7}});
    test::writeFile(path, test::readFile(path) + "fragment");

    const SiteListingResult main = ListCategorySites(path, 4, false);
    ASSERT_TRUE(main.opened);
    EXPECT_EQ(urlsOf(main), (Strings{"s7a", "own1", "s8", "own2", "s9", "s7b"}));
    EXPECT_EQ(main.rows.language(0), arabic);
    EXPECT_EQ(main.rows.title(0), "T7a");

    EXPECT_EQ(urlsOf(ListCategorySites(path, 7, true)), (Strings{"s7a", "other", "s7b"}));
    EXPECT_EQ(urlsOf(ListCategorySites(path, 8, true)), (Strings{"s8"}));
    EXPECT_EQ(urlsOf(ListCategorySites(path, 7, false)), Strings{});
    // Id 0 would list the password record or every site filed directly
    // under a main category.
    EXPECT_TRUE(ListCategorySites(path, 0, false).rows.empty());
    EXPECT_TRUE(ListCategorySites(path, 0, true).rows.empty());
    EXPECT_FALSE(ListCategorySites(dir.file("absent.kvl"), 4, false).opened);
}

TEST(CategoryListing, aSubCategoryIsFoundByTheLastRecordOfItsName) {
    test::TempDir dir;
    const std::string path = dir.file("cate.dat");
    test::writeCategories(
        path, {{"S", 2, 0, 1, 0}, {"M", 1, 1, 0, 0}, {"S", 6, 0, 1, 0}, {"T", 7, 0, 1, 0}});
    EXPECT_EQ(FindLastCategoryIdByName(path, "S"), 6);
    EXPECT_EQ(FindLastCategoryIdByName(path, "s"), 0);
    EXPECT_EQ(FindLastCategoryIdByName(path, "absent"), 0);
    EXPECT_FALSE(FindLastCategoryIdByName(dir.file("absent.dat"), "S"));
}

// A list's memory is kept for the next one, whose texts then lie over the
// longer ones the last list left there.
TEST(CategoryListing, aListingAfterALongerOneHoldsOnlyItsOwnTexts) {
    test::TempDir dir;
    const std::string path = dir.file("weburl.kvl");
    std::vector<SiteRecord> sites;
    for (int i = 0; i < 300; ++i)
        sites.push_back(
            i % 3 ? SiteRecord{std::string(79, char('a' + i % 26)), 1, std::string(74, 'T'),
                               "Language", 0, 0}
                  : SiteRecord{std::string(1 + i % 2, 'u'), 2, i % 2 ? "" : "t", "", 0, 0});
    test::writeSites(path, sites);
    EXPECT_EQ(ListCategorySites(path, 1, false).rows.size(), 200u);
    const SiteListingResult shorter = ListCategorySites(path, 2, false);
    ASSERT_EQ(shorter.rows.size(), 100u);
    for (size_t row = 0; row < 100; ++row) {
        const SiteRecord& site = sites[row * 3];
        EXPECT_EQ(shorter.rows.url(row), site.Url) << row;
        EXPECT_EQ(shorter.rows.title(row), site.Title) << row;
        EXPECT_EQ(shorter.rows.language(row), "") << row;
    }
}

#include "search/LocalSearch.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace korvalo;
using test::cp;
using Strings = std::vector<std::string>;

namespace {

Strings urlsOf(const SiteSearchResult& result) {
    Strings out;
    for (size_t i = 0; i < result.rows.size(); ++i)
        out.push_back(std::string(result.rows.url(i)));
    return out;
}

// A site file and a category file in a folder of their own.
class LocalSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeCategories(cate, {{cp("أخبار"), 1, 1, 0, 0},
                                     {cp("محلية"), 3, 0, 1, 0},
                                     {cp("رياضة"), 2, 1, 0, 0},
                                     {cp("مكرر"), 2, 1, 0, 0}});
    }

    Strings find(const char* utf8Query, SearchScope scope = SearchScope::Description) {
        const SiteSearchResult r = SearchSites(site, cate, cp(utf8Query), scope);
        EXPECT_EQ(r.status, SiteSearchResult::Status::Done) << utf8Query;
        return urlsOf(r);
    }

    test::TempDir dir;
    const std::string site = dir.file("weburl.kvl");
    const std::string cate = dir.file("cate.dat");
};

} // namespace

TEST(SearchText, foldingChangesOnlyTheHamzaFormsTaMarbutaAndTheStretchingLetter) {
    EXPECT_EQ(FoldSearchText(cp("أإآ")), cp("ااا"));
    EXPECT_EQ(FoldSearchText(cp("مؤتمر")), cp("موتمر"));
    EXPECT_EQ(FoldSearchText(cp("مدرسة")), cp("مدرسه"));
    EXPECT_EQ(FoldSearchText(cp("مـــدرســة")), cp("مدرسه"));
    EXPECT_EQ(FoldSearchText(cp("ـــ")), "");
    // Every other byte, Latin case included, comes through unchanged.
    for (int b = 1; b < 256; ++b) {
        if (b == 0xC2 || b == 0xC3 || b == 0xC4 || b == 0xC5 || b == 0xC9 || b == 0xDC)
            continue;
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(FoldSearchText(one), one) << "byte " << b;
    }
    EXPECT_EQ(FoldSearchText(cp("هيئة ى ء")), cp("هيئه ى ء"));
}

TEST(SearchText, upperCasingTouchesOnlyTheAsciiLettersAndTheQueryIsUpperCasedAndFolded) {
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string expected(1, static_cast<char>(b >= 'a' && b <= 'z' ? b - 32 : b));
        EXPECT_EQ(upperCaseAscii(one), expected) << "byte " << b;
    }
    EXPECT_EQ(prepareSearchQuery(cp("abc أحمـد Xy")), cp("ABC احمد XY"));
}

TEST_F(LocalSearchTest, descriptionScopeFindsTheSpellingVariantsOfAWord) {
    test::writeSites(site, {{"u-ahmad-hamza", 1, cp("موقع أحمد"), "", 0, 0},
                            {"u-ahmad-plain", 1, cp("احمد للتجارة"), "", 0, 0},
                            {"u-school-ta", 1, cp("مدرسة النور"), "", 0, 0},
                            {"u-school-ha", 1, cp("مدرسه النور"), "", 0, 0},
                            {"u-school-stretched", 1, cp("مـــدرسة"), "", 0, 0},
                            {"u-ya", 1, cp("هيية"), "", 0, 0},
                            {"u-latin", 1, "The ABC site", "", 0, 0},
                            {"u-waw-ha", 1, cp("x وه"), "", 0, 0},
                            {"u-hamza-waw-ta", 1, cp("y ؤة"), "", 0, 0},
                            {"u-waw-ta", 1, cp("z وة"), "", 0, 0},
                            {"http://ahmad.example", 1, "no match here", "", 0, 0}});

    const Strings ahmad{"u-ahmad-hamza", "u-ahmad-plain"};
    EXPECT_EQ(find("أحمد"), ahmad);
    EXPECT_EQ(find("احمد"), ahmad);
    const Strings school{"u-school-ta", "u-school-ha", "u-school-stretched"};
    EXPECT_EQ(find("مدرسة"), school);
    EXPECT_EQ(find("مدرسه"), school);
    EXPECT_EQ(find("مـــدرسة"), school);
    EXPECT_EQ(find("abc"), Strings{"u-latin"});
    // Queries whose every letter has several stored spellings.
    EXPECT_EQ(find("آحمد"), ahmad);
    EXPECT_EQ(find("ؤة"), (Strings{"u-waw-ha", "u-hamza-waw-ta", "u-waw-ta"}));
    EXPECT_EQ(find("وه"), (Strings{"u-waw-ha", "u-hamza-waw-ta", "u-waw-ta"}));
    EXPECT_EQ(find("ahmad"), Strings{}) << "the description scope looks only at descriptions";
    EXPECT_EQ(find("هيئة"), Strings{}) << "ئ is not folded to ي";

    // A query of only stretching letters prepares to nothing and matches
    // nothing, though the file was opened.
    const SiteSearchResult stretched = SearchSites(site, cate, cp("ــ"), SearchScope::Description);
    EXPECT_TRUE(stretched.opened());
    EXPECT_TRUE(stretched.rows.empty());
}

TEST_F(LocalSearchTest, addressScopeIgnoresLatinCaseButFoldsNoArabicInTheAddress) {
    test::writeSites(site, {{"http://ABC.example", 1, "x", "", 0, 0},
                            {"http://www.abc.example", 1, "x", "", 0, 0},
                            {"http://Abc.example/path", 1, "x", "", 0, 0},
                            {"http://ab.example", 1, "abc", "", 0, 0},
                            {cp("http://أحمد.example"), 1, "x", "", 0, 0}});

    EXPECT_EQ(find("abc", SearchScope::Address),
              (Strings{"http://ABC.example", "http://www.abc.example", "http://Abc.example/path"}));
    EXPECT_EQ(find("أحمد", SearchScope::Address), Strings{})
        << "the query is folded, the address is not";
}

TEST_F(LocalSearchTest, matchesReachTheLastByteOfAFullField) {
    const std::string fullTitle = std::string(71, 'x') + "END";           // 74 bytes
    const std::string fullUrl = "http://" + std::string(69, 'y') + "END"; // 79 bytes
    test::writeSites(site, {{fullUrl, 1, fullTitle, "", 0, 0}});
    EXPECT_EQ(find("end").size(), 1u);
    EXPECT_EQ(find("end", SearchScope::Address).size(), 1u);
    EXPECT_EQ(find("xend").size(), 1u);
}

TEST_F(LocalSearchTest, rowsCarryTheMainCategoryNameAndTheTextsAsStored) {
    test::writeSites(site, {{"pass", 0, "secret word", "", 0, 0},
                            {"u-sub", 1, cp("Word مدرسة"), "", 0, 3},
                            {"u-dup-id", 2, "word", "", 0, 0},
                            {"u-no-category", 77, "WORD", "", 0, 0},
                            {"u-sub", 1, cp("Word مدرسة"), "", 0, 3}});

    const SiteSearchResult r = SearchSites(site, cate, "word", SearchScope::Description);
    ASSERT_EQ(r.status, SiteSearchResult::Status::Done);
    EXPECT_EQ(urlsOf(r), (Strings{"pass", "u-sub", "u-dup-id", "u-no-category", "u-sub"}))
        << "every record counts, in file order, a site stored twice twice";
    // A site filed under a sub-category carries its main category's Id.
    EXPECT_EQ(r.rows.categoryName(1), cp("أخبار"));
    EXPECT_EQ(r.rows.title(1), cp("Word مدرسة")) << "not folded or upper-cased";
    EXPECT_EQ(r.rows.categoryName(2), cp("رياضة")) << "the first record with the Id wins";
    EXPECT_EQ(r.rows.categoryName(3), "");
    EXPECT_EQ(r.rows.categoryName(0), "");
}

TEST_F(LocalSearchTest, missingFilesGiveTheirOwnStatus) {
    const SiteSearchResult noSites = SearchSites(site, cate, "a", SearchScope::Address);
    EXPECT_EQ(noSites.status, SiteSearchResult::Status::SiteFileUnreadable);
    EXPECT_FALSE(noSites.opened());

    test::writeSites(site, {{"http://a.example", 1, "t", "", 0, 0}});
    const std::string gone = dir.file("no-cate.dat");
    const SiteSearchResult noCategories = SearchSites(site, gone, "a", SearchScope::Address);
    EXPECT_EQ(noCategories.status, SiteSearchResult::Status::CategoryFileMissing);
    EXPECT_TRUE(noCategories.rows.empty());
    // The category file is read only for a match.
    const SiteSearchResult noMatch = SearchSites(site, gone, "zzz", SearchScope::Address);
    EXPECT_EQ(noMatch.status, SiteSearchResult::Status::Done);
    EXPECT_TRUE(noMatch.rows.empty());
}

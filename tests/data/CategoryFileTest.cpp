#include "data/CategoryFile.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace korvalo;
using Strings = std::vector<std::string>;

namespace {

CategoryRecord mainCat(const std::string& name, int id) {
    return {name, id, 1, 0, 0};
}
CategoryRecord subCat(const std::string& name, int id, int parent) {
    return {name, id, 0, parent, 0};
}

} // namespace

TEST(CategoryTree, mainsInFileOrderEachFollowedByItsChildren) {
    test::TempDir dir;
    test::writeCategories(dir.file("cate.dat"),
                          {mainCat("A", 1), mainCat("B", 2), subCat("C", 3, 1), subCat("D", 4, 2),
                           subCat("E", 5, 1)});
    const auto tree = ReadCategoryTree(dir.file("cate.dat"));
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->mains.size(), 2u);
    EXPECT_EQ(tree->mains[0].name, "A");
    EXPECT_EQ(tree->mains[0].children, (Strings{"C", "E"}));
    EXPECT_EQ(tree->mains[1].name, "B");
    EXPECT_EQ(tree->mains[1].children, (Strings{"D"}));
    EXPECT_EQ(tree->flat, (Strings{"A", "C", "E", "B", "D"}));
    EXPECT_EQ(tree->names, tree->flat);
}

TEST(CategoryTree, infoOrphansAndSharedIdsFollowTheListingRules) {
    test::TempDir dir;
    test::writeCategories(dir.file("cate.dat"),
                          {mainCat("info", 1), mainCat("A", 2), subCat("info", 3, 2),
                           subCat("orphan", 4, 9), subCat("under-info", 5, 1), mainCat("A2", 2),
                           subCat("X", 6, 2)});
    const auto tree = ReadCategoryTree(dir.file("cate.dat"));
    ASSERT_TRUE(tree);
    // The main "info" is hidden and so are its children; a sub-category named
    // "info" is shown but is not in the working list; both mains with Id 2
    // get every child of 2.
    EXPECT_EQ(tree->flat, (Strings{"A", "info", "X", "A2", "info", "X"}));
    EXPECT_EQ(tree->names, (Strings{"A", "X", "A2", "X"}));
}

TEST(CategoryTree, emptyAndMissingFiles) {
    test::TempDir dir;
    test::writeFile(dir.file("cate.dat"), "");
    const auto empty = ReadCategoryTree(dir.file("cate.dat"));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->mains.empty());
    EXPECT_FALSE(ReadCategoryTree(dir.file("missing.dat")));
}

TEST(CategoryLookups, firstMatchByExactNameAndMissingFile) {
    test::TempDir dir;
    const std::string path = dir.file("cate.dat");
    const std::string news = test::cp("أخبار");
    test::writeCategories(path, {mainCat(news, 4), subCat("Sub", 7, 4), subCat(news, 9, 4),
                                 mainCat("Dup", 11), mainCat("Dup", 12)});

    EXPECT_EQ(FindCategoryId(path, news), 4);
    EXPECT_EQ(IsRootCategory(path, news), 1);
    EXPECT_EQ(FindParentId(path, "Sub"), 4);
    EXPECT_EQ(IsRootCategory(path, "Sub"), 0);
    EXPECT_EQ(FindCategoryId(path, "Dup"), 11);
    EXPECT_EQ(FindCategoryId(path, "dup"), 0) << "names compare byte for byte";
    EXPECT_EQ(FindCategoryId(path, "Du"), 0);
    EXPECT_EQ(FindCategoryId(path, "nothing"), 0);

    const auto name = FindCategoryName(path, 9);
    EXPECT_TRUE(name.opened);
    EXPECT_EQ(name.name, news);
    EXPECT_FALSE(FindCategoryName(path, 1).name);

    const std::string missing = dir.file("absent.dat");
    EXPECT_FALSE(FindCategoryId(missing, news));
    EXPECT_FALSE(IsRootCategory(missing, news));
    EXPECT_FALSE(FindParentId(missing, news));
    EXPECT_FALSE(FindCategoryName(missing, 4).opened);
}

TEST(CategoryLookups, aSiteIsFiledByTheLastRecordOfItsCategoryName)
{
    test::TempDir dir;
    const std::string path = dir.file("cate.dat");
    test::writeCategories(path, {mainCat("A", 1), subCat("S", 5, 1), mainCat("B", 2),
                                 subCat("B", 7, 1), mainCat("S", 9)});
    EXPECT_EQ(ResolveSiteCategory(path, "A")->categoryId, 1);
    EXPECT_EQ(ResolveSiteCategory(path, "A")->subCategoryId, 0);
    const auto b = ResolveSiteCategory(path, "B"); // the sub-category comes last
    EXPECT_EQ(b->categoryId, 1);
    EXPECT_EQ(b->subCategoryId, 7);
    EXPECT_EQ(ResolveSiteCategory(path, "S")->categoryId, 9);
    EXPECT_EQ(ResolveSiteCategory(path, "S")->subCategoryId, 0);
    EXPECT_EQ(ResolveSiteCategory(path, "none")->categoryId, 0);
    EXPECT_FALSE(ResolveSiteCategory(dir.file("absent"), "A"));
}

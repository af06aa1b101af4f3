#include "data/CategoryEdit.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <limits>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvalo;

namespace {

CategoryRecord mainCat(const std::string& name, int32_t id) {
    return {name, id, 1, 0, 0};
}
CategoryRecord subCat(const std::string& name, int32_t id, int32_t parent) {
    return {name, id, 0, parent, 0};
}
SiteRecord site(const std::string& url, int32_t category, int32_t sub = 0) {
    return {url, category, "t", "E", 1, sub};
}

// A program directory with "cate.dat", the site file and, unless told
// otherwise, the "temp" folder for the scratch file.
struct ProgramDir {
    test::TempDir dir;
    std::string prog = dir.path() + "/";
    std::string cate = prog + "cate.dat";
    SiteFile sites{prog, "weburl.kvl"};

    ProgramDir(const std::vector<CategoryRecord>& categories, const std::vector<SiteRecord>& s,
               bool withTemp = true) {
        if (withTemp)
            ::mkdir((prog + "temp").c_str(), 0755);
        test::writeCategories(cate, categories);
        test::writeSites(sites.path(), s);
    }
    std::vector<CategoryRecord> categories() const {
        std::vector<CategoryRecord> out;
        const std::string bytes = test::readFile(cate);
        for (size_t at = 0; at + kCategoryRecordSize <= bytes.size(); at += kCategoryRecordSize)
            out.push_back(
                DecodeCategoryRecord(reinterpret_cast<const uint8_t*>(bytes.data()) + at));
        return out;
    }
    std::vector<std::string> siteUrls() const {
        std::vector<std::string> out;
        for (const SiteRecord& s : sites.ReadSites().value_or(std::vector<SiteRecord>{}))
            out.push_back(s.Url);
        return out;
    }
};

} // namespace

TEST(CategoryAdd, idsAreLargestPlusOneOverMainAndSubAndParentIsTheFirstNamed) {
    ProgramDir empty({}, {});
    AddCategoryResult r = AddCategory(empty.cate, "First", false, "", 1);
    ASSERT_EQ(r.status, AddCategoryStatus::Added) << r.error;
    EXPECT_EQ(empty.categories(), (std::vector<CategoryRecord>{{"First", 1, 1, 0, 1}}));

    ProgramDir p({mainCat("A", 3), subCat("S", 9, 3), mainCat("A", 5)}, {});
    test::writeFile(p.cate, test::readFile(p.cate) + "frag"); // overwritten, not written after
    r = AddCategory(p.cate, "New", true, "A", 7);
    ASSERT_EQ(r.status, AddCategoryStatus::Added) << r.error;
    EXPECT_EQ(r.id, 10);
    EXPECT_EQ(r.parentId, 3);
    r = AddCategory(p.cate, "Main", false, "A", 1);
    EXPECT_EQ(r.id, 11);
    EXPECT_EQ(p.categories(), (std::vector<CategoryRecord>{mainCat("A", 3),
                                                           subCat("S", 9, 3),
                                                           mainCat("A", 5),
                                                           {"New", 10, 0, 3, 7},
                                                           {"Main", 11, 1, 0, 1}}));
}

TEST(CategoryAdd, refusalsAndFailuresWriteNothing) {
    EXPECT_EQ(checkAddCategoryChoice(true, true, false, false), AddCategoryRefusal::EmptyName);
    EXPECT_EQ(checkAddCategoryChoice(false, true, false, false),
              AddCategoryRefusal::NoMainSelected);
    EXPECT_EQ(checkAddCategoryChoice(false, true, true, false),
              AddCategoryRefusal::SubOfSubCategory);
    EXPECT_EQ(checkAddCategoryChoice(false, false, true, false), AddCategoryRefusal::None);

    ProgramDir p({mainCat("A", 1)}, {});
    const std::string before = test::readFile(p.cate);
    EXPECT_EQ(AddCategory(p.cate, std::string(70, 'n'), false, "", 1).status,
              AddCategoryStatus::InvalidName);
    EXPECT_EQ(AddCategory(p.cate, std::string("a\0b", 3), false, "", 1).status,
              AddCategoryStatus::InvalidName);
    EXPECT_EQ(test::readFile(p.cate), before);
    EXPECT_EQ(AddCategory(p.prog + "absent.dat", "X", false, "", 1).status,
              AddCategoryStatus::CannotRead);
    EXPECT_FALSE(test::fileExists(p.prog + "absent.dat.lock"));

    // A write cut short by the file size limit: the append is cut back.
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{before.size() + 40, before.size() + 40};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        _exit(static_cast<int>(AddCategory(p.cate, "X", false, "", 1).status));
    }
    int wstatus = 0;
    ASSERT_EQ(::waitpid(child, &wstatus, 0), child);
    EXPECT_EQ(WEXITSTATUS(wstatus), static_cast<int>(AddCategoryStatus::CannotAppend));
    EXPECT_EQ(test::readFile(p.cate), before);

    test::writeCategories(p.cate, {mainCat("Top", std::numeric_limits<int32_t>::max())});
    EXPECT_EQ(AddCategory(p.cate, "X", false, "", 1).status, AddCategoryStatus::NoFreeId);
    EXPECT_EQ(p.categories().size(), 1u);
}

TEST(CategoryRename, changesOnlyTheFirstNamedRecordAndKeepsEveryOtherByte) {
    ProgramDir p({mainCat("X", 1), subCat("X", 2, 1), mainCat("Y", 3)}, {});
    std::string before = test::readFile(p.cate);
    before[70] = '\x11'; // padding and bytes after a NUL carry no meaning but stay as they were
    before[88 + 60] = '\x22';
    test::writeFile(p.cate, before);

    const std::string renamed = std::string(69, 'R');
    DataFileResult r = RenameCategory(p.cate, p.sites.scratchPath(), "X", renamed);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(r.replaced);
    std::string expected = before;
    expected.replace(0, kNameWidth, test::encodeCategories({mainCat(renamed, 1)}), 0, kNameWidth);
    EXPECT_EQ(test::readFile(p.cate), expected);
    EXPECT_TRUE(test::fileExists(p.sites.scratchPath()));

    r = RenameCategory(p.cate, p.sites.scratchPath(), "Y", std::string(70, 'L'));
    EXPECT_EQ(r.status, DataFileStatus::InvalidRecord);
    ASSERT_TRUE(r.fieldError);
    EXPECT_EQ(r.fieldError->problem, FieldError::TooLong);
    EXPECT_EQ(RenameCategory(p.cate, p.sites.scratchPath(), "Y", std::string("a\0b", 3)).status,
              DataFileStatus::InvalidRecord);
    r = RenameCategory(p.cate, p.sites.scratchPath(), "absent", "Z");
    EXPECT_TRUE(r.ok());
    EXPECT_FALSE(r.replaced);
    EXPECT_EQ(test::readFile(p.cate), expected);
}

TEST(CategoryDelete, removesEveryNamedRecordAndTheMainCategorysSitesEvenInSubCategories) {
    ProgramDir p({mainCat("X", 1), subCat("S", 2, 1), mainCat("X", 3), mainCat("K", 4)},
                 {site("pass", 0), site("a", 1, 2), site("b", 4), site("c", 1, 2)});
    EXPECT_TRUE(CategoryHasSites(p.sites.path(), 1).hasSites) << "all its sites are in S";
    EXPECT_FALSE(CategoryHasSites(p.sites.path(), 3).hasSites);
    EXPECT_FALSE(CategoryHasSites(p.sites.path(), 0).hasSites) << "0 names no category";
    EXPECT_FALSE(CategoryHasSites(p.prog + "absent.kvl", 1).opened);

    int asked = 0;
    DeleteCategoryResult r = DeleteCategory(p.cate, p.sites, "X", [&] { return ++asked, false; });
    EXPECT_EQ(r.status, DeleteCategoryStatus::Declined);
    EXPECT_EQ(p.categories().size(), 4u);

    r = DeleteCategory(p.cate, p.sites, "X", [&] { return ++asked, true; });
    ASSERT_EQ(r.status, DeleteCategoryStatus::Deleted);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(r.categories.removed, 2u);
    EXPECT_EQ(p.categories(), (std::vector<CategoryRecord>{subCat("S", 2, 1), mainCat("K", 4)}));
    ASSERT_TRUE(r.sites);
    EXPECT_EQ(r.sites->count, 2u) << "the new site count";
    EXPECT_EQ(p.siteUrls(), (std::vector<std::string>{"pass", "b"}));

    // A name no longer in the file has Id 0: nothing is asked and the
    // password record, filed under 0, stays.
    r = DeleteCategory(p.cate, p.sites, "gone", [&] { return ++asked, true; });
    EXPECT_EQ(r.status, DeleteCategoryStatus::Deleted);
    EXPECT_FALSE(r.sites);
    EXPECT_EQ(p.siteUrls(), (std::vector<std::string>{"pass", "b"}));
}

TEST(CategoryDelete, aSubCategoryTakesNoSiteAndFailuresChangeNothing) {
    ProgramDir p({mainCat("M", 1), subCat("S", 2, 1)}, {site("a", 1, 2), site("b", 1)});
    DeleteCategoryResult r = DeleteCategory(p.cate, p.sites, "S", [] { return true; });
    ASSERT_EQ(r.status, DeleteCategoryStatus::Deleted);
    EXPECT_TRUE(r.hadSites) << "the question is still asked";
    EXPECT_EQ(p.categories(), (std::vector<CategoryRecord>{mainCat("M", 1)}));
    EXPECT_EQ(p.siteUrls(), (std::vector<std::string>{"a", "b"}));

    ProgramDir noTemp({mainCat("M", 1), subCat("X", 2, 1)}, {site("a", 1)}, false);
    const std::string cate = test::readFile(noTemp.cate);
    const std::string sites = test::readFile(noTemp.sites.path());
    r = DeleteCategory(noTemp.cate, noTemp.sites, "M", [] { return true; });
    EXPECT_EQ(r.status, DeleteCategoryStatus::SiteRemovalFailed);
    ASSERT_TRUE(r.sites);
    EXPECT_EQ(r.sites->status, DataFileStatus::ScratchFailed);
    EXPECT_EQ(DeleteCategory(noTemp.cate, noTemp.sites, "X", {}).status,
              DeleteCategoryStatus::CategoryRewriteFailed);
    EXPECT_EQ(RenameCategory(noTemp.cate, noTemp.sites.scratchPath(), "M", "N").status,
              DataFileStatus::ScratchFailed);
    EXPECT_EQ(test::readFile(noTemp.cate), cate);
    EXPECT_EQ(test::readFile(noTemp.sites.path()), sites);

    ::unlink(noTemp.sites.path().c_str());
    EXPECT_EQ(DeleteCategory(noTemp.cate, noTemp.sites, "M", {}).status,
              DeleteCategoryStatus::SiteFileNotOpened);
    test::writeSites(noTemp.sites.path(), {});
    ::unlink(noTemp.cate.c_str());
    EXPECT_EQ(DeleteCategory(noTemp.cate, noTemp.sites, "M", {}).status,
              DeleteCategoryStatus::CategoryFileNotOpened);
}

// The sites go before the category records: a delete cut short between the
// two leaves the category in the tree, to be deleted again, and never sites
// whose category is gone.
TEST(CategoryDelete, theSitesGoFirstSoAnInterruptedDeleteCanBeRepeated) {
    std::vector<SiteRecord> many;
    for (int i = 0; i < 40; ++i)
        many.push_back(site("http://s" + std::to_string(i), i % 2 ? 1 : 3));
    ProgramDir p({mainCat("M", 1), subCat("S", 2, 1), mainCat("K", 3)}, many);
    const std::string cate = test::readFile(p.cate);
    const std::string sites = test::readFile(p.sites.path());

    // A file size limit that "cate.dat" fits under and the site file does not.
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{cate.size() + 1000, cate.size() + 1000};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        _exit(static_cast<int>(DeleteCategory(p.cate, p.sites, "M", [] { return true; }).status));
    }
    int wstatus = 0;
    ASSERT_EQ(::waitpid(child, &wstatus, 0), child);
    EXPECT_EQ(WEXITSTATUS(wstatus), static_cast<int>(DeleteCategoryStatus::SiteRemovalFailed));
    EXPECT_EQ(test::readFile(p.cate), cate) << "the category went while its sites stayed";
    EXPECT_EQ(test::readFile(p.sites.path()), sites);

    const DeleteCategoryResult r = DeleteCategory(p.cate, p.sites, "M", [] { return true; });
    ASSERT_EQ(r.status, DeleteCategoryStatus::Deleted);
    ASSERT_TRUE(r.sites);
    EXPECT_EQ(r.sites->count, 20u);
    EXPECT_EQ(p.categories(), (std::vector<CategoryRecord>{subCat("S", 2, 1), mainCat("K", 3)}));
}

#include "browser/FavoritesFile.h"
#include "data/CategoryEdit.h"
#include "data/CategoryFile.h"
#include "data/SiteListing.h"
#include "platform/RegistryFile.h"
#include "search/LocalSearch.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvalo;

namespace {

// A program directory whose "cate.dat" and site file can be swapped for
// things that are not plain readable files.
struct ProgramDir {
    test::TempDir dir;
    std::string prog = dir.path() + "/";
    std::string cate = prog + "cate.dat";
    SiteFile sites{prog, "weburl.kvl"};

    ProgramDir() {
        ::mkdir((prog + "temp").c_str(), 0755);
        test::writeCategories(cate, {{"A", 1, 1, 0, 0}, {"S", 2, 0, 1, 0}});
        test::writeSites(sites.path(),
                         {{"http://a", 1, "a", "E", 0, 2}, {"pass", 0, "pw", "", 0, 0}});
    }
    // Makes path a regular file whose every read fails with EIO: this
    // process's memory, read at address 0, which is never mapped.
    void failReads(const std::string& path) const {
        ::unlink(path.c_str());
        ASSERT_EQ(::symlink("/proc/self/mem", path.c_str()), 0);
    }
};

} // namespace

// A read that fails is the file that cannot be opened, never an empty one.
TEST(ReadFailure, everyReaderTakesAFailedReadForAFileThatCannotBeOpened) {
    ProgramDir p;
    const std::string sitesBefore = test::readFile(p.sites.path());
    p.failReads(p.cate);
    EXPECT_FALSE(FindCategoryId(p.cate, "A"));
    EXPECT_FALSE(IsRootCategory(p.cate, "A"));
    EXPECT_FALSE(FindParentId(p.cate, "S"));
    EXPECT_FALSE(ResolveSiteCategory(p.cate, "S"));
    EXPECT_FALSE(FindCategoryName(p.cate, 1).opened);
    EXPECT_FALSE(ReadCategoryTree(p.cate));
    EXPECT_EQ(SearchSites(p.sites.path(), p.cate, "HTTP", SearchScope::Address).status,
              SiteSearchResult::Status::CategoryFileMissing);
    // The delete must not take the failed read for a category without sites.
    EXPECT_EQ(DeleteCategory(p.cate, p.sites, "A", [] { return true; }).status,
              DeleteCategoryStatus::CategoryFileNotOpened);
    EXPECT_EQ(test::readFile(p.sites.path()), sitesBefore);

    // The start-up read must not come up without the stored password.
    p.failReads(p.sites.path());
    EXPECT_FALSE(ScanSiteFileAtStartup(p.sites.path(), 0).opened);
    p.failReads(p.prog + "favorites.dat");
    EXPECT_TRUE(ReadSiteRows(p.prog + "favorites.dat").empty());
}

// A folder, a FIFO or a device in place of a data file is refused at once
// as a file that cannot be opened: a FIFO would otherwise block for ever.
TEST(ReadFailure, onlyRegularFilesAreDataFiles) {
    ProgramDir p;
    const std::string favorites = p.prog + "favorites.dat";
    const std::string registry = p.prog + "registry.reg";
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(10);
        bool allRefused = true;
        auto refused = [&](bool ok, const char* what) {
            if (!ok)
                std::fprintf(stderr, "taken for a data file: %s\n", what);
            allRefused = allRefused && ok;
        };
        ::unlink(p.cate.c_str());
        ::mkdir(p.cate.c_str(), 0755);
        refused(!ReadCategoryTree(p.cate) && !FindCategoryId(p.cate, "A"), "cate.dat folder");
        ::unlink(p.sites.path().c_str());
        ::mkdir(p.sites.path().c_str(), 0755);
        refused(!ScanSiteFileAtStartup(p.sites.path(), 0).opened, "site file folder");
        ::rmdir(p.sites.path().c_str());
        ::symlink("/dev/null", p.sites.path().c_str());
        refused(!ScanSiteFileAtStartup(p.sites.path(), 0).opened, "site file device");
        ::unlink(p.sites.path().c_str());
        ::mkfifo(p.sites.path().c_str(), 0644);
        refused(!ScanSiteFileAtStartup(p.sites.path(), 0).opened, "site file FIFO");
        refused(!p.sites.AppendSite({"http://b", 1, "b", "E", 0, 0}).ok(), "append to a FIFO");
        refused(!p.sites.RemoveSites("http://a").ok(), "rewrite of a FIFO");
        ::mkfifo(favorites.c_str(), 0644);
        refused(ReadSiteRows(favorites).empty(), "favorites FIFO");
        refused(AddToFavorites(favorites, p.sites.path(), "http://a", 1).status ==
                    AddFavoriteStatus::FavoritesNotWritable,
                "add to a favorites FIFO");
        ::mkfifo(registry.c_str(), 0644);
        refused(!RegistryFile(QString::fromStdString(registry))
                     .value(RegRoot::Users, QStringLiteral("K"), QStringLiteral("V")),
                "registry FIFO");
        ::_exit(allRefused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_FALSE(WIFSIGNALED(status)) << "a reader blocked on a FIFO";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a reader took a folder, FIFO or device for a data file";
}

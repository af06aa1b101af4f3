#include "platform/AtomicFile.h"
#include "data/SiteFile.h"
#include "platform/RegistryFile.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <fcntl.h>
#include <functional>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvalo;

namespace {

mode_t modeOf(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

bool isLink(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Runs body in a forked child and returns its exit code (-1 when it died).
int inChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A writer that dies before its commit, leaving its temporary file behind.
void killedWriter(const std::string& path) {
    const int code = inChild([&] {
        AtomicWriter w(path);
        if (w.open() && w.write("new"))
            ::_exit(0);
        return 1;
    });
    ASSERT_EQ(code, 0) << path;
}

} // namespace

TEST(StaleTemporaries, onlyTheFilesOfKilledWritersGo) {
    test::TempDir dir;
    const std::string site = dir.file("weburl.kvl");
    // The user's own copies, named like the data files, are not ours to remove.
    const char* kept[] = {"weburl.kvl",      "weburl.kvl.backup", "weburl.kvl.a1B2c3",
                          "weburl.kvl.lock", "cate.dat.2024v1",   "weburl.kvl.abcdefg"};
    for (const char* name : kept)
        test::writeFile(dir.file(name), "x");
    killedWriter(site);
    killedWriter(dir.file("cate.dat"));
    EXPECT_EQ(removeStaleTemporaries(site), 1);
    EXPECT_EQ(removeStaleTemporaries(dir.file("cate.dat")), 1);
    for (const char* name : kept)
        EXPECT_EQ(test::readFile(dir.file(name)), "x") << name;
    EXPECT_EQ(removeStaleTemporaries(site), 0);
}

// A data or settings file kept as a link (a dotfile manager's) stays a link.
TEST(AtomicReplace, aLinkedFileKeepsItsLinkAndItsTargetGetsTheNewContent) {
    test::TempDir dir;
    ::mkdir(dir.file("store").c_str(), 0755);
    ::mkdir(dir.file("prog").c_str(), 0755);
    ::mkdir(dir.file("prog/temp").c_str(), 0755);

    const std::string reg = dir.file("prog/registry.reg");
    ASSERT_EQ(::symlink("../store/registry.reg", reg.c_str()), 0);
    RegistryFile registry(QString::fromStdString(reg));
    ASSERT_TRUE(registry.setString(RegRoot::Users, QStringLiteral("K"), QStringLiteral("V"),
                                   QStringLiteral("1")));
    EXPECT_TRUE(isLink(reg));
    EXPECT_NE(test::readFile(dir.file("store/registry.reg")).find("\"V\"=\"1\""),
              std::string::npos);

    test::writeSites(dir.file("store/weburl.kvl"), {{"http://a", 1, "a", "E", 0, 0}});
    ASSERT_EQ(::symlink(dir.file("store/weburl.kvl").c_str(), dir.file("prog/weburl.kvl").c_str()),
              0);
    const SiteFile sites(dir.file("prog/"), "weburl.kvl");
    ASSERT_TRUE(sites.RemoveSites("http://a").ok());
    EXPECT_TRUE(isLink(sites.path()));
    EXPECT_EQ(test::readFile(dir.file("store/weburl.kvl")), "");
    // A killed writer's temporary lies beside the target, and goes from there.
    killedWriter(sites.path());
    EXPECT_EQ(removeStaleTemporaries(sites.path()), 1);
}

TEST(AtomicReplace, newFilesFollowTheUmaskAndARewriteKeepsTheMode) {
    test::TempDir dir;
    const mode_t saved = ::umask(077);
    const bool written = atomicReplace(dir.file("registry.reg"), "secret");
    const uint8_t record[kSiteRecordSize] = {};
    AppendOptions create;
    create.createIfMissing = true;
    const bool appended =
        appendRecord(dir.file("favorites.dat"), record, kSiteRecordSize, create).ok();
    ::umask(saved);
    ASSERT_TRUE(written && appended);
    EXPECT_EQ(modeOf(dir.file("registry.reg")), 0600u);
    EXPECT_EQ(modeOf(dir.file("favorites.dat")), 0600u);
    EXPECT_EQ(modeOf(dir.file("favorites.dat.lock")), 0600u);

    ::chmod(dir.file("registry.reg").c_str(), 0640);
    ASSERT_TRUE(atomicReplace(dir.file("registry.reg"), "again"));
    EXPECT_EQ(modeOf(dir.file("registry.reg")), 0640u);
}

// The rename must reach the disk before a replace reports success. The kernel
// is told to refuse every open of a folder, so the folder cannot be synced.
TEST(AtomicReplace, aFolderThatCannotBeSyncedFailsTheReplace) {
    test::TempDir dir;
    const std::string path = dir.file("registry.reg");
    const int result = inChild([&] {
        sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat, 0, 3),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])),
            BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, O_DIRECTORY, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EACCES),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
        if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
            ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
            return 2;
        return atomicReplace(path, "new") ? 0 : 1;
    });
    ASSERT_NE(result, 2) << "cannot install a system-call filter here";
    EXPECT_EQ(result, 1) << "the replace reported success without syncing its folder";
}

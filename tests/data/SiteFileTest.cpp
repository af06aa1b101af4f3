#include "data/SiteFile.h"
#include "platform/AtomicFile.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <new>
#include <random>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvalo;

namespace {

SiteRecord site(const std::string& url, int32_t category = 1) {
    return {url, category, "title of " + url, test::cp("عربي"), 1, 0};
}

std::vector<SiteRecord> numberedSites(int n, const std::string& prefix = "http://site") {
    std::vector<SiteRecord> sites;
    for (int i = 0; i < n; ++i)
        sites.push_back(site(prefix + std::to_string(i), 1 + i % 3));
    return sites;
}

std::vector<std::string> urls(const SiteFile& file) {
    std::vector<std::string> out;
    const auto sites = file.ReadSites();
    if (sites)
        for (const SiteRecord& s : *sites)
            out.push_back(s.Url);
    return out;
}

// A program directory with its "temp" folder and a site file.
struct ProgramDir {
    test::TempDir dir;
    std::string prog = dir.path() + "/";
    SiteFile file{prog, "weburl.kvl"};

    explicit ProgramDir(const std::vector<SiteRecord>& sites, bool withTemp = true) {
        if (withTemp)
            ::mkdir((prog + "temp").c_str(), 0755);
        test::writeSites(file.path(), sites);
    }
    std::string content() const { return test::readFile(file.path()); }
};

// Files in a folder other than the ones an operation may leave behind on
// purpose: a leftover here is a temporary file a failure did not clean up.
std::vector<std::string> strayFiles(const std::string& folder) {
    std::vector<std::string> out;
    DIR* d = ::opendir(folder.c_str());
    if (!d)
        return out;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != ".." && name != "weburl.kvl" && name != "weburl.kvl.lock" &&
            name != "temp" && name != "filler")
            out.push_back(name);
    }
    ::closedir(d);
    return out;
}

// Runs body in a forked child and returns its exit code (-1 when it died).
int runInChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int code(DataFileStatus s) {
    return static_cast<int>(s);
}

} // namespace

TEST(SiteFileAppend, refusesADuplicateAddressAndAddsOthersAtTheEnd) {
    ProgramDir p({site("http://a"), site("http://b")});

    DataFileResult r = p.file.AppendSite(site("http://c"));
    EXPECT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.added, 1u);
    EXPECT_EQ(r.count, 3u);

    const std::string before = p.content();
    r = p.file.AppendSite(site("http://a", 7));
    EXPECT_EQ(r.status, DataFileStatus::Duplicate);
    EXPECT_EQ(r.count, 3u);
    EXPECT_EQ(p.content(), before) << "a refused append must write nothing";

    // Only the exact bytes count: case and a trailing slash make other sites.
    EXPECT_TRUE(p.file.AppendSite(site("http://A")).ok());
    EXPECT_TRUE(p.file.AppendSite(site("http://a/")).ok());
    EXPECT_EQ(urls(p.file), (std::vector<std::string>{"http://a", "http://b", "http://c",
                                                      "http://A", "http://a/"}));

    // The password record goes in even when one exists.
    SiteRecord pass{"pass", 0, "secret", "", 1, 0};
    EXPECT_TRUE(p.file.appendSiteAllowingDuplicate(pass).ok());
    r = p.file.appendSiteAllowingDuplicate(pass);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.count, 7u);
}

TEST(SiteFileAppend, overwritesATrailingFragmentAndRefusesWhatCannotBeStored) {
    ProgramDir p({site("http://a"), site("http://b")});
    test::writeFile(p.file.path(), p.content() + std::string(8, 'x')); // 360 bytes

    DataFileResult r = p.file.AppendSite(site("http://c"));
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.count, 3u);
    EXPECT_EQ(p.content().size(), 3 * kSiteRecordSize);
    EXPECT_EQ(urls(p.file), (std::vector<std::string>{"http://a", "http://b", "http://c"}));

    const std::string before = p.content();
    r = p.file.AppendSite(site(std::string(80, 'u')));
    EXPECT_EQ(r.status, DataFileStatus::InvalidRecord);
    ASSERT_TRUE(r.fieldError);
    EXPECT_EQ(r.fieldError->field, TextField::Url);
    SiteRecord longTitle = site("http://d");
    longTitle.Title = std::string(75, 't');
    EXPECT_EQ(p.file.ReplaceSite("http://a", longTitle).status, DataFileStatus::InvalidRecord);
    EXPECT_EQ(p.content(), before);
    EXPECT_FALSE(test::fileExists(p.file.scratchPath())) << "a refused edit must not start";

    SiteFile missing(p.prog, "other.kvl");
    EXPECT_EQ(missing.AppendSite(site("http://x")).status, DataFileStatus::NotOpened);
    EXPECT_FALSE(missing.ReadSites());
    EXPECT_FALSE(test::fileExists(lockPathFor(missing.path())));
}

TEST(SiteFileRewrite, removeTakesEveryRecordWithTheAddressAndKeepsTheOrder) {
    ProgramDir p(
        {site("http://a"), site("http://x"), site("http://b"), site("http://x"), site("http://c")});
    // A longer scratch file left by an earlier rewrite must not show through.
    test::writeFile(p.file.scratchPath(), std::string(20 * kSiteRecordSize, 'z'));
    DataFileResult r = p.file.RemoveSites("http://x");
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.removed, 2u);
    EXPECT_EQ(r.count, 3u);
    EXPECT_EQ(urls(p.file), (std::vector<std::string>{"http://a", "http://b", "http://c"}));
    // The scratch file is left with the new content.
    EXPECT_EQ(test::readFile(p.file.scratchPath()), p.content());

    // Removing a password record that does not exist writes the same bytes.
    const std::string before = p.content();
    r = p.file.RemoveSites("pass");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.removed, 0u);
    EXPECT_EQ(r.count, 3u);
    EXPECT_EQ(p.content(), before);
}

TEST(SiteFileRewrite, editMovesTheSiteToTheEndAndCategoryDeleteRecounts) {
    ProgramDir p({site("http://1", 4), site("http://2", 5), site("http://3", 4)});
    SiteRecord edited = site("http://1-new", 5);
    edited.UserMark = 0;
    DataFileResult r = p.file.ReplaceSite("http://1", edited);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.removed, 1u);
    EXPECT_EQ(r.added, 1u);
    EXPECT_EQ(r.count, 3u);
    const auto sites = p.file.ReadSites();
    ASSERT_TRUE(sites);
    EXPECT_EQ(sites->back(), edited);
    EXPECT_EQ(urls(p.file), (std::vector<std::string>{"http://2", "http://3", "http://1-new"}));
    // Only the kept records went through the scratch file; the edit is added
    // when copying back.
    EXPECT_EQ(test::readFile(p.file.scratchPath()).size(), 2 * kSiteRecordSize);

    r = p.file.RemoveCategorySites(5);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.removed, 2u);
    EXPECT_EQ(r.count, 1u);
    EXPECT_EQ(urls(p.file), (std::vector<std::string>{"http://3"}));
}

TEST(SiteFileRewrite, aMissingTempFolderOrDataFileChangesNothing) {
    ProgramDir p({site("http://a"), site("http://b", 2)}, /*withTemp=*/false);
    test::writeFile(p.file.path(), p.content() + "frag");
    const std::string before = p.content();

    EXPECT_EQ(p.file.RemoveSites("http://a").status, DataFileStatus::ScratchFailed);
    EXPECT_EQ(p.file.ReplaceSite("http://a", site("http://z")).status,
              DataFileStatus::ScratchFailed);
    EXPECT_EQ(p.file.RemoveCategorySites(2).status, DataFileStatus::ScratchFailed);
    EXPECT_EQ(RewriteFromScratch(p.file.path(), p.file.scratchPath(), kSiteRecordSize).status,
              DataFileStatus::ScratchFailed);
    EXPECT_EQ(p.content(), before);
    EXPECT_TRUE(strayFiles(p.prog).empty());

    // Once the folder exists the same rewrite works and drops the fragment.
    ::mkdir((p.prog + "temp").c_str(), 0755);
    const DataFileResult r = p.file.RemoveSites("none");
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(p.content(), before.substr(0, 2 * kSiteRecordSize));

    SiteFile missing(p.prog, "other.kvl");
    EXPECT_EQ(missing.RemoveSites("http://a").status, DataFileStatus::NotOpened);
    EXPECT_FALSE(test::fileExists(missing.path()));
}

// The category operations use the same rewrite on "cate.dat".
TEST(SiteFileRewrite, genericRewriteReplacesOnlyTheFirstMatchAndAppendsLast) {
    test::TempDir dir;
    const std::string cate = dir.file("cate.dat");
    ::mkdir(dir.file("temp").c_str(), 0755);
    const std::string scratch = scratchPathFor(dir.path() + "/");
    test::writeCategories(cate, {{"X", 1, 1, 0, 0}, {"Y", 2, 1, 0, 0}, {"X", 3, 0, 1, 1}});

    RecordRewrite rename;
    rename.recordSize = kCategoryRecordSize;
    const StoredText x = storedCategoryNameKey("X");
    rename.replaceFirst = [&x](const uint8_t* stored, uint8_t* out) {
        if (!x.matches(stored))
            return false;
        CategoryRecord c = DecodeCategoryRecord(stored);
        c.Name = "X2";
        CategoryBytes b;
        EncodeCategoryRecord(c, b);
        std::copy(b.begin(), b.end(), out);
        return true;
    };
    DataFileResult r = rewriteThroughScratch(cate, scratch, rename);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(r.replaced);
    EXPECT_EQ(r.count, 3u);
    EXPECT_EQ(test::readFile(cate),
              test::encodeCategories({{"X2", 1, 1, 0, 0}, {"Y", 2, 1, 0, 0}, {"X", 3, 0, 1, 1}}));

    RecordRewrite remove;
    remove.recordSize = kCategoryRecordSize;
    const StoredText y = storedCategoryNameKey("Y");
    remove.keep = [&y](const uint8_t* stored) { return !y.matches(stored); };
    const std::string added = test::encodeCategories({{"Z", 4, 1, 0, 0}});
    remove.append.assign(added.begin(), added.end());
    r = rewriteThroughScratch(cate, scratch, remove);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.removed, 1u);
    EXPECT_FALSE(r.replaced);
    EXPECT_EQ(test::readFile(cate),
              test::encodeCategories({{"X2", 1, 1, 0, 0}, {"X", 3, 0, 1, 1}, {"Z", 4, 1, 0, 0}}));

    // Copying the scratch file back by itself restores what it holds.
    test::writeFile(cate, "junk");
    r = RewriteFromScratch(cate, scratch, kCategoryRecordSize);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.count, 2u);
    EXPECT_EQ(test::readFile(cate),
              test::encodeCategories({{"X2", 1, 1, 0, 0}, {"X", 3, 0, 1, 1}}));

    // A caller holding the lock for a read-then-rewrite does not block itself.
    FileLock held(lockPathFor(cate));
    remove.lockHeldByCaller = true;
    remove.append.clear();
    EXPECT_TRUE(rewriteThroughScratch(cate, scratch, remove).ok());
}

// A writer killed at any moment leaves one whole generation of the file: the
// one before the operation in flight or the one after it.
TEST(SiteFileFaults, aKilledWriterLeavesOneWholeGeneration) {
    using Records = std::vector<SiteBytes>;
    const int kBase = 2000;
    ProgramDir p(numberedSites(kBase));

    struct Progress {
        std::atomic<uint64_t> started;
        std::atomic<uint64_t> finished;
    };
    void* shared = ::mmap(nullptr, sizeof(Progress), PROT_READ | PROT_WRITE,
                          MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto* progress = new (shared) Progress{};

    // Operation k, a fixed cycle of append, edit and delete of fresh sites.
    auto fresh = [](uint64_t k) { return site("http://new" + std::to_string(k), 2); };
    auto edited = [](uint64_t k) { return site("http://edit" + std::to_string(k), 3); };
    auto apply = [&](uint64_t k) {
        switch (k % 3) {
        case 0:
            return p.file.AppendSite(fresh(k));
        case 1:
            return p.file.ReplaceSite(fresh(k - 1).Url, edited(k));
        default:
            return p.file.RemoveSites(edited(k - 1).Url);
        }
    };
    // The same operations on a plain list of records, for the expected files.
    auto encode = [](const SiteRecord& s) {
        SiteBytes b;
        EncodeSiteRecord(s, b);
        return b;
    };
    auto without = [](Records rs, const std::string& url) {
        std::erase_if(rs, [&](const SiteBytes& b) { return DecodeSiteRecord(b).Url == url; });
        return rs;
    };
    auto model = [&](const Records& rs, uint64_t k) {
        Records next = rs;
        if (k % 3 == 0) {
            next.push_back(encode(fresh(k)));
        } else if (k % 3 == 1) {
            next = without(rs, fresh(k - 1).Url);
            next.push_back(encode(edited(k)));
        } else {
            next = without(rs, edited(k - 1).Url);
        }
        return next;
    };
    auto bytesOf = [](const Records& rs) {
        std::string s;
        for (const SiteBytes& b : rs)
            s.append(b.begin(), b.end());
        return s;
    };

    Records current;
    for (const SiteRecord& s : numberedSites(kBase))
        current.push_back(encode(s));
    uint64_t done = 0; // operations whose effect is in the file
    int inFlight = 0, landedAfterCommit = 0, fragments = 0, leftovers = 0;
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> delayMicros(0, 25000);

    for (int round = 0; round < 200; ++round) {
        progress->started = done;
        progress->finished = done;
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (uint64_t k = done;; ++k) {
                progress->started = k + 1;
                if (!apply(k).ok())
                    ::_exit(3);
                progress->finished = k + 1;
            }
        }
        ::usleep(static_cast<useconds_t>(delayMicros(rng)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own in round " << round;

        const uint64_t finished = progress->finished;
        const bool midOperation = progress->started != finished;
        for (; done < finished; ++done)
            current = model(current, done);
        const std::string now = p.content();
        const std::string before = bytesOf(current);
        const size_t fragment = now.size() % kSiteRecordSize;
        if (now == before) {
            // The operation in flight, if any, had not committed.
        } else if (midOperation && now == bytesOf(model(current, done))) {
            current = model(current, done);
            ++done;
            ++landedAfterCommit;
        } else if (midOperation && done % 3 == 0 && fragment != 0 &&
                   now.substr(0, now.size() - fragment) == before) {
            // An append killed inside its one write can leave part of the
            // record; readers ignore it and the next append overwrites it.
            ++fragments;
        } else {
            FAIL() << "round " << round << ": the file is neither generation " << done
                   << " nor the next (" << now.size() << " bytes, " << before.size()
                   << " expected before)";
        }
        inFlight += midOperation ? 1 : 0;
        // A killed rewrite leaves its unrenamed temporary file behind.
        for (const std::string& name : strayFiles(p.prog)) {
            ::unlink((p.prog + name).c_str());
            ++leftovers;
        }
    }
    ::munmap(shared, sizeof(Progress));
    EXPECT_GT(done, 0u) << "no operation ever completed";
    std::printf(
        "[ kills    ] 200 kills, %d mid-operation (%d after the commit, %d leaving an append "
        "fragment), %d temporary files left; %llu operations done\n",
        inFlight, landedAfterCommit, fragments, leftovers, static_cast<unsigned long long>(done));
}

TEST(SiteFileFaults, aFullDiskChangesNothing) {
    test::TempDir outer;
    const std::string mnt = outer.file("small");
    ::mkdir(mnt.c_str(), 0755);
    if (::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a 64k tmpfs here (" << std::strerror(errno)
                     << "); this case needs root allowed to mount";
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{mnt};

    const std::string prog = mnt + "/";
    ::mkdir((prog + "temp").c_str(), 0755);
    SiteFile file(prog, "weburl.kvl");
    // 23 records end 48 bytes short of a page, so an append's write is short.
    test::writeSites(file.path(), numberedSites(23));
    const std::string before = test::readFile(file.path());
    const std::string filler = prog + "filler";
    {
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const std::string page(4096, 'f');
        while (::write(fd, page.data(), page.size()) == static_cast<ssize_t>(page.size())) {
        }
        ::ftruncate(fd, ::lseek(fd, 0, SEEK_CUR) / 4096 * 4096);
        ::close(fd);
    }

    DataFileResult r = file.AppendSite(site("http://new"));
    EXPECT_EQ(r.status, DataFileStatus::NotWritable) << describeStatus(r.status);
    EXPECT_EQ(test::readFile(file.path()), before) << "the short append was not cut back";

    // No room for the scratch file.
    r = file.RemoveSites("http://site0");
    EXPECT_EQ(r.status, DataFileStatus::ScratchFailed) << describeStatus(r.status);
    EXPECT_EQ(test::readFile(file.path()), before);

    // Room for the scratch file but not for the new site file.
    struct stat st;
    ASSERT_EQ(::stat(filler.c_str(), &st), 0);
    ASSERT_EQ(::truncate(filler.c_str(), st.st_size - 4096), 0);
    r = file.ReplaceSite("http://site0", site("http://edited"));
    EXPECT_EQ(r.status, DataFileStatus::NotWritable) << describeStatus(r.status);
    EXPECT_EQ(r.count, 23u);
    EXPECT_EQ(test::readFile(file.path()), before);
    EXPECT_EQ(test::readFile(file.scratchPath()).size(), 22 * kSiteRecordSize)
        << "the scratch file holds the new content";
    EXPECT_TRUE(strayFiles(prog).empty());

    ::unlink(filler.c_str());
    r = file.ReplaceSite("http://site0", site("http://edited"));
    EXPECT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.count, 23u);
}

// Writes cut short by the file size limit: the same failure a quota or a
// device error gives, injected without touching the code under test.
TEST(SiteFileFaults, aFailedWriteChangesNothing) {
    ProgramDir p(numberedSites(10));
    const std::string whole = p.content();
    const off_t length = static_cast<off_t>(whole.size());
    auto limited = [](off_t limit, const std::function<DataFileResult()>& op) {
        return runInChild([&] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit rl{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
            ::setrlimit(RLIMIT_FSIZE, &rl);
            return code(op().status);
        });
    };

    EXPECT_EQ(limited(length + 100, [&] { return p.file.AppendSite(site("http://new")); }),
              code(DataFileStatus::NotWritable));
    EXPECT_EQ(p.content(), whole) << "a short append must be cut back";

    const std::string fragmented = whole + "12345678";
    test::writeFile(p.file.path(), fragmented);
    EXPECT_EQ(limited(length + 40, [&] { return p.file.AppendSite(site("http://new")); }),
              code(DataFileStatus::NotWritable));
    EXPECT_EQ(p.content(), fragmented) << "the overwritten fragment must come back";

    // The scratch file (9 records) fits under the limit, the new file (10) not.
    test::writeFile(p.file.path(), whole);
    EXPECT_EQ(limited(length - 60,
                      [&] { return p.file.ReplaceSite("http://site3", site("http://edited")); }),
              code(DataFileStatus::NotWritable));
    EXPECT_EQ(p.content(), whole);
    EXPECT_EQ(test::readFile(p.file.scratchPath()).size(), 9 * kSiteRecordSize);
    EXPECT_TRUE(strayFiles(p.prog).empty());

    EXPECT_EQ(limited(1000, [&] { return p.file.RemoveSites("http://site3"); }),
              code(DataFileStatus::ScratchFailed));
    EXPECT_EQ(p.content(), whole);
}

// Without SIGXFSZ ignored, the limit would kill the program midway through.
TEST(SiteFileFaults, aFileSizeLimitFailsTheAppendInsteadOfKillingTheProgram) {
    ProgramDir p(numberedSites(10));
    const std::string whole = p.content();
    const int status = runInChild([&] {
        const rlimit rl{whole.size() + 100, whole.size() + 100};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        return code(p.file.AppendSite(site("http://new")).status);
    });
    EXPECT_EQ(status, code(DataFileStatus::NotWritable));
    EXPECT_EQ(p.content(), whole);
}

// A link planted where the scratch file goes must not lead the rewrite to
// overwrite the link's target.
TEST(SiteFileFaults, aLinkInPlaceOfTheScratchFileIsNeverFollowed) {
    ProgramDir p(numberedSites(3));
    const std::string victim = p.prog + "victim";
    test::writeFile(victim, "keep me");
    ASSERT_EQ(::symlink(victim.c_str(), p.file.scratchPath().c_str()), 0);
    ASSERT_TRUE(p.file.RemoveSites("http://site1").ok());
    EXPECT_EQ(test::readFile(victim), "keep me");
    EXPECT_EQ(urls(p.file), (std::vector<std::string>{"http://site0", "http://site2"}));
}

TEST(SiteFileFaults, aRefusedRenameChangesNothing) {
    ProgramDir p(numberedSites(10));
    const std::string whole = p.content();
    // An immutable file cannot be replaced by rename, not even by root.
    const int fd = ::open(p.file.path().c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0 ||
        (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)) {
        ::close(fd);
        GTEST_SKIP() << "cannot make a file immutable here (" << std::strerror(errno) << ")";
    }
    const DataFileResult r = p.file.RemoveSites("http://site3");
    flags &= ~FS_IMMUTABLE_FL;
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    ::close(fd);

    EXPECT_EQ(r.status, DataFileStatus::NotWritable) << describeStatus(r.status);
    EXPECT_NE(r.error.find("rename"), std::string::npos) << r.error;
    EXPECT_EQ(p.content(), whole);
    EXPECT_TRUE(strayFiles(p.prog).empty());
}

// Two running copies serialise on the lock: no change is lost.
TEST(SiteFileConcurrency, twoProcessesChangingTheFileLoseNothing) {
    ProgramDir p(numberedSites(50));
    auto* gate = static_cast<std::atomic<int>*>(::mmap(nullptr, sizeof(std::atomic<int>),
                                                       PROT_READ | PROT_WRITE,
                                                       MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(static_cast<void*>(gate), MAP_FAILED);

    auto runTogether = [&](const std::function<bool(int)>& first,
                           const std::function<bool(int)>& second) {
        gate->store(0);
        std::vector<pid_t> pids;
        for (const auto* body : {&first, &second}) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                gate->fetch_add(1);
                while (gate->load() < 2) {
                }
                for (int i = 0; i < 100; ++i)
                    if (!(*body)(i))
                        ::_exit(1);
                ::_exit(0);
            }
            pids.push_back(pid);
        }
        for (pid_t pid : pids) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
    };
    auto countOf = [](const std::vector<std::string>& all, const std::string& url) {
        return std::count(all.begin(), all.end(), url);
    };

    runTogether(
        [&](int i) { return p.file.AppendSite(site("http://a" + std::to_string(i))).ok(); },
        [&](int i) { return p.file.AppendSite(site("http://b" + std::to_string(i))).ok(); });
    std::vector<std::string> all = urls(p.file);
    EXPECT_EQ(all.size(), 250u);
    EXPECT_EQ(p.content().size() % kSiteRecordSize, 0u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(countOf(all, "http://a" + std::to_string(i)), 1) << i;
        EXPECT_EQ(countOf(all, "http://b" + std::to_string(i)), 1) << i;
    }

    // An append racing a rewrite is not undone by the rewrite's copy.
    runTogether([&](int i) { return p.file.AppendSite(site("http://c" + std::to_string(i))).ok(); },
                [&](int i) {
                    const std::string n = std::to_string(i);
                    return p.file.ReplaceSite("http://a" + n, site("http://e" + n)).ok();
                });
    all = urls(p.file);
    EXPECT_EQ(all.size(), 350u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(countOf(all, "http://c" + std::to_string(i)), 1) << i;
        EXPECT_EQ(countOf(all, "http://e" + std::to_string(i)), 1) << i;
        EXPECT_EQ(countOf(all, "http://a" + std::to_string(i)), 0) << i;
    }

    // Rewrites of the site file and of "cate.dat" share the scratch file.
    const std::string cate = p.prog + "cate.dat";
    std::vector<CategoryRecord> categories;
    for (int i = 1; i <= 300; ++i)
        categories.push_back({"c" + std::to_string(i), i, 1, 0, 0});
    test::writeCategories(cate, categories);
    const std::string sitesBefore = p.content();
    RecordRewrite keepAll;
    keepAll.recordSize = kCategoryRecordSize;
    runTogether(
        [&](int) { return p.file.RemoveSites("none").ok(); },
        [&](int) { return rewriteThroughScratch(cate, p.file.scratchPath(), keepAll).ok(); });
    EXPECT_EQ(p.content(), sitesBefore);
    EXPECT_EQ(test::readFile(cate), test::encodeCategories(categories));
    ::munmap(gate, sizeof(std::atomic<int>));
}

// The fault suites, one command each, run by scripts/reliability.sh:
//
//   korvalo_reliability kills [KILLS] [SEED]  a writer killed at random moments
//   korvalo_reliability fulldisk              every operation on a nearly full disk
//   korvalo_reliability syscalls SHIM         every system call failing in turn
//   korvalo_reliability writers [N]           N writers at once
//   korvalo_reliability op DIR K              (internal) operation K on DIR, for syscalls
//
// Each prints one line with its counts and exits non-zero on any torn file,
// lost record or failure reported as success.

#include "Operations.h"

#include "browser/FavoritesFile.h"
#include "browser/InternetShortcut.h"
#include "data/CategoryEdit.h"
#include "data/Records.h"
#include "data/SiteFile.h"
#include "platform/RegistryFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace korvalo;
using namespace korvalo::reliability;
namespace fs = std::filesystem;

namespace {

// A working folder for one suite, removed at the end.
class WorkFolder {
public:
    WorkFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/korvalo-reliability-XXXXXX";
        if (!::mkdtemp(name.data())) {
            std::perror("mkdtemp");
            std::exit(2);
        }
        path_ = name;
    }
    ~WorkFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ProgramDir dir(const std::string& name) const { return {path_ + "/" + name + "/"}; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// What a suite found wrong; each problem is printed once, the first few in full.
struct Problems {
    int torn = 0;          // a file that is no whole generation
    int falseSuccess = 0;  // success reported for what did not happen, or not safely
    int leftovers = 0;     // temporaries a failure left, or strange files
    int disagreements = 0; // the same operation did differently on the model

    int total() const { return torn + falseSuccess + leftovers + disagreements; }
    void report(int& counter, const std::string& what) {
        ++counter;
        if (total() <= 10)
            std::fprintf(stderr, "  %s\n", what.c_str());
    }
    std::string summary() const {
        return std::to_string(torn) + " torn or lost, " + std::to_string(falseSuccess) +
               " false successes, " + std::to_string(leftovers) + " files left behind" +
               (disagreements ? ", " + std::to_string(disagreements) + " disagreements" : "");
    }
};

// The generations an operation may leave: the one before it, the one after it
// and, for a category delete, the one between its two steps.
struct Generations {
    Files before, after, between;
    Outcome expected = Outcome::Done;
};

Generations generationsOf(const ProgramDir& model, const Files& before, uint64_t k) {
    Generations g;
    g.before = before;
    restore(model, before);
    g.expected = runOperation(model, k);
    g.after = snapshot(model);
    if (leewayOf(k).twoSteps) {
        restore(model, before);
        runFirstStepOfDelete(model, k);
        g.between = snapshot(model);
    }
    return g;
}

enum class Found { Before, After, Between, Fragment, Neither };

Found classify(const Generations& g, const Files& now, uint64_t k) {
    if (now == g.before)
        return Found::Before;
    if (now == g.after)
        return Found::After;
    const Leeway leeway = leewayOf(k);
    if (leeway.twoSteps && now == g.between)
        return Found::Between;
    if (!leeway.appendFile.empty() && isBeforeWithFragment(g.before, now, leeway.appendFile))
        return Found::Fragment;
    return Found::Neither;
}

std::string opName(uint64_t k) {
    return "operation " + std::to_string(k) + " (" + describeOperation(k) + ")";
}

// --- Random kills --------------------------------------------------------

// One line of the log of intended operations, in one write, so that a kill
// leaves whole lines only.
void logLine(int fd, const std::string& line) {
    const std::string text = line + "\n";
    if (::write(fd, text.data(), text.size()) != ssize_t(text.size()))
        ::_exit(3);
}

// A writer runs the cycle of operations from a given one on, logging each
// before it starts and when it ends, until it is killed at a random moment.
// The files must then be one whole generation: the one before the logged
// operation in flight or the one after it.
int kills(int count, uint32_t seed) {
    WorkFolder work;
    const ProgramDir real = work.dir("real");
    const ProgramDir model = work.dir("model");
    const std::string logPath = work.path() + "/log";
    Files state = initialFiles(300);
    restore(real, state);

    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> delayMicros(0, 30000);
    Problems problems;
    uint64_t next = 0;
    int midOperation = 0, landed = 0, between = 0, fragments = 0, temporaries = 0;
    for (int round = 0; round < count; ++round) {
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0600);
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (uint64_t k = next;; ++k) {
                logLine(log, "B " + std::to_string(k));
                const Outcome out = runOperation(real, k);
                logLine(log, "E " + std::to_string(k) + " " + std::to_string(int(out)));
            }
        }
        ::close(log);
        ::usleep(static_cast<useconds_t>(delayMicros(rng)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);

        // Replay the finished operations on the model, then judge the one in flight.
        std::ifstream in(logPath);
        std::string tag;
        unsigned long long k = 0;
        bool inFlight = false;
        uint64_t flight = 0; // the operation begun and not ended, when inFlight
        while (in >> tag >> k) {
            if (tag == "B") {
                inFlight = true;
                flight = k;
                continue;
            }
            int reported = 0;
            in >> reported;
            inFlight = false;
            restore(model, state);
            const Outcome expected = runOperation(model, k);
            if (int(expected) != reported)
                problems.report(problems.disagreements,
                                opName(k) + " was " + outcomeName(Outcome(reported)) + " but " +
                                    outcomeName(expected) + " on the model");
            state = snapshot(model);
            next = k + 1;
        }
        std::string stray;
        temporaries += cleanUp(real, &stray);
        if (!stray.empty())
            problems.report(problems.leftovers, "round " + std::to_string(round) + ": " + stray);
        const Files now = snapshot(real);
        if (!inFlight) {
            if (now != state)
                problems.report(problems.torn, "between operations: " + difference(state, now));
            state = now;
            continue;
        }
        ++midOperation;
        const Generations g = generationsOf(model, state, flight);
        switch (classify(g, now, flight)) {
        case Found::Before:
            break;
        case Found::After:
            ++landed;
            break;
        case Found::Between:
            ++between;
            break;
        case Found::Fragment:
            ++fragments;
            break;
        case Found::Neither:
            problems.report(problems.torn,
                            "killed in " + opName(flight) + ": " + difference(g.before, now));
            break;
        }
        state = now;
        next = flight + 1;
    }
    std::printf("random kills: %d kills, %d mid-operation (%d after the commit, %d between the "
                "steps of a category delete, %d append fragments), %llu operations started, %d "
                "temporaries cleaned; %s\n",
                count, midOperation, landed, between, fragments, (unsigned long long)next,
                temporaries, problems.summary().c_str());
    return problems.total() ? 1 : 0;
}

// --- Setting up each operation ---------------------------------------------

// The files each operation of the first cycle starts from: the initial files
// with the operations before it applied.
std::vector<Files> startingPoints(const ProgramDir& model, int sites) {
    std::vector<Files> points;
    restore(model, initialFiles(sites));
    for (uint64_t k = 0; k < kCycle; ++k) {
        points.push_back(snapshot(model));
        runOperation(model, k);
    }
    return points;
}

// Judges one run that came back (was not killed).
void judgeReturn(Problems& problems, const Generations& g, const Files& now, Outcome out,
                 uint64_t k, const std::string& where, int& failedWithNewContent) {
    const Found found = classify(g, now, k);
    const std::string context = opName(k) + " " + where;
    if (out == Outcome::Done) {
        if (found != Found::After)
            problems.report(problems.falseSuccess,
                            context + ": reported done, but " + difference(g.after, now));
        return;
    }
    // A step whose folder could not be synced reports failure with its new
    // content in place, but not yet safe on the disk.
    const Found stepDone = out == Outcome::Partial ? Found::After : Found::Between;
    if (found == stepDone || (found == Found::After && out == Outcome::Failed))
        ++failedWithNewContent;
    else if (found != (out == Outcome::Partial ? Found::Between : Found::Before))
        problems.report(
            problems.torn,
            context + ": " + outcomeName(out) + ", but " +
                (found == Found::Before
                     ? std::string("nothing changed")
                     : difference(out == Outcome::Partial ? g.between : g.before, now)));
}

// --- Full disk ------------------------------------------------------------

// Leaves exactly `pages` pages (or `inodes` inodes) free on the small disk.
bool fill(const std::string& mount, long pages, long inodes) {
    const std::string filler = mount + "/filler";
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const std::string page(4096, 'f');
    while (::write(fd, page.data(), page.size()) == ssize_t(page.size())) {
    }
    const off_t full = ::lseek(fd, 0, SEEK_CUR) / 4096 * 4096;
    const bool ok = ::ftruncate(fd, full - pages * 4096 < 0 ? 0 : full - pages * 4096) == 0;
    ::close(fd);
    if (inodes >= 0) {
        std::vector<std::string> made;
        for (int i = 0;; ++i) {
            const std::string name = mount + "/inode" + std::to_string(i);
            const int f = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
            if (f < 0)
                break;
            ::close(f);
            made.push_back(name);
        }
        for (long i = 0; i < inodes && !made.empty(); ++i) {
            ::unlink(made.back().c_str());
            made.pop_back();
        }
    }
    return ok;
}

// Every operation, from several starting directories, with no room left, one
// page, two pages, ... until it succeeds, then with no inode left, one, ...
int fullDisk() {
    WorkFolder work;
    const std::string mount = work.path() + "/small";
    fs::create_directories(mount);
    if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=1m,nr_inodes=200") != 0) {
        std::printf("full disk: cannot mount a small tmpfs (%s); run as root or under "
                    "'unshare -rm'\n",
                    std::strerror(errno));
        return 2;
    }
    const ProgramDir model = work.dir("model");
    const ProgramDir dir{mount + "/prog/"};
    Problems problems;
    int cases = 0, refused = 0, failedWithNewContent = 0;
    // Site files of several sizes put the page boundaries in different places
    // (23 sites end 48 bytes short of a page, so an append's write comes back
    // short); each starts once fresh and once with the lock and scratch files
    // of earlier runs, which then need no room.
    for (const int sites : {22, 23, 24, 60, 150}) {
        const std::vector<Files> points = startingPoints(model, sites);
        for (uint64_t k = 0; k < 2 * kCycle; ++k) {
            const bool withWorkFiles = k >= kCycle;
            const uint64_t op = k % kCycle;
            const Generations g = generationsOf(model, points[op], op);
            for (const bool byInodes : {false, true}) {
                int successes = 0;
                for (long room = 0; room < 64 && successes < 2; ++room) {
                    std::error_code ignored;
                    for (const auto& e : fs::directory_iterator(mount))
                        fs::remove_all(e.path(), ignored);
                    restore(dir, points[op], withWorkFiles);
                    if (!fill(mount, byInodes ? 64 : room, byInodes ? room : -1)) {
                        std::printf("full disk: cannot fill the small disk\n");
                        ::umount2(mount.c_str(), MNT_DETACH);
                        return 2;
                    }
                    const Outcome out = runOperation(dir, op);
                    ++cases;
                    successes += out == Outcome::Done ? 1 : 0;
                    refused += out == Outcome::Done ? 0 : 1;
                    std::string stray;
                    if (out != Outcome::Done && cleanUp(dir, &stray) > 0)
                        problems.report(problems.leftovers,
                                        opName(op) + ": a failure left its temporary file");
                    judgeReturn(problems, g, snapshot(dir), out, op,
                                "with " + std::to_string(room) + (byInodes ? " inodes" : " pages") +
                                    " free",
                                failedWithNewContent);
                }
                if (successes < 2)
                    problems.report(problems.disagreements,
                                    opName(op) + " never succeeded on the small disk");
            }
        }
    }
    ::umount2(mount.c_str(), MNT_DETACH);
    std::printf("full disk: %d cases (%d refused for want of room, %d failed with the new "
                "content in place); %s\n",
                cases, refused, failedWithNewContent, problems.summary().c_str());
    return problems.total() ? 1 : 0;
}

// --- Failing system calls ----------------------------------------------------

struct RunResult {
    bool killed = false;
    Outcome outcome = Outcome::Failed;
};

RunResult runUnderShim(const std::string& self, const std::string& shim, const ProgramDir& dir,
                       uint64_t k, const std::string& fault) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("LD_PRELOAD", shim.c_str(), 1);
        ::setenv("KORVALO_FAULT", fault.c_str(), 1);
        const std::string op = std::to_string(k);
        ::execl(self.c_str(), self.c_str(), "op", dir.prog.c_str(), op.c_str(), nullptr);
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    RunResult r;
    r.killed = WIFSIGNALED(status);
    if (WIFEXITED(status) && WEXITSTATUS(status) <= 2)
        r.outcome = Outcome(WEXITSTATUS(status));
    else if (!r.killed)
        std::fprintf(stderr, "  %s: exit status %d\n", fault.c_str(), WEXITSTATUS(status));
    return r;
}

std::map<std::string, long> callCounts(const std::string& self, const std::string& shim,
                                       const ProgramDir& dir, uint64_t k,
                                       const std::string& countFile) {
    runUnderShim(self, shim, dir, k, "count:" + countFile);
    std::map<std::string, long> counts;
    std::ifstream in(countFile);
    std::string kind;
    long n = 0;
    while (in >> kind >> n)
        counts[kind] = n;
    return counts;
}

int syscalls(const std::string& self, const std::string& shim) {
    WorkFolder work;
    const ProgramDir model = work.dir("model");
    const ProgramDir dir = work.dir("prog");
    Problems problems;
    int cases = 0, failedWithNewContent = 0, killed = 0, killedInWrites = 0, temporaries = 0;
    std::map<std::string, int> casesByKind;
    const std::vector<Files> points = startingPoints(model, 40);
    for (uint64_t k = 0; k < kCycle; ++k) {
        const Generations g = generationsOf(model, points[k], k);
        restore(dir, points[k]);
        const auto counts = callCounts(self, shim, dir, k, work.path() + "/counts");
        if (counts.empty()) {
            std::printf("system calls: the shim counted nothing (%s)\n", shim.c_str());
            return 2;
        }
        for (const auto& [kind, n] : counts) {
            const bool bytes = kind == "write" || kind == "read";
            for (long call = 1; call <= n; ++call) {
                for (const char* mode : {"fail", "short", "kill"}) {
                    if (!bytes && std::strcmp(mode, "short") == 0)
                        continue;
                    const std::string fault = kind + ":" + std::to_string(call) + ":" + mode;
                    restore(dir, points[k]);
                    const RunResult r = runUnderShim(self, shim, dir, k, fault);
                    ++cases;
                    ++casesByKind[kind];
                    std::string stray;
                    const int left = cleanUp(dir, &stray);
                    temporaries += left;
                    if (!stray.empty())
                        problems.report(problems.leftovers, fault + ": " + stray);
                    const Files now = snapshot(dir);
                    if (r.killed) {
                        ++killed;
                        killedInWrites += kind == "write" ? 1 : 0;
                        if (classify(g, now, k) == Found::Neither)
                            problems.report(problems.torn, opName(k) + " killed at " + fault +
                                                               ": " + difference(g.before, now));
                        continue;
                    }
                    if (left > 0)
                        problems.report(problems.leftovers,
                                        opName(k) + " at " + fault + " left its temporary file");
                    // A write, sync, rename or read that failed cannot have
                    // been made good: success after one is a false success.
                    if (r.outcome == Outcome::Done && std::strcmp(mode, "fail") == 0 &&
                        kind != "open")
                        problems.report(problems.falseSuccess,
                                        opName(k) + " reported done after " + fault);
                    judgeReturn(problems, g, now, r.outcome, k, "at " + fault,
                                failedWithNewContent);
                }
            }
        }
    }
    std::string kinds;
    for (const auto& [kind, n] : casesByKind)
        kinds += (kinds.empty() ? "" : ", ") + kind + " " + std::to_string(n);
    std::printf("system calls: %d cases (%s; %d killed, %d of them halfway through a write, %d "
                "temporaries cleaned, %d failed with the new content in place); %s\n",
                cases, kinds.c_str(), killed, killedInWrites, temporaries, failedWithNewContent,
                problems.summary().c_str());
    return problems.total() ? 1 : 0;
}

// The child side of syscalls: one operation between the shim's arm and disarm.
int runOne(const std::string& prog, uint64_t k) {
    using Hook = void (*)();
    const auto arm = reinterpret_cast<Hook>(::dlsym(RTLD_DEFAULT, "korvalo_fault_arm"));
    const auto disarm = reinterpret_cast<Hook>(::dlsym(RTLD_DEFAULT, "korvalo_fault_disarm"));
    const ProgramDir dir{prog};
    if (arm)
        arm();
    const Outcome out = runOperation(dir, k);
    if (disarm)
        disarm();
    ::_exit(int(out));
}

// --- Writers at once -----------------------------------------------------------

// Each writer adds and edits sites, categories, settings, favourites and
// shortcuts of its own, all at the same time; afterwards every change that
// reported success must be there exactly once.
int writers(int count) {
    constexpr int kEach = 120;
    WorkFolder work;
    const ProgramDir dir = work.dir("prog");
    restore(dir, initialFiles(100));
    auto* gate = static_cast<std::atomic<int>*>(::mmap(nullptr, sizeof(std::atomic<int>),
                                                       PROT_READ | PROT_WRITE,
                                                       MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    new (gate) std::atomic<int>(0);
    auto url = [](int w, int i) {
        return "http://w" + std::to_string(w) + "-" + std::to_string(i) + ".example/";
    };
    auto editedUrl = [&](int w, int i) { return url(w, i) + "edited"; };
    const SiteFile sites(dir.prog, "weburl.kvl");
    std::vector<pid_t> pids;
    for (int w = 0; w < count; ++w) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            gate->fetch_add(1);
            while (gate->load() < count) {
            }
            RegistryFile registry(QString::fromStdString(dir.registry()));
            int failures = 0;
            for (int i = 0; i < kEach; ++i) {
                const std::string tag = std::to_string(w) + "-" + std::to_string(i);
                bool ok = true;
                switch (i % 6) {
                case 0:
                    ok = sites.AppendSite({url(w, i), 1, "t", "E", 1, 0}).ok();
                    break;
                case 1:
                    ok = AddCategory(dir.cate(), "W" + tag, false, "", 1).status ==
                         AddCategoryStatus::Added;
                    break;
                case 2:
                    ok = registry.setString(RegRoot::Users, QStringLiteral("K"),
                                            QString::fromStdString("W" + tag), QStringLiteral("v"));
                    break;
                case 3:
                    ok = AddToFavorites(dir.favorites(), dir.site(), url(w, i - 3), 1).status ==
                         AddFavoriteStatus::Added;
                    break;
                case 4:
                    ok = WriteInternetShortcut(QString::fromStdString(dir.shortcuts()),
                                               QStringLiteral("w%1").arg(w),
                                               QString::fromStdString(url(w, i - 4)));
                    break;
                default:
                    ok = sites.ReplaceSite(url(w, i - 5), {editedUrl(w, i - 5), 2, "t", "E", 1, 0})
                             .ok();
                    break;
                }
                failures += ok ? 0 : 1;
            }
            ::_exit(failures > 100 ? 100 : failures);
        }
        pids.push_back(pid);
    }
    Problems problems;
    for (pid_t pid : pids) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            problems.report(problems.disagreements, "a writer failed " +
                                                        std::to_string(WEXITSTATUS(status)) +
                                                        " operations");
    }

    std::map<std::string, int> urls, names, ids, favorites;
    for (const SiteRecord& s : sites.ReadSites().value_or(std::vector<SiteRecord>{}))
        ++urls[s.Url];
    const std::string cate = snapshot(dir)["cate.dat"];
    for (size_t at = 0; at + kCategoryRecordSize <= cate.size(); at += kCategoryRecordSize) {
        const CategoryRecord c =
            DecodeCategoryRecord(reinterpret_cast<const uint8_t*>(cate.data()) + at);
        ++names[c.Name];
        ++ids[std::to_string(c.Id)];
    }
    const std::string fav = snapshot(dir)["favorites.dat"];
    for (size_t at = 0; at + kSiteRecordSize <= fav.size(); at += kSiteRecordSize)
        ++favorites[storedSiteUrl(reinterpret_cast<const uint8_t*>(fav.data()) + at)];
    RegistryFile registry(QString::fromStdString(dir.registry()));
    for (const auto& [id, n] : ids)
        if (n != 1)
            problems.report(problems.torn, "category id " + id + " given twice");
    for (int w = 0; w < count; ++w) {
        const std::string shortcut = snapshot(dir)["favs/w" + std::to_string(w) + ".URL"];
        int sections = 0;
        for (size_t at = shortcut.find("[InternetShortcut]"); at != std::string::npos;
             at = shortcut.find("[InternetShortcut]", at + 1))
            ++sections;
        if (sections != kEach / 6)
            problems.report(problems.torn, "shortcut w" + std::to_string(w) + " has " +
                                               std::to_string(sections) + " sections");
        for (int i = 0; i < kEach; i += 6) {
            const std::string tag = std::to_string(w) + "-";
            if (urls[url(w, i)] != 0 || urls[editedUrl(w, i)] != 1)
                problems.report(problems.torn, "site " + url(w, i) + " lost or doubled");
            if (names["W" + tag + std::to_string(i + 1)] != 1)
                problems.report(problems.torn,
                                "category W" + tag + std::to_string(i + 1) + " lost or doubled");
            if (!registry.value(RegRoot::Users, QStringLiteral("K"),
                                QString::fromStdString("W" + tag + std::to_string(i + 2))))
                problems.report(problems.torn, "setting W" + tag + std::to_string(i + 2) + " lost");
            if (favorites[url(w, i)] != 1)
                problems.report(problems.torn, "favourite " + url(w, i) + " lost or doubled");
        }
    }
    std::printf("writers at once: %d writers x %d operations; %s\n", count, kEach,
                problems.summary().c_str());
    return problems.total() ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const auto started = std::chrono::steady_clock::now();
    int status = 2;
    if (command == "op" && argc == 4)
        return runOne(argv[2], std::strtoull(argv[3], nullptr, 10));
    if (command == "kills")
        status = kills(argc > 2 ? std::atoi(argv[2]) : 1000,
                       argc > 3 ? uint32_t(std::strtoul(argv[3], nullptr, 10)) : 20240611u);
    else if (command == "fulldisk")
        status = fullDisk();
    else if (command == "syscalls" && argc == 3)
        status = syscalls(fs::canonical("/proc/self/exe").string(), argv[2]);
    else if (command == "writers")
        status = writers(argc > 2 ? std::atoi(argv[2]) : 2);
    else
        std::fprintf(stderr, "usage: korvalo_reliability kills [KILLS] [SEED] | fulldisk | "
                             "syscalls SHIM | writers [N]\n");
    if (status != 2 || command == "fulldisk")
        std::printf(
            "  (%.0f s)\n",
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    return status;
}

// korvalo_bench: the directory's operations on synthetic directories of
// 10 000, 100 000 and 1 000 000 sites, each against a bare read of the same
// file. Run through bench/run.sh, which prints the table.

#include "BenchFiles.h"
#include "BookmarkMenus.h"
#include "CommandRun.h"
#include "PeakMemory.h"
#include "ReferenceIo.h"
#include "StartupProbe.h"
#include "SyntheticDirectory.h"
#include "TableReporter.h"
#include "WindowHarness.h"

#include "data/CategoryFile.h"
#include "data/Cp1256.h"
#include "data/SiteFile.h"
#include "data/SiteListing.h"
#include "mainwindow/BrowsePanel.h"
#include "mainwindow/TForm1.h"
#include "search/LocalSearch.h"

#include <QApplication>
#include <QListWidget>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace korvalo::bench {
namespace {

using benchmark::State;

// Window harnesses live across repetitions and die before the QApplication.
std::map<std::string, std::unique_ptr<WindowHarness>> gHarnesses;

WindowHarness& harnessFor(const std::string& folder) {
    auto& h = gHarnesses[folder];
    if (!h)
        h = std::make_unique<WindowHarness>(folder);
    return *h;
}

std::string selfPath() {
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

// Stops the benchmark with a message; the table then shows it as failed.
#define REQUIRE(state, cond, what)                                                                 \
    if (!(cond)) {                                                                                 \
        (state).SkipWithError(what);                                                               \
        break;                                                                                     \
    }

// A bare read of the same file before each timed iteration, itself not
// timed: on a shared machine the speed of memory drifts over a run, by as
// much as twice in a few minutes, so each operation is compared with reads
// made beside it. The read timed is the second of two, so that what the
// operation before it left in the caches does not slow it. Its mean goes to
// the counter read_ms.
class PairedRead {
public:
    explicit PairedRead(std::string path)
        : path_(std::move(path)) {}

    // Call while the timing is paused.
    void read() {
        ReferenceIo::read(path_);
        const auto start = std::chrono::steady_clock::now();
        ReferenceIo::read(path_);
        total_ +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        ++count_;
    }

    void pausedRead(State& state) {
        state.PauseTiming();
        read();
        state.ResumeTiming();
    }

    void report(State& state) const {
        if (count_)
            state.counters["read_ms"] = total_ / double(count_);
    }

private:
    std::string path_;
    double total_ = 0;
    int count_ = 0;
};

void referenceRead(State& state, const std::string& path) {
    BenchFiles::warm(path);
    const uint64_t size = BenchFiles::fileSize(path);
    for (auto _ : state) {
        const uint64_t bytes = ReferenceIo::read(path);
        REQUIRE(state, bytes == size, "the bare read came short");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

void referenceScan(State& state, const std::string& path) {
    BenchFiles::warm(path);
    for (auto _ : state) {
        const ReferenceIo::Result r = ReferenceIo::scan(path);
        benchmark::DoNotOptimize(r);
        REQUIRE(state, !r.found, "the reference needle occurs in the file");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BenchFiles::fileSize(path)));
}

// Copies the site file as a durable rewrite would, with nothing else.
void referenceCopy(State& state, uint64_t sites) {
    const std::string source = BenchFiles::sitePath(BenchFiles::instance().sitesFolder(sites));
    const std::string target =
        BenchFiles::sitePath(BenchFiles::instance().workFolder("copy-" + std::to_string(sites)));
    BenchFiles::warm(source);
    for (auto _ : state) {
        // As in RemoveSites, the replaced generation costs nothing to drop.
        state.PauseTiming();
        ::unlink(target.c_str());
        state.ResumeTiming();
        try {
            ReferenceIo::durableCopy(source, target);
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    ::unlink(target.c_str());
}

// Scans the site file and appends one record durably, with nothing else.
void referenceAppend(State& state, uint64_t sites) {
    const std::string source = BenchFiles::sitePath(BenchFiles::instance().sitesFolder(sites));
    const std::string folder = BenchFiles::instance().workFolder("append-" + std::to_string(sites));
    const std::string path = BenchFiles::sitePath(folder);
    const uint64_t size = BenchFiles::fileSize(source);
    if (!std::filesystem::exists(path) || BenchFiles::fileSize(path) != size)
        BenchFiles::copyFile(source, path);
    BenchFiles::warm(path);
    const std::string record(kSiteRecordSize, 'r');
    for (auto _ : state) {
        try {
            ReferenceIo::durableAppend(path, record);
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
        state.PauseTiming();
        const bool cut = ::truncate(path.c_str(), static_cast<off_t>(size)) == 0;
        state.ResumeTiming();
        REQUIRE(state, cut, "cannot cut the copy back");
    }
}

void scanAtStartup(State& state, uint64_t sites) {
    const std::string folder = BenchFiles::instance().sitesFolder(sites);
    const std::string site = BenchFiles::sitePath(folder), cate = BenchFiles::catePath(folder);
    BenchFiles::warm(site);
    const SyntheticDirectory dir(sites);
    PairedRead paired(site);
    for (auto _ : state) {
        paired.pausedRead(state);
        // The read-through looks up the "info" category first.
        const int32_t infoId = FindCategoryId(cate, std::string(kInfoCategoryName)).value_or(0);
        const StartupScan scan = ScanSiteFileAtStartup(site, infoId);
        REQUIRE(state,
                scan.siteCount == sites && scan.versionLabel == dir.versionLabel() &&
                    scan.storedPassword == dir.password() &&
                    scan.firstCategoryRows.size() == dir.bigCategoryRows(),
                "the read-through found other values than the generator wrote");
        state.counters["rows"] = static_cast<double>(scan.firstCategoryRows.size());
    }
    paired.report(state);
}

void listCategory(State& state, uint64_t sites) {
    const std::string folder = BenchFiles::instance().sitesFolder(sites);
    const std::string site = BenchFiles::sitePath(folder), cate = BenchFiles::catePath(folder);
    BenchFiles::warm(site);
    const SyntheticDirectory dir(sites);
    PairedRead paired(site);
    for (auto _ : state) {
        paired.pausedRead(state);
        const std::optional<int32_t> id = FindCategoryId(cate, dir.bigCategoryName());
        REQUIRE(state, id == SyntheticDirectory::kBigCategoryId, "category lookup failed");
        const SiteListingResult listing = ListCategorySites(site, *id, false);
        REQUIRE(state, listing.opened && listing.rows.size() == dir.bigCategoryRows(),
                "the listing has the wrong rows");
        state.counters["rows"] = static_cast<double>(listing.rows.size());
    }
    paired.report(state);
}

std::string cp1256(const char* utf8) {
    return Cp1256::fromUnicode(QString::fromUtf8(utf8)).value();
}

// A word of many descriptions, typed with ة where the file has it too.
constexpr const char* kSchool = "مدرسة";
// A word of no description, with near misses in many (الحاسب).
constexpr const char* kAbsent = "الحاسوب";
// In the address scope, every site but the version and password records.
constexpr const char* kBroad = "www";

void searchSites(State& state, uint64_t sites, const char* query, bool wantRows) {
    const std::string folder = BenchFiles::instance().sitesFolder(sites);
    const std::string site = BenchFiles::sitePath(folder), cate = BenchFiles::catePath(folder);
    BenchFiles::warm(site);
    const std::string bytes = cp1256(query);
    PairedRead paired(site);
    for (auto _ : state) {
        paired.pausedRead(state);
        const SiteSearchResult r = SearchSites(site, cate, bytes, SearchScope::Description);
        REQUIRE(state, r.status == SiteSearchResult::Status::Done && r.rows.empty() != wantRows,
                wantRows ? "the search found nothing" : "the search found something");
        state.counters["rows"] = static_cast<double>(r.rows.size());
    }
    paired.report(state);
}

// The search as the user waits for it: from the click on the button to the
// painted result list, the previous search's rows cleared on the way.
void searchPanelClick(State& state, uint64_t sites, const char* query, bool addressScope) {
    const std::string folder = BenchFiles::instance().startupFolder(sites);
    BenchFiles::warm(BenchFiles::sitePath(folder));
    WindowHarness& h = harnessFor(folder);
    const QString text = QString::fromUtf8(query);
    PairedRead paired(BenchFiles::sitePath(folder));
    for (auto _ : state) {
        state.PauseTiming();
        h.typeSearch(text, addressScope);
        paired.read();
        state.ResumeTiming();
        const int rows = h.clickSearch();
        REQUIRE(state, rows > 0, "the search panel listed nothing");
        state.counters["rows"] = rows;
    }
    paired.report(state);
}

// kvl search and grep -c over the same sites as text, each a whole process.
// grep runs before each kvl search too, untimed there, and the mean of those
// runs goes to the counter floor_ms: the two are compared side by side, not
// minutes apart on a machine whose speed drifts.
CommandRun::Result runGrep(uint64_t sites) {
    const std::string text = BenchFiles::instance().sitesText(sites);
    const std::string out = BenchFiles::instance().workFolder("commands") + "/grep-count.txt";
    // The C locale: grep's fastest byte search.
    return CommandRun::run({"/usr/bin/grep", "-c", kSchool, text}, out, {"LC_ALL=C"});
}

void kvlSearch(State& state, uint64_t sites) {
    const std::string site = BenchFiles::sitePath(BenchFiles::instance().sitesFolder(sites));
    const std::string kvl = (std::filesystem::path(selfPath()).parent_path() / "kvl").string();
    const std::string out = BenchFiles::instance().workFolder("commands") + "/kvl-search.txt";
    BenchFiles::warm(site);
    BenchFiles::warm(BenchFiles::instance().sitesText(sites));
    double grepSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const CommandRun::Result grep = runGrep(sites);
        grepSeconds += grep.seconds;
        state.ResumeTiming();
        REQUIRE(state, grep.status == 0, "grep failed or found nothing");
        const CommandRun::Result r = CommandRun::run({kvl, "search", kSchool, site}, out);
        REQUIRE(state, r.status == 0, "kvl search failed or found nothing");
    }
    if (state.iterations() > 0)
        state.counters["floor_ms"] = grepSeconds * 1e3 / double(state.iterations());
}

void grepCount(State& state, uint64_t sites) {
    BenchFiles::warm(BenchFiles::instance().sitesText(sites));
    for (auto _ : state) {
        const CommandRun::Result r = runGrep(sites);
        REQUIRE(state, r.status == 0, "grep failed or found nothing");
    }
}

void browseListClick(State& state, uint64_t sites) {
    // The same sites as sitesFolder, without a password prompt to answer.
    const std::string folder = BenchFiles::instance().startupFolder(sites);
    BenchFiles::warm(BenchFiles::sitePath(folder));
    const SyntheticDirectory dir(sites);
    WindowHarness& h = harnessFor(folder);
    QTreeWidgetItem* big = h.browseNode(dir.bigCategoryName());
    QTreeWidgetItem* other = h.browseNode(dir.smallCategoryName());
    PairedRead paired(BenchFiles::sitePath(folder));
    for (auto _ : state) {
        // The list shows another category when the user clicks the big one.
        state.PauseTiming();
        h.clickBrowseNode(other);
        h.showBrowseList();
        paired.read();
        state.ResumeTiming();
        h.clickBrowseNode(big);
        const int rows = h.showBrowseList();
        REQUIRE(state, static_cast<uint64_t>(rows) == dir.bigCategoryRows(),
                "the browse list shows the wrong number of rows");
        state.counters["rows"] = rows;
    }
    paired.report(state);
}

void appendSite(State& state, uint64_t sites) {
    const std::string source = BenchFiles::sitePath(BenchFiles::instance().sitesFolder(sites));
    const std::string folder = BenchFiles::instance().workFolder("append-" + std::to_string(sites));
    const std::string path = BenchFiles::sitePath(folder);
    const uint64_t size = BenchFiles::fileSize(source);
    // A private copy, cut back after every append so that it never grows.
    if (!std::filesystem::exists(path) || BenchFiles::fileSize(path) != size)
        BenchFiles::copyFile(source, path);
    BenchFiles::warm(path);
    const SyntheticDirectory dir(sites);
    const SiteFile file(folder + "/", "weburl.kvl");
    SiteRecord record = dir.site(7);
    record.Url = dir.absentUrl();
    PairedRead paired(source);
    for (auto _ : state) {
        const DataFileResult r = file.AppendSite(record);
        state.PauseTiming();
        const bool cut = ::truncate(path.c_str(), static_cast<off_t>(size)) == 0;
        paired.read();
        state.ResumeTiming();
        REQUIRE(state, r.ok() && r.count == sites + 1 && cut, "the append failed");
    }
    paired.report(state);
}

void removeSites(State& state, uint64_t sites) {
    const std::string pristine = BenchFiles::sitePath(BenchFiles::instance().sitesFolder(sites));
    const std::string folder = BenchFiles::instance().workFolder("remove-" + std::to_string(sites));
    const std::string path = BenchFiles::sitePath(folder);
    BenchFiles::warm(pristine);
    const SyntheticDirectory dir(sites);
    const SiteFile file(folder + "/", "weburl.kvl");
    const std::string url = dir.site(sites / 2 + 1).Url;
    PairedRead paired(pristine);
    for (auto _ : state) {
        // A rewrite never changes the file in place, so a hard link to the
        // pristine file restores it at no cost.
        state.PauseTiming();
        ::unlink(path.c_str());
        const bool linked = ::link(pristine.c_str(), path.c_str()) == 0;
        paired.read();
        state.ResumeTiming();
        REQUIRE(state, linked, "cannot link the pristine site file");
        const DataFileResult r = file.RemoveSites(url);
        REQUIRE(state, r.ok() && r.removed == 1 && r.count == sites - 1, "the removal failed");
    }
    paired.report(state);
    ::unlink(path.c_str());
}

void readCategoryTree(State& state) {
    const std::string cate = BenchFiles::catePath(BenchFiles::instance().categoriesFolder());
    BenchFiles::warm(cate);
    for (auto _ : state) {
        const std::optional<CategoryTree> tree = ReadCategoryTree(cate);
        REQUIRE(state, tree && !tree->mains.empty(), "cannot read the category tree");
        state.counters["rows"] = static_cast<double>(tree->flat.size());
    }
}

void buildCategoryViews(State& state) {
    const std::string folder = BenchFiles::instance().categoriesFolder();
    BenchFiles::warm(BenchFiles::catePath(folder));
    WindowHarness& h = harnessFor(folder);
    QTreeWidget* tree = h.form().Show_Panel->TreeView1;
    for (auto _ : state) {
        const bool built = h.form().BuildCategoryViews();
        QApplication::processEvents();
        tree->viewport()->repaint();
        REQUIRE(state, built, "BuildCategoryViews failed");
        state.counters["rows"] = h.form().Category->count();
    }
}

void startupToShown(State& state, uint64_t sites) {
    const std::string folder = BenchFiles::instance().startupFolder(sites);
    BenchFiles::warm(BenchFiles::sitePath(folder));
    BenchFiles::warm(BenchFiles::catePath(folder));
    const std::string work = BenchFiles::instance().workFolder("startup");
    ::mkdir((work + "/runtime").c_str(), 0700);
    const PeakMemory peak(selfPath(), work);
    const StartupProbe probe(std::filesystem::path(selfPath()).parent_path() / "korvalo",
                             work + "/config", work + "/runtime", peak);
    long peakKb = 0;
    try {
        probe.run(folder); // the first run writes the settings; later ones are ordinary starts
        for (auto _ : state) {
            const StartupProbe::Result r = probe.run(folder);
            state.SetIterationTime(r.seconds);
            peakKb = std::max(peakKb, r.peakRssKb);
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
    state.counters["peak_rss_kb"] = static_cast<double>(peakKb);
}

std::string sizeLabel(uint64_t n, const char* what) {
    std::string digits = std::to_string(n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0)
            out += ' ';
        out += digits[i];
    }
    return out + " " + what;
}

std::vector<uint64_t> sizes() {
    std::vector<uint64_t> out;
    const char* env = std::getenv("KORVALO_BENCH_SIZES"); // e.g. "10000,100000"
    std::string list = env && *env ? env : "10000,100000,1000000";
    for (size_t start = 0; start < list.size();) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            comma = list.size();
        out.push_back(std::stoull(list.substr(start, comma - start)));
        start = comma + 1;
    }
    return out;
}

// The size whose memory, search and window targets are set.
constexpr uint64_t kTargetSites = 1000000;

void registerAll(TableReporter& table) {
    using Target = TableReporter::Target;
    const std::vector<uint64_t> all = sizes();
    const uint64_t largest = *std::max_element(all.begin(), all.end());
    // ref: the scan the ratio column divides by; floor: the bare system calls
    // the operation cannot beat, named in the target column.
    auto add = [&](const std::string& op, uint64_t n, const char* unit, const std::string& ref,
                   Target target, auto fn, const std::string& floor = {}) {
        const auto sized = [n](const std::string& s) {
            return s.empty() ? s : s + "/" + std::to_string(n);
        };
        const std::string name = op + "/" + std::to_string(n);
        benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(name.c_str(), fn);
        b->Unit(benchmark::kMillisecond);
        if (op == "StartupToShown")
            b->UseManualTime()->Iterations(1);
        else
            b->UseRealTime();
        table.add({name, op, sizeLabel(n, unit), sized(ref), sized(floor), target,
                   n == kTargetSites && std::string(unit) == "sites"});
    };
    for (uint64_t n : all) {
        const std::string site = BenchFiles::sitePath(BenchFiles::instance().sitesFolder(n));
        const std::string read = "ReferenceRead";
        add("ReferenceRead", n, "sites", read, Target::None,
            [site](State& s) { referenceRead(s, site); });
        add("ReferenceScan", n, "sites", read, Target::None,
            [site](State& s) { referenceScan(s, site); });
        add("ScanSiteFileAtStartup", n, "sites", read, Target::ReadRatio,
            [n](State& s) { scanAtStartup(s, n); });
        add("ListCategorySites", n, "sites", read, Target::ReadRatio,
            [n](State& s) { listCategory(s, n); });
        add("SearchSites", n, "sites", read, Target::SearchRatio,
            [n](State& s) { searchSites(s, n, kSchool, true); });
        add("SearchSitesNothing", n, "sites", read, Target::SearchRatio,
            [n](State& s) { searchSites(s, n, kAbsent, false); });
        add("SearchPanelClick", n, "sites", read, Target::WindowRatio,
            [n](State& s) { searchPanelClick(s, n, kSchool, false); });
        add("SearchPanelBroad", n, "sites", read, Target::BroadQuery,
            [n](State& s) { searchPanelClick(s, n, kBroad, true); });
        add("GrepCount", n, "sites", read, Target::None, [n](State& s) { grepCount(s, n); });
        add(
            "KvlSearch", n, "sites", read, Target::FloorRatio, [n](State& s) { kvlSearch(s, n); },
            "GrepCount");
        add("ReferenceAppend", n, "sites", read, Target::None,
            [n](State& s) { referenceAppend(s, n); });
        add(
            "AppendSite", n, "sites", read, Target::ReadRatio, [n](State& s) { appendSite(s, n); },
            "ReferenceAppend");
        add("ReferenceCopy", n, "sites", read, Target::None,
            [n](State& s) { referenceCopy(s, n); });
        add(
            "RemoveSites", n, "sites", read, Target::ReadRatio,
            [n](State& s) { removeSites(s, n); }, "ReferenceCopy");
        add("BrowseListClick", n, "sites", read, Target::WindowRatio,
            [n](State& s) { browseListClick(s, n); });
    }
    const std::string cate = BenchFiles::catePath(BenchFiles::instance().categoriesFolder());
    const uint64_t categories = SyntheticDirectory(0, 49).categories().size();
    add("ReferenceRead", categories, "categories", "ReferenceRead", Target::None,
        [cate](State& s) { referenceRead(s, cate); });
    add("ReferenceScan", categories, "categories", "ReferenceRead", Target::None,
        [cate](State& s) { referenceScan(s, cate); });
    add("ReadCategoryTree", categories, "categories", "ReferenceRead", Target::ReadRatio,
        [](State& s) { readCategoryTree(s); });
    add("BuildCategoryViews", categories, "categories", "", Target::None,
        [](State& s) { buildCategoryViews(s); });
    add("StartupToShown", largest, "sites", "", Target::StartupTime,
        [largest](State& s) { startupToShown(s, largest); });
    registerBookmarkMenus(table);
}

// Reports nothing; only whether a run failed.
class QuietReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            failed = failed || r.error_occurred;
    }
    bool failed = false;
};

} // namespace
} // namespace korvalo::bench

int main(int argc, char** argv) {
    using namespace korvalo::bench;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    bool child = false, peaks = true;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], PeakMemory::kChildFlag) == 0)
            child = true;
        else if (std::strcmp(argv[i], "--no-peak") == 0)
            peaks = false;
        else
            args.push_back(argv[i]);
    }
    int benchArgc = static_cast<int>(args.size());
    args.push_back(nullptr);

    QApplication app(benchArgc, args.data());
    QApplication::setLayoutDirection(Qt::RightToLeft);
    benchmark::Initialize(&benchArgc, args.data());
    if (benchmark::ReportUnrecognizedArguments(benchArgc, args.data()))
        return 2;

    int status = 0;
    try {
        TableReporter table;
        registerAll(table);
        if (child) {
            QuietReporter quiet;
            benchmark::RunSpecifiedBenchmarks(&quiet);
            status = quiet.failed ? 1 : 0;
        } else {
            benchmark::RunSpecifiedBenchmarks(&table);
            gHarnesses.clear();
            if (peaks) {
                std::cerr << "measuring peak memory, one process per benchmark ...\n";
                const PeakMemory peak(selfPath(), BenchFiles::instance().workFolder("peak"));
                table.setBaselinePeak(peak.ofBenchmark({}));
                for (const std::string& name : table.needPeak())
                    table.setPeak(name, peak.ofBenchmark(name));
            }
            std::cout << '\n';
            table.printTable(std::cout);
            status = table.anyErrors() ? 1 : 0;
        }
    } catch (const std::exception& e) {
        std::cerr << "korvalo_bench: " << e.what() << '\n';
        status = 1;
    }
    gHarnesses.clear();
    benchmark::Shutdown();
    return status;
}

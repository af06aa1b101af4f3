#include "TableReporter.h"

#include <cmath>
#include <cstdio>
#include <iostream>

namespace korvalo::bench {

namespace {

constexpr double kReadRatioTarget = 2.0;
constexpr double kSearchRatioTarget = 1.5;
constexpr double kBroadQueryTargetMs = 400;
constexpr double kStartupTargetMs = 1000;
constexpr double kBookmarkMenusTargetMs = 200;
constexpr double kPeakTargetMb = 150;

std::string format(const char* fmt, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

std::string formatMs(double ms) {
    if (ms >= 100)
        return format("%.0f ms", ms);
    if (ms >= 10)
        return format("%.1f ms", ms);
    return format("%.2f ms", ms);
}

std::string pad(const std::string& s, size_t width, bool right = false) {
    // Every text here is ASCII, so bytes are columns.
    if (s.size() >= width)
        return s;
    const std::string fill(width - s.size(), ' ');
    return right ? fill + s : s + fill;
}

} // namespace

void TableReporter::add(Entry entry) {
    entries_.push_back(std::move(entry));
}

bool TableReporter::ReportContext(const Context& context) {
    std::cerr << "korvalo_bench on " << context.cpu_info.num_cpus << " cpus";
    if (!context.cpu_info.load_avg.empty())
        std::cerr << ", load average " << context.cpu_info.load_avg.front();
    std::cerr << '\n';
    return true;
}

void TableReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        const std::string name = run.run_name.function_name;
        Result& r = results_[name];
        if (run.error_occurred) {
            r.ran = true;
            r.failed = true;
            r.error = run.error_message;
            errors_ = true;
            std::cerr << "  " << name << ": FAILED: " << run.error_message << '\n';
            continue;
        }
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        if (!median && !single)
            continue;
        if (run.repetitions > 1)
            repetitions_ = static_cast<int>(run.repetitions);
        r.ran = true;
        r.ms = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
        for (const auto& [key, counter] : run.counters)
            r.counters[key] = counter.value;
        if (const auto it = run.counters.find("peak_rss_kb"); it != run.counters.end()) {
            r.peakKb = static_cast<long>(it->second.value);
            r.ownPeak = true;
        }
        std::cerr << "  " << pad(name, 32) << pad(formatMs(r.ms), 10, true) << '\n';
    }
}

std::vector<std::string> TableReporter::needPeak() const {
    std::vector<std::string> names;
    for (const Entry& e : entries_)
        if (const auto it = results_.find(e.name);
            it != results_.end() && it->second.ran && !it->second.failed && !it->second.ownPeak)
            names.push_back(e.name);
    return names;
}

void TableReporter::printTable(std::ostream& out) const {
    const size_t w[] = {24, 18, 11, 8, 10, 8};
    out << pad("Operation", w[0]) << pad("Size", w[1]) << pad("Median", w[2], true)
        << pad("x read", w[3], true) << pad("Peak RSS", w[4], true) << pad("Rows", w[5], true)
        << "  Target\n";
    out << std::string(w[0] + w[1] + w[2] + w[3] + w[4] + w[5] + 40, '-') << '\n';
    int missed = 0;
    for (const Entry& e : entries_) {
        const auto it = results_.find(e.name);
        if (it == results_.end() || !it->second.ran)
            continue;
        const Result& r = it->second;
        out << pad(e.operation, w[0]) << pad(e.size, w[1]);
        if (r.failed) {
            out << "  FAILED: " << r.error << '\n';
            ++missed;
            continue;
        }
        // Against the reads made beside it where it has them, else against
        // the reference row.
        double ratio = NAN;
        if (const auto paired = r.counters.find("read_ms");
            paired != r.counters.end() && paired->second > 0)
            ratio = r.ms / paired->second;
        else if (!e.reference.empty())
            if (const auto ref = results_.find(e.reference);
                ref != results_.end() && ref->second.ran && !ref->second.failed)
                ratio = r.ms / ref->second.ms;
        const double peakMb = r.peakKb / 1024.0;
        const auto rows = r.counters.find("rows");
        out << pad(formatMs(r.ms), w[2], true)
            << pad(std::isnan(ratio) ? "-" : format("%.2f", ratio), w[3], true)
            << pad(r.peakKb ? format("%.0f MB", peakMb) : "-", w[4], true)
            << pad(rows != r.counters.end() ? format("%.0f", rows->second) : "", w[5], true);

        std::string target;
        auto verdict = [&](const std::string& what, bool ok) {
            target += (target.empty() ? "" : "; ") + what + (ok ? " met" : " MISSED");
            missed += ok ? 0 : 1;
        };
        switch (e.target) {
        case Target::None:
            break;
        case Target::ReadRatio:
            if (!std::isnan(ratio))
                verdict("<=2x read", ratio <= kReadRatioTarget);
            break;
        case Target::SearchRatio:
            if (e.largest && !std::isnan(ratio))
                verdict("<=1.5x read", ratio <= kSearchRatioTarget);
            break;
        case Target::WindowRatio:
            if (e.largest && !std::isnan(ratio))
                verdict("<=2x read", ratio <= kReadRatioTarget);
            break;
        case Target::BroadQuery:
            if (e.largest)
                verdict("<=400 ms", r.ms <= kBroadQueryTargetMs);
            break;
        case Target::FloorRatio:
            break; // judged with the floor below
        case Target::StartupTime:
            if (e.largest)
                verdict("<=1 s", r.ms <= kStartupTargetMs);
            break;
        case Target::Bookmarks:
            verdict("<=200 ms", r.ms <= kBookmarkMenusTargetMs);
            break;
        }
        if (e.largest && r.peakKb && e.target != Target::None)
            verdict("<150 MB", peakMb < kPeakTargetMb);
        // Against the floor's runs made beside it where it has them, else
        // against the floor's own line.
        double floorMs = NAN;
        if (const auto paired = r.counters.find("floor_ms");
            !e.floor.empty() && paired != r.counters.end() && paired->second > 0)
            floorMs = paired->second;
        else if (!e.floor.empty())
            if (const auto f = results_.find(e.floor);
                f != results_.end() && f->second.ran && !f->second.failed)
                floorMs = f->second.ms;
        if (!std::isnan(floorMs)) {
            const double floorRatio = r.ms / floorMs;
            target += (target.empty() ? "" : "; ") + format("%.2fx ", floorRatio) +
                      e.floor.substr(0, e.floor.find('/'));
            if (e.target == Target::FloorRatio && e.largest)
                verdict("<=1x", floorRatio <= 1.0);
        }
        out << "  " << target << '\n';
    }
    out << '\n'
        << "Median: median over " << repetitions_
        << " repetitions of the mean wall-clock time per iteration.\n"
        << "x read: median / the bare read of the same file, read() in 1 MiB blocks and "
           "nothing else:\n"
        << "  for the lines with a target, the mean of such reads made just before each "
           "timed\n"
        << "  iteration, so that a drift of the machine's speed over the run does not skew "
           "it;\n"
        << "  for the others, ReferenceRead.\n"
        << "ReferenceScan: the same reads with memmem over every block.\n"
        << "SearchPanelClick, SearchPanelBroad: the click on the search button to the painted "
           "result list,\n"
        << "  the previous search's rows cleared on the way; the query \"مدرسة\" in the "
           "descriptions,\n"
        << "  \"www\" in the addresses. SearchSitesNothing: a query no description holds.\n"
        << "KvlSearch, GrepCount: whole processes, kvl search over the site file and grep -c "
           "(C locale)\n"
        << "  over the same sites as kvl sites lists them, the same query; KvlSearch is "
           "compared with\n"
        << "  grep runs made just before each of its own.\n"
        << "ReferenceAppend: the memmem scan, one record written at the end, fdatasync. "
           "ReferenceCopy: the file\n"
        << "  copied in 1 MiB blocks to a new file, fsync, rename, fsync of the folder.\n"
        << "  The least a durable append or rewrite does: the last column compares with them.\n"
        << "Peak RSS: ru_maxrss of a fresh korvalo_bench process running that benchmark once,\n"
        << "  its set-up included (for the window rows, the main window's start-up on that "
           "folder);\n"
        << "  for StartupToShown, of the korvalo process itself.";
    if (baselineKb_)
        out << " An idle korvalo_bench process: " << format("%.0f MB", baselineKb_ / 1024.0) << '.';
    out << '\n'
        << (missed ? std::to_string(missed) + " target(s) missed." : "Every target met.") << '\n';
}

} // namespace korvalo::bench

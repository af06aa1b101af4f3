#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace korvalo::bench {

// Collects the median of every benchmark and prints the one table the suite
// is read from; progress goes to standard error as the runs finish.
class TableReporter : public benchmark::BenchmarkReporter {
public:
    // What a line of the table is measured against.
    enum class Target {
        None,
        ReadRatio,   // within 2x the bare read of the same file
        SearchRatio, // the search itself: within 1.5x the bare read, for the largest
        WindowRatio, // a click to the painted list: within 2x the bare read, for the largest
        BroadQuery,  // a search listing every site: within 400 ms, for the largest
        StartupTime, // main window shown within 1 s
        Bookmarks,   // the menus of 20 000 bookmarks built within 200 ms
        FloorRatio,  // no slower than its floor, for the largest
    };

    struct Entry {
        std::string name;      // the benchmark's registered name
        std::string operation; // first column
        std::string size;      // second column
        std::string reference; // name of the bare read of the same file, or empty
        std::string floor;     // name of the bare system calls it is also compared with
        Target target = Target::None;
        bool largest = false; // the 1 000 000-site case, whose peak memory has a target
    };

    void add(Entry entry);

    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;

    bool anyErrors() const { return errors_; }
    // Names of the benchmarks that ran and report no peak of their own.
    std::vector<std::string> needPeak() const;
    void setPeak(const std::string& name, long kb) { results_[name].peakKb = kb; }
    void setBaselinePeak(long kb) { baselineKb_ = kb; }

    void printTable(std::ostream& out) const;

private:
    struct Result {
        bool ran = false;
        bool failed = false;
        std::string error;
        double ms = 0;
        long peakKb = 0;
        bool ownPeak = false;
        std::map<std::string, double> counters;
    };

    std::vector<Entry> entries_;
    std::map<std::string, Result> results_;
    long baselineKb_ = 0;
    int repetitions_ = 1;
    bool errors_ = false;
};

} // namespace korvalo::bench

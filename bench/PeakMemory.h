#pragma once

#include <string>
#include <vector>

namespace korvalo::bench {

// Peak resident memory of a process, measured through korvalo_peak_rss (see
// peak_rss.cpp for why a helper). For one benchmark alone, the benchmark
// program is started again with only that benchmark selected, for one
// iteration.
class PeakMemory {
public:
    // The flag that tells a child to run quietly.
    static constexpr const char* kChildFlag = "--peak-child";

    // self: this program; the helper sits beside it. work: a folder for the
    // helper's result files.
    PeakMemory(std::string self, std::string work);

    // Peak RSS in KiB of a child that runs the named benchmark once; 0 when
    // the child failed. An empty name runs nothing: the idle baseline.
    long ofBenchmark(const std::string& name) const;

    // The command line that runs argv under the helper, and the peak it wrote
    // (0 when it wrote none).
    std::vector<std::string> wrap(const std::vector<std::string>& argv) const;
    long result() const;

private:
    std::string self_;
    std::string helper_;
    std::string resultFile_;
};

} // namespace korvalo::bench

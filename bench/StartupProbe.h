#pragma once

#include "PeakMemory.h"

#include <string>

namespace korvalo::bench {

// Starts the real program on a folder, offscreen, with KORVALO_EXIT_WHEN_SHOWN
// set, and times it from the spawn to its "shown" line.
class StartupProbe {
public:
    struct Result {
        double seconds = 0; // spawn to the shown main window
        long peakRssKb = 0; // the program's peak resident set over its whole run
    };

    // program: the korvalo executable. configHome: XDG_CONFIG_HOME for it.
    // peak: measures the program's resident memory.
    StartupProbe(std::string program, std::string configHome, std::string runtimeDir,
                 const PeakMemory& peak);

    // Throws std::runtime_error when the program fails or is not shown
    // within a minute.
    Result run(const std::string& folder) const;

private:
    std::string program_;
    std::string configHome_;
    std::string runtimeDir_;
    const PeakMemory& peak_;
};

} // namespace korvalo::bench

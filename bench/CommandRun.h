#pragma once

#include <string>
#include <vector>

namespace korvalo::bench {

// Runs a program to its end with its standard output in a file; the whole
// process is timed. Not /dev/null: grep stops at its first match there.
class CommandRun {
public:
    struct Result {
        double seconds = 0; // from the spawn to the end of the process
        int status = -1;    // the exit status; -1 when it did not exit normally
    };

    // env: variables set or replaced for the program only. outFile is
    // replaced. Throws std::runtime_error when the program cannot be started.
    static Result run(const std::vector<std::string>& argv, const std::string& outFile,
                      const std::vector<std::string>& env = {});
};

} // namespace korvalo::bench

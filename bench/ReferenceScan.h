#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvalo::bench {

// The yardstick for every whole-file operation: read the file front to back
// in 1 MiB blocks and memmem each block for a needle that is not there. An
// operation over the records cannot do less than this.
class ReferenceScan {
public:
    struct Result {
        uint64_t bytes = 0;
        bool found = false;
    };

    // Throws std::runtime_error when the file cannot be read.
    static Result run(const std::string& path, std::string_view needle = kAbsentNeedle);

    static constexpr std::string_view kAbsentNeedle = "korvalo-reference-needle";
};

} // namespace korvalo::bench

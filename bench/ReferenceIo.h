#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvalo::bench {

// Yardsticks made of plain system calls, without records or checks.
class ReferenceIo {
public:
    struct Result {
        uint64_t bytes = 0;
        bool found = false;
    };

    // The reference every whole-file operation is measured against, the floor
    // of anything that must read the whole file: read() front to back in
    // 1 MiB blocks into one buffer, and nothing else. The bytes read; throws
    // std::runtime_error when it cannot read.
    static uint64_t read(const std::string& path);

    // The same reads with memmem over each block for a needle that is not
    // there: a plain scan of the bytes, the second yardstick.
    static Result scan(const std::string& path, std::string_view needle = kAbsentNeedle);

    // The least a durable rewrite does: copy the file in 1 MiB blocks to a
    // new file beside it, fsync it and rename it over to.
    static void durableCopy(const std::string& path, const std::string& to);

    // The least a durable append does: the scan, then one record written at
    // the end and fdatasync'd. The caller cuts the file back.
    static void durableAppend(const std::string& path, std::string_view record);

    static constexpr std::string_view kAbsentNeedle = "korvalo-reference-needle";
};

} // namespace korvalo::bench

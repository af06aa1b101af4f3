#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// What every harness shares: a check that stops the run with a message, and
// a private folder for the files a harness writes.

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace korvalo::fuzz {

// A folder of this process's own, made at the first call (in memory when
// /dev/shm exists, so that the fsync of every write costs nothing) and
// removed at exit. Ends with '/'.
const std::string& scratchFolder();

// Replaces path's content with the bytes given (a plain write, for setting
// up an input).
void writeInput(const std::string& path, const uint8_t* data, size_t size);
std::string readBack(const std::string& path);

} // namespace korvalo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

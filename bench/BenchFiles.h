#pragma once

#include "SyntheticDirectory.h"

#include <cstdint>
#include <string>

namespace korvalo::bench {

// The benchmark folders under $KORVALO_BENCH_DIR (default /tmp/korvalo-bench),
// generated on first use and reused by later runs:
//   sites-N/          weburl.kvl of N sites and the ordinary cate.dat
//   startup-N/        the same sites with an empty password (no gate to
//                     answer), for everything that shows the window
//   categories-2000-open/  cate.dat of about 2 000 categories and a small site
//                     file with an empty password
//   sites-N.txt       the sites of sites-N as kvl lists them, for grep
//   work/             copies that the writing benchmarks change
class BenchFiles {
public:
    static const BenchFiles& instance();

    const std::string& root() const { return root_; }
    std::string sitesFolder(uint64_t sites) const; // generated on first use
    std::string startupFolder(uint64_t sites) const;
    std::string categoriesFolder() const;
    // Made by the kvl beside this program on first use.
    std::string sitesText(uint64_t sites) const;
    // An empty folder under work/ with a temp/ inside, made once per name.
    std::string workFolder(const std::string& name) const;

    static std::string sitePath(const std::string& folder) { return folder + "/weburl.kvl"; }
    static std::string catePath(const std::string& folder) { return folder + "/cate.dat"; }

    // Reads a file once so that it sits in the page cache.
    static void warm(const std::string& path);
    static uint64_t fileSize(const std::string& path);
    // Copies in the kernel; throws std::runtime_error on failure.
    static void copyFile(const std::string& from, const std::string& to);

private:
    BenchFiles();
    std::string ensure(const std::string& name, const SyntheticDirectory& directory) const;

    std::string root_;
};

} // namespace korvalo::bench

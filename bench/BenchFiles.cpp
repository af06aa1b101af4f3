#include "BenchFiles.h"

#include "CommandRun.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korvalo::bench {

namespace {

// Bump when the generator's output changes, so that old folders are rebuilt.
constexpr const char* kGeneratorStamp = "synthetic-directory 1";

std::string readStamp(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

} // namespace

const BenchFiles& BenchFiles::instance() {
    static const BenchFiles files;
    return files;
}

BenchFiles::BenchFiles() {
    const char* dir = std::getenv("KORVALO_BENCH_DIR");
    root_ = dir && *dir ? dir : "/tmp/korvalo-bench";
    std::filesystem::create_directories(root_ + "/work");
}

std::string BenchFiles::ensure(const std::string& name, const SyntheticDirectory& directory) const {
    const std::string folder = root_ + "/" + name;
    const std::string stamp = folder + "/.generated";
    if (readStamp(stamp) == kGeneratorStamp)
        return folder;
    std::fprintf(stderr, "generating %s ...\n", folder.c_str());
    std::filesystem::create_directories(folder + "/temp");
    directory.writeSiteFile(sitePath(folder));
    directory.writeCategoryFile(catePath(folder));
    std::ofstream(stamp) << kGeneratorStamp << '\n';
    return folder;
}

std::string BenchFiles::sitesFolder(uint64_t sites) const {
    return ensure("sites-" + std::to_string(sites), SyntheticDirectory(sites));
}

std::string BenchFiles::startupFolder(uint64_t sites) const {
    return ensure("startup-" + std::to_string(sites), SyntheticDirectory(sites, 4, ""));
}

std::string BenchFiles::categoriesFolder() const {
    // Without a password: the category-view benchmark shows the window.
    return ensure("categories-2000-open", SyntheticDirectory(1000, 49, ""));
}

std::string BenchFiles::sitesText(uint64_t sites) const {
    const std::string folder = sitesFolder(sites);
    const std::string text = root_ + "/sites-" + std::to_string(sites) + ".txt";
    // Made afresh whenever the folder is newer, as after a regeneration.
    std::error_code ec;
    if (std::filesystem::exists(text) &&
        std::filesystem::last_write_time(text, ec) >=
            std::filesystem::last_write_time(folder + "/.generated", ec))
        return text;
    const std::string kvl =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "kvl").string();
    const std::string part = text + ".part";
    if (CommandRun::run({kvl, "sites", sitePath(folder)}, part).status != 0 ||
        std::rename(part.c_str(), text.c_str()) != 0)
        throw std::runtime_error("cannot list the sites of " + folder + " with " + kvl);
    return text;
}

std::string BenchFiles::workFolder(const std::string& name) const {
    const std::string folder = root_ + "/work/" + name;
    std::filesystem::create_directories(folder + "/temp");
    return folder;
}

void BenchFiles::warm(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot open " + path);
    std::vector<char> buffer(1 << 20);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
}

uint64_t BenchFiles::fileSize(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        throw std::runtime_error("cannot stat " + path);
    return static_cast<uint64_t>(st.st_size);
}

void BenchFiles::copyFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec)
        throw std::runtime_error("cannot copy " + from + " to " + to + ": " + ec.message());
}

} // namespace korvalo::bench

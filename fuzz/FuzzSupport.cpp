#include "FuzzSupport.h"

#include <QDir>

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace korvalo::fuzz {

namespace {

std::string* folder = nullptr;

void removeFolder() {
    if (folder)
        QDir(QString::fromStdString(*folder)).removeRecursively();
}

} // namespace

const std::string& scratchFolder() {
    if (!folder) {
        struct stat st;
        const char* tmp = std::getenv("TMPDIR");
        std::string base = tmp && *tmp ? tmp : "/tmp";
        if (!(tmp && *tmp) && ::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode))
            base = "/dev/shm";
        std::string name = base + "/korvalo-fuzz-XXXXXX";
        FUZZ_CHECK(::mkdtemp(name.data()) != nullptr);
        folder = new std::string(name + "/");
        std::atexit(removeFolder);
    }
    return *folder;
}

void writeInput(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    FUZZ_CHECK(out.good());
}

std::string readBack(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace korvalo::fuzz

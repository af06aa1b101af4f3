#include "ReferenceIo.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace korvalo::bench {

namespace {

constexpr size_t kBlock = 1 << 20;

struct Fd {
    int fd;
    Fd(const std::string& path, int flags)
        : fd(::open(path.c_str(), flags | O_CLOEXEC, 0644)) {
        if (fd < 0)
            throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    }
    ~Fd() { ::close(fd); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

// Reads fd to its end in blocks, handing each to use. The block is one
// buffer for the whole run, its pages already in memory, so that no
// reference pays for faulting in a fresh one.
template <typename Use> void readBlocks(int fd, const std::string& path, Use use) {
    static std::vector<char> block(kBlock, 1);
    for (;;) {
        const ssize_t n = ::read(fd, block.data(), block.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw std::runtime_error("cannot read " + path);
        if (n == 0)
            return;
        use(block.data(), static_cast<size_t>(n));
    }
}

void writeOrThrow(int fd, const char* data, size_t size, const std::string& path) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error("cannot write " + path);
        data += n;
        size -= static_cast<size_t>(n);
    }
}

} // namespace

uint64_t ReferenceIo::read(const std::string& path) {
    const Fd in(path, O_RDONLY);
    ::posix_fadvise(in.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    uint64_t bytes = 0;
    readBlocks(in.fd, path, [&](const char*, size_t n) { bytes += n; });
    return bytes;
}

ReferenceIo::Result ReferenceIo::scan(const std::string& path, std::string_view needle) {
    const Fd in(path, O_RDONLY);
    ::posix_fadvise(in.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    Result result;
    readBlocks(in.fd, path, [&](const char* data, size_t n) {
        result.bytes += n;
        // A match across two blocks is not looked for: the needle is absent.
        if (::memmem(data, n, needle.data(), needle.size()))
            result.found = true;
    });
    return result;
}

void ReferenceIo::durableCopy(const std::string& path, const std::string& to) {
    const std::string temp = to + ".new";
    {
        const Fd in(path, O_RDONLY);
        const Fd out(temp, O_WRONLY | O_CREAT | O_TRUNC);
        readBlocks(in.fd, path,
                   [&](const char* data, size_t n) { writeOrThrow(out.fd, data, n, temp); });
        if (::fsync(out.fd) != 0)
            throw std::runtime_error("cannot sync " + temp);
    }
    if (::rename(temp.c_str(), to.c_str()) != 0)
        throw std::runtime_error("cannot put " + to + " in place");
    const std::string folder = to.substr(0, to.rfind('/') + 1);
    const Fd dir(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY);
    ::fsync(dir.fd);
}

void ReferenceIo::durableAppend(const std::string& path, std::string_view record) {
    if (scan(path).found)
        throw std::runtime_error("the reference needle occurs in " + path);
    const Fd out(path, O_WRONLY | O_APPEND);
    writeOrThrow(out.fd, record.data(), record.size(), path);
    if (::fdatasync(out.fd) != 0)
        throw std::runtime_error("cannot sync " + path);
}

} // namespace korvalo::bench

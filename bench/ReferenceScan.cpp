#include "ReferenceScan.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace korvalo::bench {

ReferenceScan::Result ReferenceScan::run(const std::string& path, std::string_view needle) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot open " + path);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::vector<char> block(1 << 20);
    Result result;
    for (;;) {
        const ssize_t n = ::read(fd, block.data(), block.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            throw std::runtime_error("cannot read " + path);
        }
        if (n == 0)
            break;
        result.bytes += static_cast<uint64_t>(n);
        // A match across two blocks is not looked for: the needle is absent.
        if (::memmem(block.data(), static_cast<size_t>(n), needle.data(), needle.size()))
            result.found = true;
    }
    ::close(fd);
    return result;
}

} // namespace korvalo::bench

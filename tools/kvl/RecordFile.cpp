#include "RecordFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace korvalo::kvl {

RecordFile readRecordFile(const std::string& path, size_t recordSize) {
    RecordFile file;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        file.status = errno == ENOENT ? RecordFile::Missing : RecordFile::Failed;
        file.error = std::strerror(errno);
        return file;
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            file.error = std::strerror(errno);
            ::close(fd);
            return file;
        }
        if (n == 0)
            break;
        file.records.append(buffer, size_t(n));
    }
    ::close(fd);
    file.fragmentBytes = file.records.size() % recordSize;
    file.records.resize(file.records.size() - file.fragmentBytes);
    file.status = RecordFile::Read;
    return file;
}

} // namespace korvalo::kvl

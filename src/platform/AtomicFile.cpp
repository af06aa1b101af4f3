#include "platform/AtomicFile.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvalo {

namespace {

constexpr size_t kBufferBytes = 1 << 20;

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The loop behind writeFully and pwriteFully; write(done) writes from the
// byte `done` on and returns what write(2) or pwrite(2) returned.
template <typename Write>
bool writeLoop(size_t size, int& err, Write write)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        if (n == 0) {
            err = ENOSPC;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool writeFully(int fd, const void* data, size_t size, int& err)
{
    const char* p = static_cast<const char*>(data);
    return writeLoop(size, err, [&](size_t done) { return ::write(fd, p + done, size - done); });
}

bool pwriteFully(int fd, const void* data, size_t size, off_t offset, int& err)
{
    const char* p = static_cast<const char*>(data);
    return writeLoop(size, err, [&](size_t done) {
        return ::pwrite(fd, p + done, size - done, offset + static_cast<off_t>(done));
    });
}

AtomicWriter::AtomicWriter(std::string targetPath)
    : target_(std::move(targetPath)) {}

AtomicWriter::~AtomicWriter() {
    cancel();
}

bool AtomicWriter::fail(const char* what, int err) {
    error_ = std::string(what) + " " + temp_ + ": " + std::strerror(err);
    cancel();
    return false;
}

bool AtomicWriter::open() {
    cancel();
    error_.clear();
    temp_ = target_ + ".XXXXXX";
    fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        const int err = errno;
        error_ = "cannot create " + temp_ + ": " + std::strerror(err);
        temp_.clear();
        return false;
    }
    // Keep the permissions of the file being replaced; a new file gets the
    // usual ones.
    struct stat st;
    const mode_t mode = ::stat(target_.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    ::fchmod(fd_, mode);
    buffer_.clear();
    buffer_.reserve(kBufferBytes);
    return true;
}

bool AtomicWriter::flushBuffer() {
    int err = 0;
    if (!buffer_.empty() && !writeFully(fd_, buffer_.data(), buffer_.size(), err))
        return fail("cannot write", err);
    buffer_.clear();
    return true;
}

bool AtomicWriter::write(const void* data, size_t size) {
    if (fd_ < 0)
        return false;
    const char* p = static_cast<const char*>(data);
    if (buffer_.size() + size > kBufferBytes && !flushBuffer())
        return false;
    if (size >= kBufferBytes) {
        int err = 0;
        if (!writeFully(fd_, p, size, err))
            return fail("cannot write", err);
        return true;
    }
    buffer_.insert(buffer_.end(), p, p + size);
    return true;
}

bool AtomicWriter::commit() {
    if (fd_ < 0)
        return false;
    if (!flushBuffer())
        return false;
    if (::fsync(fd_) != 0)
        return fail("cannot flush", errno);
    if (::close(fd_) != 0) {
        fd_ = -1;
        return fail("cannot close", errno);
    }
    fd_ = -1;
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        return fail("cannot rename", errno);
    temp_.clear();
    // The rename itself must reach the disk before we report success.
    const int dir = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void AtomicWriter::cancel() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    buffer_.clear();
}

bool atomicReplace(const std::string& path, std::string_view content, std::string* error) {
    AtomicWriter w(path);
    const bool ok = w.open() && w.write(content) && w.commit();
    if (!ok && error)
        *error = w.error();
    return ok;
}

FileLock::FileLock(const std::string& lockPath) {
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        return;
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(fd_);
            fd_ = -1;
            return;
        }
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0)
        ::close(fd_); // closing the only descriptor releases the flock
}

} // namespace korvalo

namespace korvalo {

int removeStaleTemporaries(const std::string& path)
{
    FileLock lock(lockPathFor(path));
    if (!lock.locked())
        return 0;
    const std::string folder = folderOf(path);
    const std::string base = path.substr(path.rfind('/') + 1) + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != base.size() + 6 || name.compare(0, base.size(), base) != 0)
            continue;
        bool generated = true; // mkostemp's six letters and digits
        for (size_t i = base.size(); i < name.size(); ++i)
            generated = generated && std::isalnum(static_cast<unsigned char>(name[i]));
        if (generated && ::unlink((folder + "/" + name).c_str()) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

} // namespace korvalo

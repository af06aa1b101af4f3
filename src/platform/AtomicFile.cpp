#include "platform/AtomicFile.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/random.h>
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

std::string nameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Our temporary files: hidden, and named so that no file a user keeps beside
// the data files can be taken for one.
constexpr char kTempPrefix[] = ".korvalo-";
constexpr char kTempSuffix[] = ".tmp";
constexpr size_t kTempRandom = 6;

std::string tempPrefixFor(const std::string& resolved) {
    return kTempPrefix + nameOf(resolved) + "-";
}

std::string randomLettersAndDigits() {
    static const char kAlphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[kTempRandom];
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        // Uniqueness, not secrecy, is what counts, and O_EXCL catches a clash.
        static std::atomic<unsigned> counter{0};
        const uint64_t seed = uint64_t(::getpid()) * 2654435761u + uint64_t(::time(nullptr)) +
                              counter.fetch_add(1) * 40503u;
        for (size_t i = 0; i < sizeof bytes; ++i)
            bytes[i] = static_cast<unsigned char>(seed >> (i * 7));
    }
    std::string out(kTempRandom, 'x');
    for (size_t i = 0; i < kTempRandom; ++i)
        out[i] = kAlphabet[bytes[i] % (sizeof kAlphabet - 1)];
    return out;
}

bool isTemporaryName(const std::string& name, const std::string& prefix) {
    const size_t suffix = sizeof kTempSuffix - 1;
    if (name.size() != prefix.size() + kTempRandom + suffix ||
        name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix, suffix, kTempSuffix) != 0)
        return false;
    for (size_t i = prefix.size(); i < prefix.size() + kTempRandom; ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

// The loop behind writeFully and pwriteFully; write(done) writes from the
// byte `done` on and returns what write(2) or pwrite(2) returned.
template <typename Write> bool writeLoop(size_t size, int& err, Write write) {
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

int openRegularFile(const std::string& path, int flags, mode_t mode) {
    // Non-blocking, so that opening a FIFO returns at once; the flag is taken
    // off again for the regular file it turns out to be.
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, mode);
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::string resolveLinks(const std::string& path) {
    std::string current = path;
    // The kernel's own limit on a chain of links; a longer one (or a loop)
    // is left for the rename to fail on.
    for (int hops = 0; hops < 40; ++hops) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
        if (n <= 0)
            return current;
        target[n] = 0;
        if (target[0] == '/')
            current = target;
        else
            current = folderOf(current) + "/" + target;
    }
    return current;
}

void letFileSizeLimitFailWrites() {
    static const bool done = [] {
        struct sigaction current;
        if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            ::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    (void)done;
}

bool writeFully(int fd, const void* data, size_t size, int& err) {
    const char* p = static_cast<const char*>(data);
    return writeLoop(size, err, [&](size_t done) { return ::write(fd, p + done, size - done); });
}

bool pwriteFully(int fd, const void* data, size_t size, off_t offset, int& err) {
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
    letFileSizeLimitFailWrites();
    resolved_ = resolveLinks(target_);
    const std::string prefix = folderOf(resolved_) + "/" + tempPrefixFor(resolved_);
    // Created here rather than by mkstemp, whose files are always 0600: the
    // kernel then applies the umask (and a default ACL) to 0666.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = prefix + randomLettersAndDigits() + kTempSuffix;
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        const int err = errno;
        error_ = "cannot create " + temp_ + ": " + std::strerror(err);
        temp_.clear();
        return false;
    }
    // A replaced file keeps its permissions.
    struct stat st;
    if (::stat(resolved_.c_str(), &st) == 0)
        ::fchmod(fd_, st.st_mode & 07777);
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
    if (::rename(temp_.c_str(), resolved_.c_str()) != 0)
        return fail("cannot rename", errno);
    temp_.clear();
    // The rename itself must reach the disk before we report success.
    const std::string folder = folderOf(resolved_);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) {
        error_ = "cannot open " + folder + ": " + std::strerror(errno);
        return false;
    }
    const bool synced = ::fsync(dir) == 0;
    const int err = errno;
    ::close(dir);
    if (!synced) {
        error_ = "cannot flush " + folder + ": " + std::strerror(err);
        return false;
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
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
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

int removeStaleTemporaries(const std::string& path) {
    FileLock lock(lockPathFor(path));
    if (!lock.locked())
        return 0;
    const std::string resolved = resolveLinks(path);
    const std::string folder = folderOf(resolved);
    const std::string prefix = tempPrefixFor(resolved);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!isTemporaryName(name, prefix))
            continue;
        const std::string file = folder + "/" + name;
        struct stat st;
        if (::lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(file.c_str()) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

} // namespace korvalo

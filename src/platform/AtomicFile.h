#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace korvalo {

// Writes every byte, retrying short writes and interruptions. False with err
// set when the system refuses; a write that makes no progress counts as a
// full disk (ENOSPC).
bool writeFully(int fd, const void* data, size_t size, int& err);
// The same at an offset, leaving the file position alone.
bool pwriteFully(int fd, const void* data, size_t size, off_t offset, int& err);

// Opens a file that a data-file reader or writer works on, refusing at once
// anything but a regular file: a folder, a FIFO or a device in its place
// fails with EISDIR or EINVAL (and never blocks, as a FIFO would). -1 with
// errno set on failure; the descriptor is close-on-exec.
int openRegularFile(const std::string& path, int flags, mode_t mode = 0666);

// Where a write of path really goes: path itself, or the file its chain of
// symbolic links ends at (which need not exist yet), so that a file kept as
// a link keeps its link when it is replaced.
std::string resolveLinks(const std::string& path);

// Makes a file size limit fail a write with EFBIG rather than end the process
// with SIGXFSZ half way through an append. Leaves a handler someone else
// installed alone. Every writer of ours calls it before its first write.
void letFileSizeLimitFailWrites();

// Writes a new generation of a file beside it and puts it in place with one
// rename, so that whatever fails or is killed midway, the file holds either
// its old content or its new content, never a torn mixture. Every write is
// checked for its full length; a failure anywhere cancels the whole write and
// leaves the original untouched. A target that is a link has the link's
// target replaced. A new file gets the permissions the umask leaves; a
// replaced one keeps its own.
class AtomicWriter {
public:
    explicit AtomicWriter(std::string targetPath);
    ~AtomicWriter(); // cancels unless committed
    AtomicWriter(const AtomicWriter&) = delete;
    AtomicWriter& operator=(const AtomicWriter&) = delete;

    bool open();
    bool write(const void* data, size_t size);
    bool write(std::string_view data) { return write(data.data(), data.size()); }
    // Flushes, fsyncs, renames over the target and fsyncs the folder. A
    // failure of that last step fails the commit although the new content is
    // already in place: it is not yet safe on the disk.
    bool commit();
    void cancel();

    // What failed, with the system's error text.
    const std::string& error() const { return error_; }

private:
    bool flushBuffer();
    bool fail(const char* what, int err);

    std::string target_;
    std::string resolved_; // the file the rename replaces
    std::string temp_;
    int fd_ = -1;
    std::vector<char> buffer_;
    std::string error_;
};

// Replaces path with content through an AtomicWriter.
bool atomicReplace(const std::string& path, std::string_view content, std::string* error = nullptr);

// Holds an exclusive flock() on a lock file for its lifetime. The lock lives
// on a file of its own because the data file's inode changes at every atomic
// replace. flock rather than fcntl: closing any other descriptor of the file
// would drop an fcntl lock.
class FileLock {
public:
    explicit FileLock(const std::string& lockPath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool locked() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Removes the temporary files that writers of path killed midway left behind.
// Only names of our own making go (".korvalo-", the file's name, a dash, six
// letters or digits, ".tmp"): a user's copies such as "weburl.kvl.backup"
// stay. Runs under path's lock, so no writer of ours is using one at that
// moment. Returns how many went.
int removeStaleTemporaries(const std::string& path);

// The lock file that guards a data file.
inline std::string lockPathFor(const std::string& dataPath) {
    return dataPath + ".lock";
}

} // namespace korvalo

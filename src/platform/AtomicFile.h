#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>
#include <string_view>
#include <vector>

namespace korvalo {

// Writes every byte, retrying short writes and interruptions. False with err
// set when the system refuses; a write that makes no progress counts as a
// full disk (ENOSPC).
bool writeFully(int fd, const void* data, size_t size, int& err);
// The same at an offset, leaving the file position alone.
bool pwriteFully(int fd, const void* data, size_t size, off_t offset, int& err);

// Writes a new generation of a file beside it and puts it in place with one
// rename, so that whatever fails or is killed midway, the file holds either
// its old content or its new content, never a torn mixture. Every write is
// checked for its full length; a failure anywhere cancels the whole write and
// leaves the original untouched.
class AtomicWriter {
public:
    explicit AtomicWriter(std::string targetPath);
    ~AtomicWriter(); // cancels unless committed
    AtomicWriter(const AtomicWriter&) = delete;
    AtomicWriter& operator=(const AtomicWriter&) = delete;

    bool open();
    bool write(const void* data, size_t size);
    bool write(std::string_view data) { return write(data.data(), data.size()); }
    // Flushes, fsyncs, renames over the target and fsyncs the folder.
    bool commit();
    void cancel();

    // What failed, with the system's error text.
    const std::string& error() const { return error_; }

private:
    bool flushBuffer();
    bool fail(const char* what, int err);

    std::string target_;
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

// Removes the temporary files that writers killed midway left beside path
// (path plus a dot and six letters or digits). Runs under path's lock, so no
// writer of ours is using one at that moment. Returns how many went.
int removeStaleTemporaries(const std::string& path);

// The lock file that guards a data file.
inline std::string lockPathFor(const std::string& dataPath) {
    return dataPath + ".lock";
}

} // namespace korvalo

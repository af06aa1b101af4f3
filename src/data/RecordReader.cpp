#include "data/RecordReader.h"

#include "platform/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvalo {

namespace {
// A quarter of a megabyte per read: large enough that a scan runs at the
// speed of the page cache, small enough that a block just read is still in
// the processor's cache while it is tested.
constexpr size_t kBlockBytes = 1 << 18;
} // namespace

RecordReader::RecordReader(size_t recordSize)
    : recordSize_(recordSize) {}

RecordReader::~RecordReader() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool RecordReader::open(const std::string& path) {
    fd_ = openRegularFile(path, O_RDONLY);
    if (fd_ < 0)
        return false;
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    // A block, or less for a small file such as "cate.dat", which is read
    // several times per click: filling a whole block's pages would cost more
    // than the reading. Left uninitialised, as read() fills it. A file that
    // grows meanwhile is still read to its end, in more reads.
    size_t records = kBlockBytes / recordSize_ + 1;
    struct stat st;
    if (::fstat(fd_, &st) == 0 && st.st_size >= 0) {
        recordsAtOpen_ = static_cast<uint64_t>(st.st_size) / recordSize_;
        records = std::min(records, static_cast<size_t>(st.st_size) / recordSize_ + 2);
    }
    capacity_ = records * recordSize_;
    buffer_.reset(new uint8_t[capacity_]);
    return true;
}

bool RecordReader::refill() {
    // Move the partial record left over from the last block to the front.
    const size_t left = end_ - begin_;
    if (left && begin_)
        std::memmove(buffer_.get(), buffer_.get() + begin_, left);
    begin_ = 0;
    end_ = left;
    while (!eof_ && end_ < capacity_) {
        const ssize_t n = ::read(fd_, buffer_.get() + end_, capacity_ - end_);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            failed_ = true;
            return false;
        }
        if (n == 0)
            eof_ = true;
        end_ += static_cast<size_t>(n);
        if (end_ - begin_ >= recordSize_ && end_ % recordSize_ == 0)
            break;
    }
    return end_ >= recordSize_;
}

const uint8_t* RecordReader::next() {
    size_t count = 1;
    return take(count);
}

const uint8_t* RecordReader::nextBlock(size_t& count) {
    count = SIZE_MAX;
    return take(count);
}

const uint8_t* RecordReader::take(size_t& count) {
    if (fd_ < 0 || failed_ || (end_ - begin_ < recordSize_ && !refill())) {
        if (fd_ >= 0 && !failed_ && eof_)
            fragment_ = end_ - begin_;
        count = 0;
        return nullptr;
    }
    count = std::min(count, (end_ - begin_) / recordSize_);
    const uint8_t* records = buffer_.get() + begin_;
    begin_ += count * recordSize_;
    records_ += count;
    return records;
}

} // namespace korvalo

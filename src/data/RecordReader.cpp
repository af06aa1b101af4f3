#include "data/RecordReader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace korvalo {

namespace {
// About a megabyte per read: large enough that a scan runs at the speed of
// the page cache, small enough to stay out of the way.
constexpr size_t kBlockBytes = 1 << 20;
} // namespace

RecordReader::RecordReader(size_t recordSize)
    : recordSize_(recordSize)
    , buffer_((kBlockBytes / recordSize + 1) * recordSize) {}

RecordReader::~RecordReader() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool RecordReader::open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        return false;
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

bool RecordReader::refill() {
    // Move the partial record left over from the last block to the front.
    const size_t left = end_ - begin_;
    if (left && begin_)
        std::memmove(buffer_.data(), buffer_.data() + begin_, left);
    begin_ = 0;
    end_ = left;
    while (!eof_ && end_ < buffer_.size()) {
        const ssize_t n = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
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
    if (fd_ < 0 || failed_)
        return nullptr;
    if (end_ - begin_ < recordSize_ && !refill()) {
        if (eof_)
            fragment_ = end_ - begin_;
        return nullptr;
    }
    const uint8_t* record = buffer_.data() + begin_;
    begin_ += recordSize_;
    ++records_;
    return record;
}

} // namespace korvalo

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace korvalo {

// Reads a file of fixed-size records front to back in large blocks and hands
// out one whole record at a time. A trailing fragment shorter than a record is
// not handed out; fragmentBytes() tells its size once the end is reached.
class RecordReader {
public:
    explicit RecordReader(size_t recordSize);
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // False when the file cannot be opened for reading or is not a regular
    // file (see openRegularFile).
    bool open(const std::string& path);

    // The next whole record, or nullptr at the end of the file or after a
    // read error. The pointer stays valid until the next call. A reader asks
    // failed() after the last record: a failed read is a file that cannot be
    // read, never a shorter one.
    const uint8_t* next();
    // Every whole record the reader holds now, at least one: count of them
    // back to back; nullptr as next() gives it. Valid until the next call.
    const uint8_t* nextBlock(size_t& count);
    // The whole records the file held when it was opened.
    uint64_t recordsAtOpen() const { return recordsAtOpen_; }

    bool failed() const { return failed_; }
    uint64_t recordsRead() const { return records_; }
    uint64_t fragmentBytes() const { return fragment_; }

private:
    bool refill();
    // Hands out up to count whole records (count becomes how many).
    const uint8_t* take(size_t& count);

    size_t recordSize_;
    int fd_ = -1;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t capacity_ = 0;
    size_t begin_ = 0;
    size_t end_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    uint64_t records_ = 0;
    uint64_t fragment_ = 0;
    uint64_t recordsAtOpen_ = 0;
};

} // namespace korvalo

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvalo::kvl {

// A data file read whole for a command that rewrites it.
struct RecordFile {
    enum Status { Read, Missing, Failed } status = Failed;
    std::string records;        // the whole records, as stored
    uint64_t fragmentBytes = 0; // a trailing part record, not kept
    std::string error;          // for Failed: the system's reason

    size_t count(size_t recordSize) const { return records.size() / recordSize; }
    const uint8_t* record(size_t index, size_t recordSize) const {
        return reinterpret_cast<const uint8_t*>(records.data()) + index * recordSize;
    }
};

RecordFile readRecordFile(const std::string& path, size_t recordSize);

} // namespace korvalo::kvl

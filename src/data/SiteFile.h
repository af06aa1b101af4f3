#pragma once

#include "data/Records.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvalo {

// What a data-file operation came to. The caller decides what the user sees:
//   NotOpened     - no message (the data file cannot be opened or read)
//   Duplicate     - "العنوان المدخل موجود مسبقاً"
//   ScratchFailed - "  حرر مساحة خالية temp.tmp  تعذر فتح الملف"
//   NotWritable   - no message (the new content could not be put in place)
//   InvalidRecord - a text does not fit its field; see fieldError
// Whatever the failure, the data file is left exactly as it was.
enum class DataFileStatus { Done, NotOpened, Duplicate, ScratchFailed, NotWritable, InvalidRecord };

const char* describeStatus(DataFileStatus status); // plain English, for logs and tests

struct DataFileResult {
    DataFileStatus status = DataFileStatus::Done;
    uint64_t removed = 0;  // records the operation dropped
    uint64_t added = 0;    // records written at the end (0 or 1)
    bool replaced = false; // a rewrite's replaceFirst found its record
    // Whole records in the data file afterwards: the new site count. After a
    // duplicate, and after a failure that came once the whole file had been
    // read, the unchanged file's count; otherwise 0.
    uint64_t count = 0;
    std::optional<FieldError> fieldError; // for InvalidRecord
    std::string error;                    // the system's reason, for logs

    bool ok() const { return status == DataFileStatus::Done; }
};

// "temp/Temp.tmp" under the program directory: the scratch file every rewrite
// of the site file and of "cate.dat" goes through.
std::string scratchPathFor(const std::string& programDir);

// One rewrite of a data file through the scratch file: every record that
// stays is copied as stored to the scratch file, then the scratch file is
// copied back over the data file, followed by append when given.
struct RecordRewrite {
    size_t recordSize = kSiteRecordSize;
    // Records for which keep returns false are dropped; empty keeps them all.
    std::function<bool(const uint8_t* stored)> keep;
    // Offered the kept records in file order until it returns true once; the
    // record it filled into out (recordSize bytes) is stored in its place.
    std::function<bool(const uint8_t* stored, uint8_t* out)> replaceFirst;
    // A conversion from an older layout: the data file is read as records of
    // sourceRecordSize bytes, each turned by convert into recordSize bytes
    // before keep and replaceFirst see it. 0 reads records of recordSize.
    size_t sourceRecordSize = 0;
    std::function<void(const uint8_t* source, uint8_t* out)> convert;
    // Stored bytes of one record written after the copied records (data file
    // only, as the new last record), or empty.
    std::vector<uint8_t> append;
    // The caller already holds FileLock(lockPathFor(dataPath)), for a
    // read-check-rewrite sequence; a second flock in one process would block.
    bool lockHeldByCaller = false;
};

// The rewrite, under an exclusive lock from the first read to the last write.
// The data file is never truncated in place: its new content replaces it
// atomically, so a kill or a full disk leaves the old file or the new one.
DataFileResult rewriteThroughScratch(const std::string& dataPath, const std::string& scratchPath,
                                     const RecordRewrite& rewrite);

// Copies the whole records of the scratch file back over the data file
// (atomically, under the data file's lock). count is the records copied.
DataFileResult RewriteFromScratch(const std::string& dataPath, const std::string& scratchPath,
                                  size_t recordSize);

struct AppendOptions {
    // Refuses the append with Duplicate when any stored record matches.
    std::function<bool(const uint8_t* stored)> duplicate;
    bool createIfMissing = false; // "a+b" rather than "r+b"
    bool lockHeldByCaller = false;
};

// Writes one stored record at the end of the last whole record (a trailing
// fragment is overwritten) and syncs it. A failed or short write is cut back,
// leaving the file as it was.
DataFileResult appendRecord(const std::string& path, const uint8_t* stored, size_t recordSize,
                            const AppendOptions& options = {});

// The operations on the site file (by default "weburl.kvl") of one program
// directory. Nothing here shows anything; every operation opens, locks and
// closes the files it needs and returns what happened.
class SiteFile {
public:
    // programDir is the program directory with its trailing '/'; the site
    // file is a name in it, or an absolute path to a file anywhere else.
    SiteFile(const std::string& programDir, const std::string& siteFileName);

    const std::string& path() const { return path_; }
    const std::string& scratchPath() const { return scratchPath_; }

    // Hands every whole record, decoded, to visit in file order; visit returns
    // false to stop early. count is the records handed out. Readers take no
    // lock: a rewrite replaces the file by rename, so an open reader keeps
    // seeing one whole generation, and an append adds at most a fragment.
    DataFileResult ReadSites(const std::function<bool(const SiteRecord&)>& visit) const;
    std::optional<std::vector<SiteRecord>> ReadSites() const;

    // Appends the record unless one with the same Url exists.
    DataFileResult AppendSite(const SiteRecord& record) const;
    // The password record is appended without the duplicate check.
    DataFileResult appendSiteAllowingDuplicate(const SiteRecord& record) const;

    // Removes every record whose Url equals url (case-sensitive, exact bytes).
    DataFileResult RemoveSites(std::string_view url) const;

    // Removes every record whose Url equals url and appends record as the new
    // last record, as one locked rewrite. The edit dialog runs before this
    // call, not between its file steps: a cancelled dialog simply never calls
    // it, and no lock is held while the user types.
    DataFileResult ReplaceSite(std::string_view url, const SiteRecord& record) const;

    // Removes every record whose CategoryId equals categoryId.
    DataFileResult RemoveCategorySites(int32_t categoryId) const;

private:
    std::string path_;
    std::string scratchPath_;
};

} // namespace korvalo

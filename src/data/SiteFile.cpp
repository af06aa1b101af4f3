#include "data/SiteFile.h"

#include "data/RecordReader.h"
#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvalo {

namespace {

constexpr size_t kScratchBufferBytes = 1 << 20;

DataFileResult failure(DataFileStatus status, std::string error, uint64_t count = 0) {
    DataFileResult r;
    r.status = status;
    r.error = std::move(error);
    r.count = count;
    return r;
}

std::string systemError(const char* what, const std::string& path, int err) {
    return std::string(what) + " " + path + ": " + std::strerror(err);
}

// Takes the data file's lock unless the caller holds it. A missing data file
// is reported before a lock file is created beside it; a lock that cannot be
// taken means the folder refuses new files, so the file cannot be replaced.
std::optional<DataFileResult> lockDataFile(const std::string& dataPath, bool heldByCaller,
                                           std::optional<FileLock>& lock) {
    if (heldByCaller)
        return std::nullopt;
    if (::access(dataPath.c_str(), F_OK) != 0)
        return failure(DataFileStatus::NotOpened, systemError("cannot open", dataPath, errno));
    lock.emplace(lockPathFor(dataPath));
    if (!lock->locked())
        return failure(DataFileStatus::NotWritable,
                       systemError("cannot lock", lockPathFor(dataPath), errno));
    return std::nullopt;
}

// The scratch file, written in place ("wb") through a buffer. It is a working
// copy only, so it is not synced; every write is still checked, because a
// short scratch file copied back would lose records.
//
// The last rewrite's scratch file is overwritten and then cut to the new
// length rather than truncated on open: truncating a large file frees all its
// blocks, and ext4 then flushes the rewritten file on close (its guard for
// files replaced by truncation), which together cost a quarter of a rewrite.
class ScratchWriter {
public:
    ~ScratchWriter() {
        if (fd_ >= 0)
            ::close(fd_);
    }

    bool create(const std::string& path) {
        path_ = path;
        letFileSizeLimitFailWrites();
        // The last scratch file is reused only when it is a plain file of its
        // own; anything else found under its name (a link planted there, a
        // FIFO, a second name of another file) is removed, never written
        // through, and a new file is made in its place.
        fd_ = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        struct stat st;
        if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1)) {
            ::close(fd_);
            fd_ = -1;
            errno = EEXIST;
        }
        if (fd_ < 0) {
            if (errno != ENOENT)
                ::unlink(path.c_str());
            fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        }
        if (fd_ < 0)
            return fail("cannot create", errno);
        buffer_.reserve(kScratchBufferBytes);
        return true;
    }

    bool write(const uint8_t* data, size_t size) {
        if (buffer_.size() + size > kScratchBufferBytes && !flush())
            return false;
        buffer_.insert(buffer_.end(), data, data + size);
        written_ += size;
        return true;
    }

    bool close() {
        if (!flush())
            return false;
        if (::ftruncate(fd_, static_cast<off_t>(written_)) != 0)
            return fail("cannot write", errno);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0)
            return fail("cannot close", errno);
        return true;
    }

    const std::string& error() const { return error_; }

private:
    bool flush() {
        int err = 0;
        if (!buffer_.empty() && !writeFully(fd_, buffer_.data(), buffer_.size(), err))
            return fail("cannot write", err);
        buffer_.clear();
        return true;
    }

    bool fail(const char* what, int err) {
        error_ = systemError(what, path_, err);
        return false;
    }

    std::string path_;
    int fd_ = -1;
    std::vector<uint8_t> buffer_;
    uint64_t written_ = 0;
    std::string error_;
};

// The second half of a rewrite, the copy back over the data file, with the
// locks already held: the scratch file is opened for reading before anything
// touches the data file, and the data file changes only by the final rename.
// expectedRecords, when given, guards against a scratch file that changed
// under us.
DataFileResult copyBack(const std::string& dataPath, const std::string& scratchPath,
                        size_t recordSize, const std::vector<uint8_t>& append,
                        std::optional<uint64_t> expectedRecords) {
    RecordReader in(recordSize);
    if (!in.open(scratchPath))
        return failure(DataFileStatus::ScratchFailed,
                       systemError("cannot open", scratchPath, errno));
    AtomicWriter out(dataPath);
    if (!out.open())
        return failure(DataFileStatus::NotWritable, out.error());
    uint64_t copied = 0;
    while (const uint8_t* record = in.next()) {
        if (!out.write(record, recordSize))
            return failure(DataFileStatus::NotWritable, out.error());
        ++copied;
    }
    if (in.failed() || (expectedRecords && *expectedRecords != copied)) {
        out.cancel();
        return failure(DataFileStatus::ScratchFailed, "cannot read back " + scratchPath);
    }
    if (!append.empty()) {
        if (!out.write(append.data(), append.size()))
            return failure(DataFileStatus::NotWritable, out.error());
        ++copied;
    }
    if (!out.commit())
        return failure(DataFileStatus::NotWritable, out.error());
    DataFileResult r;
    r.count = copied;
    return r;
}

DataFileResult invalidRecord(const SiteRecord& record) {
    DataFileResult r = failure(DataFileStatus::InvalidRecord, {});
    r.fieldError = checkSiteRecord(record);
    if (r.fieldError)
        r.error = r.fieldError->describe();
    return r;
}

} // namespace

const char* describeStatus(DataFileStatus status) {
    switch (status) {
    case DataFileStatus::Done:
        return "done";
    case DataFileStatus::NotOpened:
        return "data file cannot be opened";
    case DataFileStatus::Duplicate:
        return "address already present";
    case DataFileStatus::ScratchFailed:
        return "scratch file cannot be written";
    case DataFileStatus::NotWritable:
        return "data file cannot be written";
    case DataFileStatus::InvalidRecord:
        return "record does not fit its fields";
    }
    return "unknown";
}

std::string scratchPathFor(const std::string& programDir) {
    if (!programDir.empty() && programDir.back() != '/')
        return programDir + "/temp/Temp.tmp";
    return programDir + "temp/Temp.tmp";
}

DataFileResult rewriteThroughScratch(const std::string& dataPath, const std::string& scratchPath,
                                     const RecordRewrite& rewrite) {
    if (rewrite.recordSize == 0 ||
        (!rewrite.append.empty() && rewrite.append.size() != rewrite.recordSize))
        return failure(DataFileStatus::InvalidRecord, "appended record has the wrong size");

    std::optional<FileLock> lock;
    if (auto refused = lockDataFile(dataPath, rewrite.lockHeldByCaller, lock))
        return *refused;

    const bool converting = rewrite.sourceRecordSize != 0 && rewrite.convert;
    RecordReader in(converting ? rewrite.sourceRecordSize : rewrite.recordSize);
    if (!in.open(dataPath))
        return failure(DataFileStatus::NotOpened, systemError("cannot open", dataPath, errno));

    // The scratch file is shared by the rewrites of every data file, so it
    // gets a lock of its own; without it two copies rewriting the site file
    // and "cate.dat" at once would copy each other's records back.
    FileLock scratchLock(lockPathFor(scratchPath));
    if (!scratchLock.locked())
        return failure(DataFileStatus::ScratchFailed,
                       systemError("cannot lock", lockPathFor(scratchPath), errno));
    ScratchWriter scratch;
    if (!scratch.create(scratchPath))
        return failure(DataFileStatus::ScratchFailed, scratch.error());

    DataFileResult result;
    uint64_t kept = 0;
    std::vector<uint8_t> replacement(rewrite.recordSize);
    std::vector<uint8_t> converted(converting ? rewrite.recordSize : 0);
    while (const uint8_t* record = in.next()) {
        if (converting) {
            rewrite.convert(record, converted.data());
            record = converted.data();
        }
        if (rewrite.keep && !rewrite.keep(record)) {
            ++result.removed;
            continue;
        }
        const uint8_t* stored = record;
        if (!result.replaced && rewrite.replaceFirst &&
            rewrite.replaceFirst(record, replacement.data())) {
            result.replaced = true;
            stored = replacement.data();
        }
        if (!scratch.write(stored, rewrite.recordSize))
            return failure(DataFileStatus::ScratchFailed, scratch.error());
        ++kept;
    }
    if (in.failed())
        return failure(DataFileStatus::NotOpened, "cannot read " + dataPath);
    const uint64_t before = in.recordsRead();
    if (!scratch.close())
        return failure(DataFileStatus::ScratchFailed, scratch.error(), before);

    DataFileResult back = copyBack(dataPath, scratchPath, rewrite.recordSize, rewrite.append, kept);
    if (!back.ok()) {
        back.count = before;
        return back;
    }
    result.count = back.count;
    result.added = rewrite.append.empty() ? 0 : 1;
    return result;
}

DataFileResult RewriteFromScratch(const std::string& dataPath, const std::string& scratchPath,
                                  size_t recordSize) {
    std::optional<FileLock> lock;
    if (auto refused = lockDataFile(dataPath, false, lock))
        return *refused;
    FileLock scratchLock(lockPathFor(scratchPath));
    if (!scratchLock.locked())
        return failure(DataFileStatus::ScratchFailed,
                       systemError("cannot lock", lockPathFor(scratchPath), errno));
    return copyBack(dataPath, scratchPath, recordSize, {}, std::nullopt);
}

DataFileResult appendRecord(const std::string& path, const uint8_t* stored, size_t recordSize,
                            const AppendOptions& options) {
    if (stored == nullptr || recordSize == 0)
        return failure(DataFileStatus::InvalidRecord, "no record to append");
    std::optional<FileLock> lock;
    if (options.createIfMissing && !options.lockHeldByCaller) {
        lock.emplace(lockPathFor(path));
        if (!lock->locked())
            return failure(DataFileStatus::NotOpened,
                           systemError("cannot lock", lockPathFor(path), errno));
    } else if (auto refused = lockDataFile(path, options.lockHeldByCaller, lock)) {
        return *refused;
    }

    letFileSizeLimitFailWrites();
    const int fd = openRegularFile(path, O_RDWR | (options.createIfMissing ? O_CREAT : 0));
    if (fd < 0)
        return failure(DataFileStatus::NotOpened, systemError("cannot open", path, errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    struct stat st;
    if (::fstat(fd, &st) != 0)
        return failure(DataFileStatus::NotOpened, systemError("cannot read", path, errno));
    const off_t oldLength = st.st_size;
    const uint64_t whole = static_cast<uint64_t>(oldLength) / recordSize;
    const off_t end = static_cast<off_t>(whole * recordSize);

    if (options.duplicate) {
        RecordReader in(recordSize);
        if (!in.open(path))
            return failure(DataFileStatus::NotOpened, systemError("cannot open", path, errno));
        while (const uint8_t* record = in.next())
            if (options.duplicate(record))
                return failure(DataFileStatus::Duplicate, {}, whole);
        if (in.failed())
            return failure(DataFileStatus::NotOpened, "cannot read " + path);
    }

    // The fragment is meaningless to every reader, but a failed append puts
    // it back so that the file is left byte for byte as it was.
    std::vector<uint8_t> fragment(static_cast<size_t>(oldLength - end));
    if (!fragment.empty() &&
        ::pread(fd, fragment.data(), fragment.size(), end) != static_cast<ssize_t>(fragment.size()))
        return failure(DataFileStatus::NotOpened, systemError("cannot read", path, errno));

    int err = 0;
    bool ok = pwriteFully(fd, stored, recordSize, end, err);
    if (ok && ::fdatasync(fd) != 0) {
        err = errno;
        ok = false;
    }
    if (!ok) {
        if (::ftruncate(fd, oldLength) == 0 && !fragment.empty()) {
            int ignored = 0;
            pwriteFully(fd, fragment.data(), fragment.size(), end, ignored);
        }
        ::fdatasync(fd);
        return failure(DataFileStatus::NotWritable, systemError("cannot write", path, err), whole);
    }

    DataFileResult r;
    r.added = 1;
    r.count = whole + 1;
    return r;
}

SiteFile::SiteFile(const std::string& programDir, const std::string& siteFileName)
    : path_(
          !siteFileName.empty() && siteFileName.front() == '/'
              ? siteFileName
              : (!programDir.empty() && programDir.back() != '/' ? programDir + "/" : programDir) +
                    siteFileName)
    , scratchPath_(scratchPathFor(programDir)) {}

DataFileResult SiteFile::ReadSites(const std::function<bool(const SiteRecord&)>& visit) const {
    RecordReader in(kSiteRecordSize);
    if (!in.open(path_))
        return failure(DataFileStatus::NotOpened, systemError("cannot open", path_, errno));
    DataFileResult r;
    while (const uint8_t* record = in.next()) {
        ++r.count;
        if (!visit(DecodeSiteRecord(record)))
            return r;
    }
    if (in.failed())
        return failure(DataFileStatus::NotOpened, "cannot read " + path_, r.count);
    return r;
}

std::optional<std::vector<SiteRecord>> SiteFile::ReadSites() const {
    std::vector<SiteRecord> sites;
    const DataFileResult r = ReadSites([&sites](const SiteRecord& site) {
        sites.push_back(site);
        return true;
    });
    if (!r.ok())
        return std::nullopt;
    return sites;
}

DataFileResult SiteFile::AppendSite(const SiteRecord& record) const {
    SiteBytes bytes;
    if (!EncodeSiteRecord(record, bytes))
        return invalidRecord(record);
    AppendOptions options;
    const StoredText key = storedUrlKey(record.Url);
    options.duplicate = [&key](const uint8_t* stored) { return key.matches(stored); };
    return appendRecord(path_, bytes.data(), bytes.size(), options);
}

DataFileResult SiteFile::appendSiteAllowingDuplicate(const SiteRecord& record) const {
    SiteBytes bytes;
    if (!EncodeSiteRecord(record, bytes))
        return invalidRecord(record);
    return appendRecord(path_, bytes.data(), bytes.size());
}

DataFileResult SiteFile::RemoveSites(std::string_view url) const {
    RecordRewrite rewrite;
    const StoredText key = storedUrlKey(url);
    rewrite.keep = [&key](const uint8_t* stored) { return !key.matches(stored); };
    return rewriteThroughScratch(path_, scratchPath_, rewrite);
}

DataFileResult SiteFile::ReplaceSite(std::string_view url, const SiteRecord& record) const {
    SiteBytes bytes;
    if (!EncodeSiteRecord(record, bytes))
        return invalidRecord(record);
    RecordRewrite rewrite;
    const StoredText key = storedUrlKey(url);
    rewrite.keep = [&key](const uint8_t* stored) { return !key.matches(stored); };
    rewrite.append.assign(bytes.begin(), bytes.end());
    return rewriteThroughScratch(path_, scratchPath_, rewrite);
}

DataFileResult SiteFile::RemoveCategorySites(int32_t categoryId) const {
    RecordRewrite rewrite;
    rewrite.keep = [categoryId](const uint8_t* stored) {
        return storedSiteCategoryId(stored) != categoryId;
    };
    return rewriteThroughScratch(path_, scratchPath_, rewrite);
}

} // namespace korvalo

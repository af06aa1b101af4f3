#include "data/VersionRecord.h"

#include "data/RecordReader.h"
#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace korvalo {

namespace {

DataFileResult failure(DataFileStatus status, std::string error) {
    DataFileResult r;
    r.status = status;
    r.error = std::move(error);
    return r;
}

std::string systemError(const char* what, const std::string& path) {
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

} // namespace

FirstSiteRecord ReadFirstSite(const std::string& sitePath) {
    FirstSiteRecord first;
    RecordReader in(kSiteRecordSize);
    if (!in.open(sitePath))
        return first;
    if (const uint8_t* record = in.next()) {
        first.stored.emplace();
        std::memcpy(first.stored->data(), record, kSiteRecordSize);
    }
    first.opened = !in.failed();
    return first;
}

DataFileResult WriteVersionRecord(const std::string& sitePath, const SiteRecord& version,
                                  const std::optional<SiteBytes>& replacing) {
    SiteBytes bytes;
    if (!EncodeSiteRecord(version, bytes)) {
        DataFileResult r = failure(DataFileStatus::InvalidRecord, {});
        r.fieldError = checkSiteRecord(version);
        if (r.fieldError)
            r.error = r.fieldError->describe();
        return r;
    }
    if (::access(sitePath.c_str(), F_OK) != 0)
        return failure(DataFileStatus::NotOpened, systemError("cannot open", sitePath));
    FileLock lock(lockPathFor(sitePath));
    if (!lock.locked())
        return failure(DataFileStatus::NotWritable,
                       systemError("cannot lock", lockPathFor(sitePath)));

    RecordReader in(kSiteRecordSize);
    if (!in.open(sitePath))
        return failure(DataFileStatus::NotOpened, systemError("cannot open", sitePath));
    const uint8_t* first = in.next();
    const bool hadFirst = first != nullptr;
    if (in.failed())
        return failure(DataFileStatus::NotOpened, "cannot read " + sitePath);
    const bool asSeen =
        first ? replacing && std::memcmp(first, replacing->data(), kSiteRecordSize) == 0
              : !replacing;
    if (!asSeen)
        return failure(DataFileStatus::NotWritable, sitePath + " changed meanwhile");

    AtomicWriter out(sitePath);
    if (!out.open() || !out.write(bytes.data(), bytes.size()))
        return failure(DataFileStatus::NotWritable, out.error());
    uint64_t count = 1;
    if (hadFirst) {
        while (const uint8_t* record = in.next()) {
            if (!out.write(record, kSiteRecordSize))
                return failure(DataFileStatus::NotWritable, out.error());
            ++count;
        }
    }
    if (in.failed())
        return failure(DataFileStatus::NotOpened, "cannot read " + sitePath);
    if (!out.commit())
        return failure(DataFileStatus::NotWritable, out.error());
    DataFileResult r;
    r.replaced = hadFirst;
    r.added = hadFirst ? 0 : 1;
    r.count = count;
    return r;
}

} // namespace korvalo

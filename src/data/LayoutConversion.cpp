#include "data/LayoutConversion.h"

#include "data/RecordReader.h"
#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace korvalo {

namespace {

// Where the current category record keeps what the conversion sets.
constexpr size_t kNameEnd = 70;
constexpr size_t kIdOffset = 72;
constexpr size_t kIsRootOffset = 76;
constexpr size_t kParentIdOffset = 80;
constexpr size_t kUserMarkOffset = 84;

void putInt(uint8_t* dst, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        dst[i] = static_cast<uint8_t>(v >> (8 * i));
}

ConversionResult failed(DataFileStatus status, const std::string& what, const std::string& path) {
    ConversionResult r;
    r.status = ConversionStatus::Failed;
    r.rewrite.status = status;
    r.rewrite.error = what + " " + path + ": " + std::strerror(errno);
    return r;
}

ConversionResult rewritten(const DataFileResult& rewrite) {
    return {rewrite.ok() ? ConversionStatus::Converted : ConversionStatus::Failed, rewrite};
}

} // namespace

void convertOldSiteRecord(const uint8_t* old, uint8_t* out) {
    std::memcpy(out, old, kOldSiteRecordSize);
    putInt(out + kOldSiteRecordSize, 0);
}

void convertOldCategoryRecord(const uint8_t* old, int32_t position, uint8_t* out) {
    std::memset(out, 0, kCategoryRecordSize);
    std::memcpy(out, old, kNameEnd);
    putInt(out + kIdOffset, position);
    putInt(out + kIsRootOffset, 1);
    putInt(out + kParentIdOffset, 0);
    putInt(out + kUserMarkOffset, 0);
}

std::optional<std::set<int32_t>> renumberedIds(const std::string& catePath) {
    RecordReader in(kOldCategoryRecordSize);
    if (!in.open(catePath))
        return std::nullopt;
    std::set<int32_t> ids;
    int64_t position = 0;
    while (const uint8_t* record = in.next()) {
        const int32_t id = storedCategoryId(record);
        if (id != 0 && id != position)
            ids.insert(id);
        ++position;
    }
    if (in.failed())
        return std::nullopt;
    return ids;
}

std::optional<std::set<int32_t>> idsInUse(const std::string& sitePath,
                                          const std::set<int32_t>& ids) {
    RecordReader in(kSiteRecordSize);
    if (!in.open(sitePath))
        return std::nullopt;
    std::set<int32_t> used;
    if (ids.empty())
        return used;
    while (const uint8_t* record = in.next()) {
        for (const int32_t id : {storedSiteCategoryId(record), storedSiteSubCategoryId(record)})
            if (ids.count(id))
                used.insert(id);
    }
    if (in.failed())
        return std::nullopt;
    return used;
}

ConversionResult ConvertSiteFile(const std::string& sitePath, const std::string& scratchPath) {
    // The length is judged under the lock that the rewrite then keeps, so no
    // append can slip in between.
    if (::access(sitePath.c_str(), F_OK) != 0)
        return failed(DataFileStatus::NotOpened, "cannot open", sitePath);
    FileLock lock(lockPathFor(sitePath));
    if (!lock.locked())
        return failed(DataFileStatus::NotWritable, "cannot lock", lockPathFor(sitePath));
    struct stat st;
    if (::stat(sitePath.c_str(), &st) != 0)
        return failed(DataFileStatus::NotOpened, "cannot open", sitePath);
    if (holdsCurrentSiteRecords(static_cast<uint64_t>(st.st_size)))
        return {ConversionStatus::AlreadyConverted, {}};

    RecordRewrite rewrite;
    rewrite.recordSize = kSiteRecordSize;
    rewrite.sourceRecordSize = kOldSiteRecordSize;
    rewrite.convert = convertOldSiteRecord;
    rewrite.lockHeldByCaller = true;
    return rewritten(rewriteThroughScratch(sitePath, scratchPath, rewrite));
}

ConversionResult ConvertCategoryFile(const std::string& catePath, const std::string& scratchPath) {
    int32_t position = 0;
    RecordRewrite rewrite;
    rewrite.recordSize = kCategoryRecordSize;
    rewrite.sourceRecordSize = kOldCategoryRecordSize;
    rewrite.convert = [&position](const uint8_t* old, uint8_t* out) {
        convertOldCategoryRecord(old, position++, out);
    };
    return rewritten(rewriteThroughScratch(catePath, scratchPath, rewrite));
}

} // namespace korvalo

#include "data/SiteListing.h"

#include "data/RecordReader.h"
#include "data/Records.h"

#include <cstring>

namespace korvalo {

StartupScan ScanSiteFileAtStartup(const std::string& sitePath, int32_t infoId) {
    StartupScan scan;
    RecordReader reader(kSiteRecordSize);
    if (!reader.open(sitePath))
        return scan;
    scan.opened = true;
    const StoredText passKey = storedUrlKey(kPasswordUrl);
    while (const uint8_t* rec = reader.next()) {
        ++scan.siteCount;
        const int32_t categoryId = storedSiteCategoryId(rec);
        const bool isPassword = passKey.matches(rec);
        if (categoryId == infoId && !isPassword)
            scan.versionLabel = storedSiteUrl(rec);
        if (isPassword)
            scan.storedPassword = storedSiteTitle(rec);
        if (categoryId == 1)
            scan.firstCategoryRows.appendStored(rec);
    }
    // Half a file would pass for the whole one: a wrong count, and perhaps
    // no password where one is stored.
    if (reader.failed())
        return {};
    return scan;
}

std::vector<SiteRow> ReadSiteRows(const std::string& path) {
    std::vector<SiteRow> rows;
    RecordReader reader(kSiteRecordSize);
    if (!reader.open(path))
        return rows;
    while (const uint8_t* rec = reader.next())
        rows.push_back({storedSiteUrl(rec), storedSiteLanguage(rec), storedSiteTitle(rec)});
    if (reader.failed())
        return {};
    return rows;
}

std::optional<int32_t> FindLastCategoryIdByName(const std::string& catePath,
                                                const std::string& name) {
    RecordReader reader(kCategoryRecordSize);
    if (!reader.open(catePath))
        return std::nullopt;
    const StoredText key = storedCategoryNameKey(name);
    int32_t id = 0;
    while (const uint8_t* rec = reader.next())
        if (key.matches(rec))
            id = storedCategoryId(rec);
    if (reader.failed())
        return std::nullopt;
    return id;
}

SiteListingResult ListCategorySites(const std::string& sitePath, int32_t id, bool subCategory) {
    SiteListingResult result;
    RecordReader reader(kSiteRecordSize);
    if (!reader.open(sitePath))
        return result;
    result.opened = true;
    // No category has Id 0: CategoryId 0 marks the password and version
    // records and SubCategoryId 0 a site filed directly under its main
    // category, so a name that vanished from "cate.dat" must not list them.
    if (id == 0)
        return result;
    // The id as the field is stored, compared as four bytes without decoding
    // the record: SubCategoryId plain, CategoryId with its lowest byte
    // shifted.
    const size_t offset = subCategory ? 172 : 80;
    uint8_t key[4];
    for (int i = 0; i < 4; ++i)
        key[i] = static_cast<uint8_t>(uint32_t(id) >> (8 * i));
    if (!subCategory)
        key[0] = static_cast<uint8_t>(key[0] + kShift);
    uint32_t stored;
    std::memcpy(&stored, key, sizeof stored);
    size_t count = 0;
    while (const uint8_t* block = reader.nextBlock(count))
        for (size_t r = 0; r < count; ++r) {
            const uint8_t* rec = block + r * kSiteRecordSize;
            uint32_t field;
            std::memcpy(&field, rec + offset, sizeof field);
            if (field != stored)
                continue;
            if (result.rows.empty())
                result.rows.reserve(reader.recordsAtOpen());
            result.rows.appendStored(rec);
        }
    if (reader.failed())
        return {};
    return result;
}

} // namespace korvalo

#include "data/SiteListing.h"

#include "data/RecordReader.h"
#include "data/Records.h"

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
            scan.firstCategoryRows.push_back(
                {storedSiteUrl(rec), storedSiteLanguage(rec), storedSiteTitle(rec)});
    }
    return scan;
}

std::vector<SiteRow> ReadSiteRows(const std::string& path) {
    std::vector<SiteRow> rows;
    RecordReader reader(kSiteRecordSize);
    if (!reader.open(path))
        return rows;
    while (const uint8_t* rec = reader.next())
        rows.push_back({storedSiteUrl(rec), storedSiteLanguage(rec), storedSiteTitle(rec)});
    return rows;
}

} // namespace korvalo

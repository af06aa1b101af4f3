#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvalo {

// One row of a site list, in Windows-1256 bytes as stored.
struct SiteRow {
    std::string url;
    std::string language;
    std::string title;
};

// What the start-up read-through of the site file gathers in one pass.
struct StartupScan {
    bool opened = false;
    uint64_t siteCount = 0;                 // every whole record, special records included
    std::string versionLabel;               // Url of the last version record
    std::string storedPassword;             // Title of the last password record
    std::vector<SiteRow> firstCategoryRows; // sites whose CategoryId is 1
};

// infoId: the Id of the category named "info" (0 when there is none). A
// record under it is the version record unless its Url is "pass".
StartupScan ScanSiteFileAtStartup(const std::string& sitePath, int32_t infoId);

// Every whole record of a file of site records as rows, in file order; empty
// when the file is missing or cannot be opened (the favourites file is
// optional).
std::vector<SiteRow> ReadSiteRows(const std::string& path);

} // namespace korvalo

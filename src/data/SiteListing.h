#pragma once

#include "data/SiteRowBuffer.h"

#include <cstdint>
#include <optional>
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
    bool opened = false;             // false also after a read error: nothing else is set
    uint64_t siteCount = 0;          // every whole record, special records included
    std::string versionLabel;        // Url of the last version record
    std::string storedPassword;      // Title of the last password record
    SiteRowBuffer firstCategoryRows; // sites whose CategoryId is 1
};

// infoId: the Id of the category named "info" (0 when there is none). A
// record under it is the version record unless its Url is "pass".
StartupScan ScanSiteFileAtStartup(const std::string& sitePath, int32_t infoId);

// Every whole record of a file of site records as rows, in file order; empty
// when the file is missing, cannot be opened or fails to read (the
// favourites file is optional).
std::vector<SiteRow> ReadSiteRows(const std::string& path);

// The Id of the LAST record of "cate.dat" whose Name equals name (0 when
// none): the browse list finds a sub-category this way, while every other
// lookup takes the first. nullopt when the file cannot be opened or read.
std::optional<int32_t> FindLastCategoryIdByName(const std::string& catePath,
                                                const std::string& name);

struct SiteListingResult {
    bool opened = false; // false also after a read error: the list keeps its rows
    SiteRowBuffer rows;
};

// The sites of one category in file order: for a main category those whose
// CategoryId is id (its sub-categories' sites included), for a sub-category
// those whose SubCategoryId is id.
SiteListingResult ListCategorySites(const std::string& sitePath, int32_t id, bool subCategory);

} // namespace korvalo

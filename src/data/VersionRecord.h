#pragma once

#include "data/SiteFile.h"

#include <optional>
#include <string>

namespace korvalo {

// The version record: a site record under the category "info" (under id 0
// when there is none) whose Url, the directory's version label, start-up
// shows. The maintainer keeps it as the first record of the site file.
inline bool isVersionRecord(const SiteRecord& record, int32_t infoId) {
    return record.CategoryId == infoId && record.Url != kPasswordUrl;
}

struct FirstSiteRecord {
    bool opened = false;             // the site file could be opened and read
    std::optional<SiteBytes> stored; // unset for a file without a whole record
};

FirstSiteRecord ReadFirstSite(const std::string& sitePath);

// Makes version the first record of the site file, in place of the record
// whose stored bytes are replacing (unset: the file holds no record yet).
// Every other record stays as stored; the file is replaced atomically under
// its lock. Refused with NotWritable, nothing written, when the first record
// is no longer the one the caller saw (another copy changed the file).
DataFileResult WriteVersionRecord(const std::string& sitePath, const SiteRecord& version,
                                  const std::optional<SiteBytes>& replacing);

} // namespace korvalo

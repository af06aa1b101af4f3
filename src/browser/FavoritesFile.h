#pragma once

#include "data/SiteListing.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace korvalo {

// The program's favourites file, "favorites.dat": site records stored
// exactly as in the site file, in the order they were added. It is only
// appended to, read whole (ReadSiteRows) or deleted.

enum class AddFavoriteStatus {
    Added,
    FavoritesNotWritable, // "  حرر مساحة خالية favorites.dat  تعذر فتح الملف"
    SiteFileNotOpened,    // silent
    NotFound,             // silent: no site has the address
};

struct AddFavoriteResult {
    AddFavoriteStatus status = AddFavoriteStatus::NotFound;
    SiteRow row; // the added site, when Added
};

// Copies the first site record whose Url equals url (exact bytes) from the
// site file to the end of the favourites file, as stored, with its UserMark
// set to userMark. A missing favourites file is created by the first record
// that goes in, and not otherwise. Adding a site twice gives two records.
AddFavoriteResult AddToFavorites(const std::string& favoritesPath, const std::string& sitePath,
                                 std::string_view url, int32_t userMark);

// Deletes the favourites file. True when it is gone (a missing file counts).
bool ClearFavorites(const std::string& favoritesPath);

} // namespace korvalo

#include "browser/FavoritesFile.h"

#include "data/RecordReader.h"
#include "data/Records.h"
#include "data/SiteFile.h"
#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace korvalo {

namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

} // namespace

AddFavoriteResult AddToFavorites(const std::string& favoritesPath, const std::string& sitePath,
                                 std::string_view url, int32_t userMark) {
    AddFavoriteResult result;
    // The favourites file is tried first, so that one that cannot be written
    // is reported whatever the site file holds. A missing one is not created
    // here, only when there is a record to put in it.
    const int probe = openRegularFile(favoritesPath, O_WRONLY | O_APPEND);
    if (probe >= 0) {
        ::close(probe);
    } else if (errno != ENOENT || ::access(folderOf(favoritesPath).c_str(), W_OK | X_OK) != 0) {
        result.status = AddFavoriteStatus::FavoritesNotWritable;
        return result;
    }

    RecordReader reader(kSiteRecordSize);
    if (!reader.open(sitePath)) {
        result.status = AddFavoriteStatus::SiteFileNotOpened;
        return result;
    }
    const StoredText key = storedUrlKey(url);
    SiteBytes found{};
    bool matched = false;
    while (const uint8_t* rec = reader.next()) {
        if (key.matches(rec)) {
            std::memcpy(found.data(), rec, kSiteRecordSize);
            matched = true;
            break;
        }
    }
    if (!matched) {
        result.status =
            reader.failed() ? AddFavoriteStatus::SiteFileNotOpened : AddFavoriteStatus::NotFound;
        return result;
    }

    setStoredSiteUserMark(found.data(), userMark);
    AppendOptions options;
    options.createIfMissing = true;
    if (!appendRecord(favoritesPath, found.data(), kSiteRecordSize, options).ok()) {
        result.status = AddFavoriteStatus::FavoritesNotWritable;
        return result;
    }
    result.status = AddFavoriteStatus::Added;
    result.row = {storedSiteUrl(found.data()), storedSiteLanguage(found.data()),
                  storedSiteTitle(found.data())};
    return result;
}

bool ClearFavorites(const std::string& favoritesPath) {
    // Under the file's lock, so an append of another running copy lands
    // either before the delete or in a new file.
    FileLock lock(lockPathFor(favoritesPath));
    return ::unlink(favoritesPath.c_str()) == 0 || errno == ENOENT;
}

} // namespace korvalo

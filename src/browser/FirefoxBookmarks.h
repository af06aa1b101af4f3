#pragma once

#include "browser/BookmarkTree.h"

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace korvalo {

struct FirefoxProfile {
    QString name;
    QString folder;
};

// The profiles of a "profiles.ini" ("[ProfileN]" sections with Name, Path
// and IsRelative), in file order, each folder once, at most
// kMaxBrowserProfiles. A relative path is taken under firefoxFolder, the
// folder that holds the file.
std::vector<FirefoxProfile> ParseFirefoxProfiles(QByteArrayView profilesIni,
                                                 const QString& firefoxFolder);

// A profile's bookmarks: the bookmarks toolbar, the bookmarks menu and the
// other bookmarks, as three folders in that order, each with its entries in
// their stored order and its captions shortened. A running Firefox keeps
// "places.sqlite" locked and its latest changes in "places.sqlite-wal", so
// both are copied into a private temporary folder and the copy is read:
// the profile's own files are never opened by SQLite and stay exactly as
// they were. nullopt when there is no database, it is damaged, or it goes
// beyond the reader's bounds.
std::optional<BookmarkList> ReadFirefoxBookmarks(const QString& profileFolder);

// The same from the bytes of a database and of its -wal file (empty when
// there is none).
std::optional<BookmarkList> ParsePlacesDatabase(QByteArrayView database, QByteArrayView wal);

} // namespace korvalo

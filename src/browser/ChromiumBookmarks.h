#pragma once

#include "browser/BookmarkTree.h"

#include <QByteArrayView>
#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace korvalo {

// A "Bookmarks" file of a Chromium-family browser (JSON): the bookmarks
// bar and the other bookmarks as two folders in that order, then the mobile
// bookmarks when there are any, each with its entries in their stored order
// and its captions shortened. nullopt when the file is not such JSON or
// goes beyond the reader's bounds.
std::optional<BookmarkList> ParseChromiumBookmarks(QByteArrayView json);

// The profile names a browser's "Local State" file gives, by profile
// folder name; empty when it gives none.
std::map<QString, QString> ParseChromiumProfileNames(QByteArrayView localState);

struct ChromiumProfile {
    QString name; // from "Local State", else the folder's name
    QString bookmarksFile;
};

// The profiles of one browser's user-data folder that hold a "Bookmarks"
// file: the folder itself (where Opera keeps it), "Default", then the
// other folders in name order.
std::vector<ChromiumProfile> FindChromiumProfiles(const QString& userDataFolder);

} // namespace korvalo

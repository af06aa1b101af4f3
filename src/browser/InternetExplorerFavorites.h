#pragma once

#include "browser/BookmarkTree.h"

#include <QString>

#include <optional>

namespace korvalo {

// The entries of a favourites folder of Internet shortcuts: its subfolders
// first (names beginning with '.' left out), each filled from its own
// folder, then its "*.url" files (letter case ignored, hidden ones
// included) as bookmarks captioned with the name without its extension,
// whose address is the "URL" value of the file's "InternetShortcut" section
// ("N/A" when there is none or the file cannot be read). Each group is
// sorted with sortDroppingDuplicates on the shortened captions. A folder
// reached again through a link is not entered twice. nullopt when the tree
// nests deeper than kMaxBookmarkDepth or holds more than kMaxBookmarkEntries
// entries.
std::optional<BookmarkList> ReadInternetExplorerFavorites(const QString& folder);

// The address of a shortcut file's text, as above.
QString internetShortcutUrl(QByteArrayView content);

} // namespace korvalo

#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace korvalo {

// One entry of the browser-favourites list.
struct FavoritesEntry {
    enum Kind { Up, Folder, Shortcut };
    Kind kind = Shortcut;
    QString name;    // a folder's name, or a shortcut's file name without ".url"
    QString address; // shortcuts only

    bool operator==(const FavoritesEntry&) const = default;
};

// The entries of one folder of the browser favourites: its subfolders, then
// its shortcut files ("*.url", letter case ignored) that hold an address,
// each group sorted by name without regard to letter case. Hidden entries
// (names starting with a dot) are left out, as Windows leaves out hidden
// ones. A missing folder lists nothing. nullopt when a shortcut file cannot
// be opened: the listing then stops.
std::optional<std::vector<FavoritesEntry>> ReadFavoritesFolder(const QString& path);

} // namespace korvalo

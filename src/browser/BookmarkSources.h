#pragma once

#include "browser/BookmarkTree.h"

#include <QString>

namespace korvalo {

class RegistryFile;

// Where the bookmark readers look.
struct BookmarkLocations {
    const RegistryFile* registry = nullptr; // the emulated registry; none: no registry values
    QString favoritesPath; // the program's browser-favourites folder (FavoritesPath)
    QString winePrefix;    // where Windows browsers keep their files
    QString home;          // ~/.mozilla/firefox is under it
    QString configHome;    // the Chromium family's folders are under it
    QString dataHome;      // exported bookmark files go into korvalo/bookmarks/ under it

    // From the environment: $WINEPREFIX else ~/.wine, $HOME,
    // $XDG_CONFIG_HOME else ~/.config, $XDG_DATA_HOME else ~/.local/share.
    static BookmarkLocations fromEnvironment(const RegistryFile& registry, QString favoritesPath);
};

// Every browser's bookmarks that can be found, as the top items of the
// bookmark menus, each a folder, in this order:
//   Internet Explorer's favourites folder: the Favorites value of the
//     current user's Shell Folders key, else favoritesPath;
//   Netscape Navigator's file: the "File Location" of its Bookmark List key;
//   Netscape Communicator's profiles: the Users key and "nsreg.dat", one
//     folder per profile;
//   Opera's hot list named in the Windows directory's "opera.ini", when it
//     holds at least one entry;
//   then today's browsers: every Firefox profile, each browser of the
//     Chromium family, and the Netscape bookmark files exported into
//     korvalo/bookmarks/ under dataHome (".html" or ".htm"). A browser with
//     several profiles (several files) gets a folder for each, captioned
//     with its name; one with a single profile holds its folders directly.
// Windows paths in registry values and files are found in the Wine prefix.
// Only the favourites folder is sorted (sortDroppingDuplicates); the other
// sources keep their stored order. A source that is missing, unreadable or
// broken is left out, and the others are still read. Nothing is written.
BookmarkList ReadBookmarkSources(const BookmarkLocations& where);

} // namespace korvalo

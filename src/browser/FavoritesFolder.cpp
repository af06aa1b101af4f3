#include "browser/FavoritesFolder.h"

#include "browser/InternetShortcut.h"

#include <QDir>

namespace korvalo {

std::optional<std::vector<FavoritesEntry>> ReadFavoritesFolder(const QString& path) {
    std::vector<FavoritesEntry> entries;
    QDir dir(path);
    const QDir::SortFlags order = QDir::Name | QDir::IgnoreCase;
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, order))
        entries.push_back({FavoritesEntry::Folder, sub, {}});

    // Name filters ignore letter case unless told otherwise.
    dir.setNameFilters({QStringLiteral("*.url")});
    for (const QString& file : dir.entryList(QDir::Files, order)) {
        const ShortcutRead read = ReadShortcutAddress(dir.filePath(file));
        if (!read.opened)
            return std::nullopt;
        if (read.address)
            entries.push_back({FavoritesEntry::Shortcut, file.chopped(4), *read.address});
    }
    return entries;
}

} // namespace korvalo

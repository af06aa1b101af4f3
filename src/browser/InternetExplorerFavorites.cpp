#include "browser/InternetExplorerFavorites.h"

#include "browser/IniText.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace korvalo {

namespace {

constexpr qint64 kMaxShortcutSize = 1 << 20;

class FolderReader {
public:
    bool read(const QString& folder, BookmarkList& out, int depth) {
        if (depth > kMaxBookmarkDepth)
            return false;
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (std::find(ancestors_.begin(), ancestors_.end(), canonical) != ancestors_.end())
            return true; // a link back up the tree: shown empty rather than walked forever
        ancestors_.push_back(canonical);

        const QFileInfoList infos = QDir(folder).entryInfoList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        BookmarkList folders;
        BookmarkList bookmarks;
        for (const QFileInfo& info : infos) {
            const QString name = info.fileName();
            if (info.isDir()) {
                if (name.startsWith(u'.'))
                    continue;
                if (!budget_.take())
                    return false;
                folders.push_back(BookmarkNode::folder(ShortenCaption(name)));
                if (!read(info.filePath(), folders.back().children, depth + 1))
                    return false;
            } else if (name.endsWith(QStringLiteral(".url"), Qt::CaseInsensitive)) {
                if (!budget_.take())
                    return false;
                const auto content = readBookmarkFile(info.filePath(), kMaxShortcutSize);
                bookmarks.push_back(BookmarkNode::bookmark(ShortenCaption(name.chopped(4)),
                                                           content ? internetShortcutUrl(*content)
                                                                   : QStringLiteral("N/A")));
            }
        }
        sortDroppingDuplicates(folders);
        sortDroppingDuplicates(bookmarks);
        out = std::move(folders);
        std::move(bookmarks.begin(), bookmarks.end(), std::back_inserter(out));
        ancestors_.pop_back();
        return true;
    }

private:
    EntryBudget budget_;
    std::vector<QString> ancestors_;
};

} // namespace

QString internetShortcutUrl(QByteArrayView content) {
    const auto url = iniValue(content, "InternetShortcut", "URL");
    return url ? decodeBookmarkText(*url) : QStringLiteral("N/A");
}

std::optional<BookmarkList> ReadInternetExplorerFavorites(const QString& folder) {
    BookmarkList entries;
    FolderReader reader;
    if (!reader.read(folder, entries, 0))
        return std::nullopt;
    return entries;
}

} // namespace korvalo

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace korvalo {

// One entry of a browser's bookmarks, as its menu shows it. Every reader
// builds these plain trees; the menus are made from them and nothing else.
struct BookmarkNode {
    enum Kind : uint8_t { Folder, Bookmark, Separator };
    Kind kind = Bookmark;
    QString caption;
    QString address;                    // bookmarks only; "N/A" for a shortcut without one
    std::vector<BookmarkNode> children; // folders only
    int line = 0;                       // the line of the source text it came from, when known

    static BookmarkNode folder(QString caption, std::vector<BookmarkNode> children = {}) {
        return {Folder, std::move(caption), QString(), std::move(children), 0};
    }
    static BookmarkNode bookmark(QString caption, QString address) {
        return {Bookmark, std::move(caption), std::move(address), {}, 0};
    }
    static BookmarkNode separator() { return {Separator, QStringLiteral("-"), QString(), {}, 0}; }

    bool operator==(const BookmarkNode&) const = default;
};

using BookmarkList = std::vector<BookmarkNode>;

// Bounds on what one source may hold. A file beyond them is broken or
// hostile, and its whole source is left out: this keeps the stack, memory
// and start-up time safe whatever lies in a browser's folder.
inline constexpr int kMaxBookmarkDepth = 64;             // folder levels
inline constexpr size_t kMaxBookmarkEntries = 250000;    // entries of one source
inline constexpr qint64 kMaxBookmarkFileSize = 64 << 20; // bytes of one text file
inline constexpr int kMaxBrowserProfiles = 1000;         // profiles one file may name

// Counts the entries a reader adds, against kMaxBookmarkEntries.
class EntryBudget {
public:
    explicit EntryBudget(size_t limit = kMaxBookmarkEntries)
        : left_(limit) {}
    // False once the limit is passed; the reader then gives up its source.
    bool take() { return left_ > 0 ? (--left_, true) : false; }

private:
    size_t left_;
};

// A text of up to 45 characters as it is; a longer one as its first 21
// characters, "..." and its last 21. Characters are Unicode code points, so
// a character outside the Basic Multilingual Plane is never cut in half.
QString ShortenCaption(const QString& text);

// Shortens the caption of every entry of the tree.
void shortenCaptions(BookmarkList& entries);

// The most entries a menu may show, counting its closing ">>": the
// full-screen height divided by the height of one menu line, less four.
// 0 means no limit, which is the case when either height is 0 or less or
// when the result is below 3.
int MenuSizeLimit(int fullScreenHeight, int menuItemHeight);

// How a folder's entries are spread over menus under a limit from
// MenuSizeLimit: the folder's own menu shows the first page, and every page
// but the last ends in a ">>" item whose menu shows the next page. Each page
// holds at most limit - 1 entries; with no limit there is one page. An empty
// folder has no page.
std::vector<std::span<const BookmarkNode>> LayoutMenu(std::span<const BookmarkNode> entries,
                                                      int limit);

// Sorts entries by caption without regard to letter case, keeping the first
// of several equal captions and dropping the others.
void sortDroppingDuplicates(BookmarkList& entries);

// Text of a browser's file: UTF-8 when the bytes are valid UTF-8, else
// Windows-1256, the code page such browsers wrote on an Arabic system.
QString decodeBookmarkText(QByteArrayView bytes);

// Decodes the character references of HTML text: &amp; &lt; &gt; &quot;
// &apos; &nbsp; and numeric ones. Anything else stays as written.
QString decodeHtmlEntities(const QString& text);

// A whole regular file of at most maxSize bytes. nullopt when it is missing,
// not a regular file (a pipe is never waited on), unreadable or larger.
std::optional<QByteArray> readBookmarkFile(const QString& path,
                                           qint64 maxSize = kMaxBookmarkFileSize);

} // namespace korvalo

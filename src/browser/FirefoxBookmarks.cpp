#include "browser/FirefoxBookmarks.h"

#include "browser/BookmarkCaptions.h"
#include "browser/IniText.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace korvalo {

namespace {

constexpr qint64 kMaxPlacesSize = qint64(512) << 20;
// SQLite calls the progress handler every kProgressSteps virtual-machine
// steps; a query that needs more than this many calls is given up, so a
// hostile database cannot keep the start of the program waiting.
constexpr int kProgressSteps = 1000;
constexpr int kMaxProgressCalls = 100000;

const char* const kQuery = "SELECT b.id, b.type, b.parent, b.position, b.title, p.url, b.guid "
                           "FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk";

struct Row {
    qint64 id = 0;
    int type = 0;
    qint64 parent = 0;
    qint64 position = 0;
    QString title;
    QString url;
    QByteArray guid;
};

enum Type { kBookmark = 1, kFolder = 2, kSeparator = 3 };

struct Db {
    sqlite3* handle = nullptr;
    ~Db() { sqlite3_close(handle); }
};

struct Statement {
    sqlite3_stmt* handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

QString columnText(sqlite3_stmt* s, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(s, column)) : QString();
}

std::optional<std::vector<Row>> readRows(const QString& path) {
    Db db;
    const QByteArray name = QFile::encodeName(path);
    if (sqlite3_open_v2(name.constData(), &db.handle,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE,
                        nullptr) != SQLITE_OK)
        return std::nullopt;
    // The file may come from anywhere: nothing in it may run code of its own.
    sqlite3_db_config(db.handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db.handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db.handle, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db.handle, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    int calls = 0;
    sqlite3_progress_handler(
        db.handle, kProgressSteps,
        [](void* counter) { return ++*static_cast<int*>(counter) > kMaxProgressCalls ? 1 : 0; },
        &calls);

    Statement st;
    if (sqlite3_prepare_v2(db.handle, kQuery, -1, &st.handle, nullptr) != SQLITE_OK)
        return std::nullopt;
    std::vector<Row> rows;
    int rc;
    while ((rc = sqlite3_step(st.handle)) == SQLITE_ROW) {
        // The roots and a few more rows come on top of the bookmarks.
        if (rows.size() > kMaxBookmarkEntries + 16)
            return std::nullopt;
        Row row;
        row.id = sqlite3_column_int64(st.handle, 0);
        row.type = sqlite3_column_int(st.handle, 1);
        row.parent = sqlite3_column_int64(st.handle, 2);
        row.position = sqlite3_column_int64(st.handle, 3);
        row.title = columnText(st.handle, 4);
        row.url = columnText(st.handle, 5);
        const auto* guid = static_cast<const char*>(sqlite3_column_blob(st.handle, 6));
        row.guid = QByteArray(guid, guid ? sqlite3_column_bytes(st.handle, 6) : 0);
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        return std::nullopt;
    return rows;
}

class TreeBuilder {
public:
    explicit TreeBuilder(std::vector<Row> rows)
        : rows_(std::move(rows))
        , visited_(rows_.size(), false) {
        for (size_t i = 0; i < rows_.size(); ++i) {
            children_[rows_[i].parent].push_back(i);
        }
        for (auto& [parent, list] : children_) {
            std::sort(list.begin(), list.end(), [this](size_t a, size_t b) {
                return std::pair(rows_[a].position, rows_[a].id) <
                       std::pair(rows_[b].position, rows_[b].id);
            });
        }
    }

    // The folder whose guid is given, or an empty one when it is missing.
    bool root(const char* guid, const char16_t* caption, BookmarkList& out) {
        BookmarkNode folder = BookmarkNode::folder(QString::fromUtf16(caption));
        for (size_t i = 0; i < rows_.size(); ++i) {
            if (rows_[i].guid == guid && rows_[i].type == kFolder) {
                visited_[i] = true;
                if (!fill(rows_[i].id, folder.children, 1))
                    return false;
                break;
            }
        }
        out.push_back(std::move(folder));
        return true;
    }

private:
    bool fill(qint64 parent, BookmarkList& out, int depth) {
        if (depth > kMaxBookmarkDepth)
            return false;
        const auto it = children_.find(parent);
        if (it == children_.end())
            return true;
        for (const size_t i : it->second) {
            // Rows that claim to be their own ancestors are shown once.
            if (visited_[i])
                continue;
            visited_[i] = true;
            const Row& row = rows_[i];
            switch (row.type) {
            case kBookmark:
                // "place:" addresses are Firefox's own saved queries, which
                // no browser opened from a command line can show.
                if (row.url.isEmpty() || row.url.startsWith(QStringLiteral("place:")))
                    break;
                out.push_back(BookmarkNode::bookmark(
                    ShortenCaption(row.title.isEmpty() ? row.url : row.title), row.url));
                break;
            case kFolder:
                out.push_back(BookmarkNode::folder(ShortenCaption(row.title)));
                if (!fill(row.id, out.back().children, depth + 1))
                    return false;
                break;
            case kSeparator:
                out.push_back(BookmarkNode::separator());
                break;
            default:
                break;
            }
        }
        return true;
    }

    std::vector<Row> rows_;
    std::vector<bool> visited_;
    std::unordered_map<qint64, std::vector<size_t>> children_;
};

std::optional<BookmarkList> readPlacesCopy(const QString& database) {
    auto rows = readRows(database);
    if (!rows)
        return std::nullopt;
    TreeBuilder tree(std::move(*rows));
    BookmarkList roots;
    if (!tree.root("toolbar_____", bookmarkCaptions::kToolbar, roots) ||
        !tree.root("menu________", bookmarkCaptions::kMenu, roots) ||
        !tree.root("unfiled_____", bookmarkCaptions::kOther, roots))
        return std::nullopt;
    return roots;
}

// Copies a regular file of at most maxSize bytes; a missing source is no
// copy and no error when optional.
enum class Copy { Done, Missing, Failed };

Copy copyFile(const QString& from, const QString& to, qint64 maxSize) {
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in < 0)
        return errno == ENOENT ? Copy::Missing : Copy::Failed;
    struct stat st;
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxSize) {
        ::close(in);
        return Copy::Failed;
    }
    const int out =
        ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        ::close(in);
        return Copy::Failed;
    }
    Copy result = Copy::Done;
    char buffer[1 << 16];
    qint64 total = 0;
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        int err = 0;
        if (n < 0 || (total += n) > maxSize ||
            (n > 0 && !writeFully(out, buffer, size_t(n), err))) {
            result = Copy::Failed;
            break;
        }
        if (n == 0)
            break;
    }
    ::close(in);
    ::close(out);
    return result;
}

bool writeBytes(const QString& path, QByteArrayView bytes) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    int err = 0;
    const bool ok = writeFully(fd, bytes.data(), size_t(bytes.size()), err);
    ::close(fd);
    return ok;
}

const QString kPlaces = QStringLiteral("places.sqlite");
const QString kPlacesWal = QStringLiteral("places.sqlite-wal");

} // namespace

std::vector<FirefoxProfile> ParseFirefoxProfiles(QByteArrayView profilesIni,
                                                 const QString& firefoxFolder) {
    std::vector<FirefoxProfile> profiles;
    std::set<QString> seen;
    for (const IniSection& section : parseIni(profilesIni)) {
        if (profiles.size() == size_t(kMaxBrowserProfiles))
            break;
        if (!section.name.startsWith("Profile") && !section.name.startsWith("profile"))
            continue;
        const auto path = iniValue(section, "Path");
        if (!path || path->isEmpty())
            continue;
        const QString where = QFile::decodeName(*path);
        const auto relative = iniValue(section, "IsRelative");
        const bool isRelative = relative ? *relative == "1" : !where.startsWith(u'/');
        const QString folder = QDir::cleanPath(isRelative ? firefoxFolder + u'/' + where : where);
        if (!seen.insert(folder).second)
            continue;
        const auto name = iniValue(section, "Name");
        profiles.push_back(
            {name && !name->isEmpty() ? QString::fromUtf8(*name) : QDir(folder).dirName(), folder});
    }
    return profiles;
}

std::optional<BookmarkList> ReadFirefoxBookmarks(const QString& profileFolder) {
    QTemporaryDir copy;
    if (!copy.isValid())
        return std::nullopt;
    const QDir profile(profileFolder);
    if (copyFile(profile.filePath(kPlaces), copy.filePath(kPlaces), kMaxPlacesSize) != Copy::Done ||
        copyFile(profile.filePath(kPlacesWal), copy.filePath(kPlacesWal), kMaxPlacesSize) ==
            Copy::Failed)
        return std::nullopt;
    return readPlacesCopy(copy.filePath(kPlaces));
}

std::optional<BookmarkList> ParsePlacesDatabase(QByteArrayView database, QByteArrayView wal) {
    QTemporaryDir copy;
    if (!copy.isValid() || !writeBytes(copy.filePath(kPlaces), database) ||
        (!wal.isEmpty() && !writeBytes(copy.filePath(kPlacesWal), wal)))
        return std::nullopt;
    return readPlacesCopy(copy.filePath(kPlaces));
}

} // namespace korvalo

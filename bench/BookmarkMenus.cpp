#include "BookmarkMenus.h"

#include "TableReporter.h"

#include "browser/BookmarkSources.h"
#include "browser/FirefoxBookmarks.h"
#include "browser/ui/TBookmarks.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace korvalo::bench {
namespace {

using benchmark::State;

constexpr int kBookmarks = 20000;

// Where bookmarks are in a well-used profile: a few on the toolbar, most in
// folders of the bookmarks menu (some with a folder inside), and a long
// unsorted list of other bookmarks that runs over many ">>" pages.
class FirefoxProfile {
public:
    FirefoxProfile() {
        if (!home_.isValid())
            throw std::runtime_error("no temporary folder for the Firefox profile");
        const QString firefox = home_.filePath(QStringLiteral(".mozilla/firefox"));
        QDir().mkpath(firefox + QStringLiteral("/bench.default"));
        QFile ini(firefox + QStringLiteral("/profiles.ini"));
        if (!ini.open(QIODevice::WriteOnly) ||
            ini.write("[Profile0]\nName=default\nIsRelative=1\nPath=bench.default\n") < 0)
            throw std::runtime_error("cannot write profiles.ini");
        ini.close();
        writeDatabase(firefox + QStringLiteral("/bench.default/places.sqlite"));
        where_.home = home_.path();
        where_.winePrefix = home_.filePath(QStringLiteral("wine"));
        where_.configHome = home_.filePath(QStringLiteral("config"));
        where_.dataHome = home_.filePath(QStringLiteral("data"));
    }

    const BookmarkLocations& locations() const { return where_; }
    QString folder() const {
        return home_.filePath(QStringLiteral(".mozilla/firefox/bench.default"));
    }

private:
    void writeDatabase(const QString& path) {
        sqlite3* db = nullptr;
        if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
            sqlite3_close(db);
            throw std::runtime_error("cannot create places.sqlite");
        }
        db_ = db;
        exec("CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR);"
             "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER, "
             "parent INTEGER, position INTEGER, title LONGVARCHAR, guid TEXT);"
             "BEGIN;"
             "INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 0, '', 'root________'),"
             " (2, 2, NULL, 1, 0, 'menu', 'menu________'),"
             " (3, 2, NULL, 1, 1, 'toolbar', 'toolbar_____'),"
             " (5, 2, NULL, 1, 3, 'unfiled', 'unfiled_____');");
        sqlite3_prepare_v2(db_, "INSERT INTO moz_places VALUES (?, ?, ?)", -1, &place_, nullptr);
        sqlite3_prepare_v2(db_, "INSERT INTO moz_bookmarks VALUES (?, ?, ?, ?, ?, ?, NULL)", -1,
                           &entry_, nullptr);
        // Toolbar: 20 bookmarks and 10 folders of 25.
        for (int i = 0; i < 20; ++i)
            bookmark(3);
        for (int f = 0; f < 10; ++f) {
            const int64_t folder = add(3, 2, 0, "Toolbar folder " + std::to_string(f));
            for (int i = 0; i < 25; ++i)
                bookmark(folder);
        }
        // Menu: 300 folders of 40 bookmarks, each with a folder of 10 inside.
        for (int f = 0; f < 300; ++f) {
            const int64_t folder = add(2, 2, 0, "Reading list, topic number " + std::to_string(f));
            for (int i = 0; i < 40; ++i)
                bookmark(folder);
            const int64_t inner = add(folder, 2, 0, "Older pages " + std::to_string(f));
            for (int i = 0; i < 10; ++i)
                bookmark(inner);
            if (f % 10 == 0)
                add(folder, 3, 0, "");
        }
        // The rest unsorted in the other bookmarks.
        while (bookmarks_ < kBookmarks)
            bookmark(5);
        sqlite3_finalize(place_);
        sqlite3_finalize(entry_);
        exec("COMMIT;");
        sqlite3_close(db_);
    }

    void exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("places.sqlite: ") + sqlite3_errmsg(db_));
    }

    int64_t add(int64_t parent, int type, int64_t place, const std::string& title) {
        const int64_t id = nextId_++;
        sqlite3_reset(entry_);
        sqlite3_bind_int64(entry_, 1, id);
        sqlite3_bind_int(entry_, 2, type);
        if (place)
            sqlite3_bind_int64(entry_, 3, place);
        else
            sqlite3_bind_null(entry_, 3);
        sqlite3_bind_int64(entry_, 4, parent);
        sqlite3_bind_int64(entry_, 5, position_[parent]++);
        sqlite3_bind_text(entry_, 6, title.c_str(), int(title.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(entry_) != SQLITE_DONE)
            throw std::runtime_error("cannot insert a bookmark");
        return id;
    }

    void bookmark(int64_t parent) {
        const int n = ++bookmarks_;
        // Titles as pages give them, a few of them Arabic, many longer than
        // a menu shows.
        const std::string title =
            n % 7 == 0 ? "\xD8\xA7\xD9\x84\xD8\xB5\xD9\x81\xD8\xAD\xD8\xA9 " + std::to_string(n) +
                             " \xD9\x85\xD9\x86 \xD8\xA7\xD9\x84\xD9\x85\xD9\x88\xD9\x82\xD8\xB9"
            : n % 3 == 0 ? "A rather long page title that a menu shortens, bookmark number " +
                               std::to_string(n)
                         : "Page " + std::to_string(n) + " - Example & Co";
        const std::string url = "https://www" + std::to_string(n % 997) +
                                ".example.org/articles/2024/" + std::to_string(n) + "?ref=menu";
        sqlite3_reset(place_);
        sqlite3_bind_int64(place_, 1, n);
        sqlite3_bind_text(place_, 2, url.c_str(), int(url.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(place_, 3, title.c_str(), int(title.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(place_) != SQLITE_DONE)
            throw std::runtime_error("cannot insert a place");
        add(parent, 1, n, title);
    }

    QTemporaryDir home_;
    BookmarkLocations where_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* place_ = nullptr;
    sqlite3_stmt* entry_ = nullptr;
    int64_t nextId_ = 100;
    int bookmarks_ = 0;
    std::map<int64_t, int64_t> position_;
};

const FirefoxProfile& profile() {
    static const FirefoxProfile instance;
    return instance;
}

size_t countBookmarks(const BookmarkList& entries) {
    size_t n = 0;
    for (const BookmarkNode& e : entries)
        n += e.kind == BookmarkNode::Bookmark ? 1 : countBookmarks(e.children);
    return n;
}

int countItems(const QMenu& menu) {
    int n = 0;
    for (const QAction* a : menu.actions())
        n += a->menu() ? 1 + countItems(*a->menu()) : a->isSeparator() ? 0 : 1;
    return n;
}

// The bookmarks' menu where the program has it: a submenu of a submenu of
// the tray menu, from whose style and the primary screen the limit comes.
struct TrayMenus {
    TrayMenus() {
        tray.setLayoutDirection(Qt::RightToLeft);
        tray.addAction(QStringLiteral("first item"));
        menu = tray.addMenu(QStringLiteral("favourites"))->addMenu(QStringLiteral("bookmarks"));
    }
    QMenu tray;
    QMenu* menu;
};

void buildBookmarkMenus(State& state) {
    const std::optional<BookmarkList> read = ReadFirefoxBookmarks(profile().folder());
    if (!read || countBookmarks(*read) != size_t(kBookmarks)) {
        state.SkipWithError("the profile does not read back as written");
        return;
    }
    const BookmarkList top{BookmarkNode::folder(QStringLiteral("Firefox"), *read)};
    std::unique_ptr<TrayMenus> menus;
    TBookmarks bookmarks;
    for (auto _ : state) {
        state.PauseTiming();
        menus.reset();
        menus = std::make_unique<TrayMenus>();
        bookmarks.setMenu(menus->menu);
        bookmarks.RebuildBookmarkMenus(); // no sources: only the limit
        state.ResumeTiming();
        bookmarks.buildMenus(top);
    }
    state.counters["rows"] = countItems(*menus->menu);
    state.counters["limit"] = bookmarks.menuSizeLimit();
}

void rebuildFromProfile(State& state) {
    std::unique_ptr<TrayMenus> menus;
    TBookmarks bookmarks;
    bookmarks.setLocations(profile().locations());
    for (auto _ : state) {
        state.PauseTiming();
        menus.reset();
        menus = std::make_unique<TrayMenus>();
        bookmarks.setMenu(menus->menu);
        state.ResumeTiming();
        bookmarks.RebuildBookmarkMenus();
    }
    state.counters["rows"] = countItems(*menus->menu);
}

} // namespace

void registerBookmarkMenus(TableReporter& table) {
    const std::string size = "20 000 bookmarks";
    for (const auto& [name, fn] : {std::pair{"BuildBookmarkMenus", &buildBookmarkMenus},
                                   std::pair{"RebuildBookmarkMenus", &rebuildFromProfile}}) {
        benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->UseRealTime();
        table.add({name, name, size, "", "", TableReporter::Target::Bookmarks, false});
    }
}

} // namespace korvalo::bench

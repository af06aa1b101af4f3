#include "browser/BookmarkSources.h"
#include "browser/BookmarkCaptions.h"
#include "platform/RegistryFile.h"
#include "support/BookmarkDescription.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace korvalo;
using korvalo::test::describe;
using korvalo::test::TempDir;

namespace {

namespace caption = bookmarkCaptions;

void put(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::string top(const char16_t* text) {
    return "[" + QString::fromUtf16(text).toStdString() + "]\n";
}

// The captions of the top items, one a line.
std::string topCaptions(const BookmarkList& items) {
    std::string out;
    for (const BookmarkNode& item : items)
        out += item.caption.toStdString() + "\n";
    return out;
}

// A Windows path for a folder of this system, as Wine's Z: drive shows it.
QString onDriveZ(const QString& path) {
    return QStringLiteral("Z:") + QString(path).replace(u'/', u'\\');
}

// Runs SQL on a database, creating it when missing.
void exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << error;
}

// The tables and roots of a Firefox bookmarks database.
const char* const kPlacesSchema =
    "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR);"
    "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER, parent "
    "INTEGER, position INTEGER, title LONGVARCHAR, guid TEXT);"
    "INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 0, '', 'root________'),"
    " (2, 2, NULL, 1, 0, 'menu', 'menu________'), (3, 2, NULL, 1, 1, 'toolbar', 'toolbar_____'),"
    " (5, 2, NULL, 1, 3, 'unfiled', 'unfiled_____');";

// Every location inside the test's folder.
BookmarkLocations isolated(const QString& root, const RegistryFile* registry = nullptr) {
    BookmarkLocations where;
    where.registry = registry;
    where.winePrefix = root + QStringLiteral("/wine");
    where.home = root;
    where.configHome = root + QStringLiteral("/config");
    where.dataHome = root + QStringLiteral("/data");
    return where;
}

} // namespace

TEST(BookmarkSources, windowsBrowsersAreFoundInTheWinePrefix) {
    TempDir dir;
    const QString root = QString::fromStdString(dir.path());
    const QString wine = root + QStringLiteral("/wine");
    RegistryFile registry(root + QStringLiteral("/registry.reg"));
    const QString netscape = QStringLiteral("C:\\Program Files\\Netscape\\Users\\");

    // Internet Explorer, in a folder whose case differs from the value's.
    registry.setString(
        RegRoot::CurrentUser,
        QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
                       "Folders"),
        QStringLiteral("Favorites"), QStringLiteral("C:\\WINDOWS\\Favorites"));
    put(wine + QStringLiteral("/drive_c/windows/Favorites/Site.url"),
        "[InternetShortcut]\r\nURL=http://ie.example/\r\n");
    // Navigator, through Z:.
    const QString navigator = root + QStringLiteral("/nav/bookmark.htm");
    registry.setString(RegRoot::CurrentUser,
                       QStringLiteral("Software\\Netscape\\Netscape Navigator\\Bookmark List"),
                       QStringLiteral("File Location"), onDriveZ(navigator));
    put(navigator, "<DT><A HREF=\"http://nav.example/\">Nav</A>\n");
    // Communicator: "default" is in the registry and in nsreg.dat, "john_smith"
    // only in nsreg.dat and in other letter case, "gone" has no bookmark file.
    const QString users = QStringLiteral("Software\\Netscape\\Netscape Navigator\\Users\\");
    registry.setString(RegRoot::LocalMachine, users + QStringLiteral("default"),
                       QStringLiteral("DirRoot"), netscape + QStringLiteral("default"));
    registry.setString(RegRoot::LocalMachine, users + QStringLiteral("gone"),
                       QStringLiteral("DirRoot"), netscape + QStringLiteral("gone"));
    const QString usersFolder = wine + QStringLiteral("/drive_c/Program Files/Netscape/Users/");
    put(usersFolder + QStringLiteral("default/bookmark.htm"),
        "<DT><A HREF=\"http://default.example/\">Default</A>\n");
    put(usersFolder + QStringLiteral("john_smith/bookmark.htm"),
        "<DT><A HREF=\"http://john.example/\">John</A>\n");
    const QByteArray nul(1, '\0');
    put(wine + QStringLiteral("/drive_c/windows/nsreg.dat"),
        "\x76\x2b" + nul + "ProfileLocation" + nul + nul + netscape.toUtf8() + "default" + nul +
            "\x05" + nul + "profilelocation" + nul + netscape.toLower().toUtf8() + "john_smith" +
            nul);
    // Opera.
    put(wine + QStringLiteral("/drive_c/windows/opera.ini"),
        "[User Prefs]\r\nHot List File Ver2=C:\\Program Files\\Opera\\opera6.adr\r\n");
    const QString hotList = wine + QStringLiteral("/drive_c/Program Files/Opera/opera6.adr");
    put(hotList, "#URL\n\tNAME=Opera\n\tURL=http://opera.example/\n");

    BookmarkLocations where = isolated(root, &registry);
    const BookmarkList items = ReadBookmarkSources(where);
    EXPECT_EQ(describe(items), top(caption::kInternetExplorer) + "  Site -> http://ie.example/\n" +
                                   top(caption::kNavigator) + "  Nav -> http://nav.example/\n" +
                                   top(caption::kCommunicator) +
                                   "  [default]\n"
                                   "    Default -> http://default.example/\n"
                                   "  [John Smith]\n"
                                   "    John -> http://john.example/\n" +
                                   top(caption::kOpera) + "  Opera -> http://opera.example/\n");

    // A hostile Navigator file leaves out only Navigator; an empty hot list
    // gives no Opera item; with no registry value the favourites folder is
    // the program's own.
    put(navigator, QByteArray("<H3>x</H3>\n").repeated(70));
    put(hotList, "Opera Hotlist version 2.0\n");
    registry.deleteValue(RegRoot::CurrentUser,
                         QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                        "Shell Folders"),
                         QStringLiteral("Favorites"));
    where.favoritesPath = root + QStringLiteral("/own");
    put(where.favoritesPath + QStringLiteral("/Own.url"), "[InternetShortcut]\nURL=http://own/\n");
    const BookmarkList after = ReadBookmarkSources(where);
    EXPECT_EQ(topCaptions(after), QString::fromUtf16(caption::kInternetExplorer).toStdString() +
                                      "\nCommunicator Users Bookmarks\n");
    EXPECT_EQ(describe(after.front().children), "Own -> http://own/\n");
}

TEST(BookmarkSources, firefoxProfilesAreReadFromPrivateCopiesOfTheirDatabases) {
    TempDir dir;
    const QString home = QString::fromStdString(dir.path());
    const QString firefox = home + QStringLiteral("/.mozilla/firefox");
    const QString old = home + QStringLiteral("/elsewhere/b.old");
    put(firefox + QStringLiteral("/profiles.ini"),
        "[General]\nStartWithLastProfile=1\n\n"
        "[Profile0]\nName=main\nIsRelative=1\nPath=a.main\nDefault=1\n\n"
        "[Profile1]\nName=old\nIsRelative=0\nPath=" +
            old.toUtf8() +
            "\n\n"
            "[Profile2]\nName=broken\nIsRelative=1\nPath=c.broken\n\n"
            "[Profile3]\nName=again\nIsRelative=1\nPath=a.main\n");
    put(firefox + QStringLiteral("/c.broken/places.sqlite"), QByteArray(4096, 'x'));

    // "main" as a running Firefox leaves it: its last bookmark is only in
    // the -wal file, and there is no -shm beside them.
    const QString stage = home + QStringLiteral("/stage.sqlite");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(stage).constData(), &db), SQLITE_OK);
    exec(db, kPlacesSchema);
    exec(db, "INSERT INTO moz_places VALUES (1, 'http://in-file.example/', NULL);"
             "INSERT INTO moz_bookmarks VALUES (10, 1, 1, 2, 0, 'In the file', 'a');");
    exec(db, "PRAGMA journal_mode=WAL;"
             "INSERT INTO moz_places VALUES (2, 'http://in-wal.example/', NULL);"
             "INSERT INTO moz_bookmarks VALUES (11, 1, 2, 2, 1, 'In the wal', 'b');");
    put(firefox + QStringLiteral("/a.main/places.sqlite"), contentOf(stage));
    put(firefox + QStringLiteral("/a.main/places.sqlite-wal"),
        contentOf(stage + QStringLiteral("-wal")));
    sqlite3_close(db);

    // "old" without a -wal file: stored order, nested folders, a separator,
    // a title-less bookmark and one of Firefox's own queries.
    QDir().mkpath(old);
    ASSERT_EQ(
        sqlite3_open(QFile::encodeName(old + QStringLiteral("/places.sqlite")).constData(), &db),
        SQLITE_OK);
    exec(db, kPlacesSchema);
    exec(db, "INSERT INTO moz_places VALUES (1, 'http://one.example/', NULL),"
             " (2, 'http://two.example/', NULL), (3, 'place:sort=8', NULL);"
             "INSERT INTO moz_bookmarks VALUES (20, 1, 2, 3, 2, 'Second', 'c'),"
             " (21, 2, NULL, 3, 0, 'Tools', 'd'), (22, 1, 1, 21, 0, NULL, 'e'),"
             " (23, 3, NULL, 3, 1, NULL, 'f'), (24, 1, 3, 5, 0, 'Recent', 'g');");
    sqlite3_close(db);

    const QDir mainProfile(firefox + QStringLiteral("/a.main"));
    const QStringList filesBefore = mainProfile.entryList(QDir::Files);
    const QByteArray dbBefore = contentOf(mainProfile.filePath(QStringLiteral("places.sqlite")));
    const QByteArray walBefore =
        contentOf(mainProfile.filePath(QStringLiteral("places.sqlite-wal")));
    ASSERT_FALSE(walBefore.isEmpty());

    const BookmarkLocations where = isolated(home);
    const BookmarkList items = ReadBookmarkSources(where);
    EXPECT_EQ(describe(items), top(caption::kFirefox) + "  [main]\n    " + top(caption::kToolbar) +
                                   "    " + top(caption::kMenu) +
                                   "      In the file -> http://in-file.example/\n"
                                   "      In the wal -> http://in-wal.example/\n"
                                   "    " +
                                   top(caption::kOther) + "  [old]\n    " + top(caption::kToolbar) +
                                   "      [Tools]\n"
                                   "        http://one.example/ -> http://one.example/\n"
                                   "      -\n"
                                   "      Second -> http://two.example/\n"
                                   "    " +
                                   top(caption::kMenu) + "    " + top(caption::kOther));

    EXPECT_EQ(mainProfile.entryList(QDir::Files), filesBefore);
    EXPECT_EQ(contentOf(mainProfile.filePath(QStringLiteral("places.sqlite"))), dbBefore);
    EXPECT_EQ(contentOf(mainProfile.filePath(QStringLiteral("places.sqlite-wal"))), walBefore);
}

TEST(BookmarkSources, chromiumProfilesAndExportedFilesKeepTheirOrder) {
    TempDir dir;
    const QString root = QString::fromStdString(dir.path());
    const QString chromium = root + QStringLiteral("/config/chromium");
    put(chromium + QStringLiteral("/Local State"),
        R"({"profile": {"info_cache": {"Default": {"name": "Person 1"}, "Profile 1": {"name": "Work"}}}})");
    put(chromium + QStringLiteral("/Default/Bookmarks"), R"({"roots": {
        "bookmark_bar": {"type": "folder", "name": "Bookmarks bar", "children": [
            {"type": "url", "name": "Zeta", "url": "http://z.example/"},
            {"type": "folder", "name": "Dev", "children": [
                {"type": "folder", "name": "Deep", "children": [
                    {"type": "url", "name": "", "url": "http://deep.example/"}]}]},
            {"type": "url", "name": "Alpha", "url": "http://a.example/"}]},
        "other": {"type": "folder", "children": [
            {"type": "url", "name": "Other", "url": "http://o.example/"}]},
        "synced": {"type": "folder", "children": []}}, "version": 1})");
    put(chromium + QStringLiteral("/Profile 1/Bookmarks"), R"({"roots": {"synced": {"children": [
        {"type": "url", "name": "Phone", "url": "http://p.example/"}]}}})");
    put(root + QStringLiteral("/config/google-chrome/Default/Bookmarks"), "{\"roots\": [");
    put(root + QStringLiteral("/data/korvalo/bookmarks/From Firefox.html"),
        "<DL><p>\n<DT><A HREF=\"http://x.example/?a=1&amp;b=2\">Tom &amp; Jerry &#1605;</A>\n"
        "<DT><A HREF=\"http://b.example/\">B</A>\n</DL>\n");

    EXPECT_EQ(describe(ReadBookmarkSources(isolated(root))),
              top(caption::kChromium) + "  [Person 1]\n    " + top(caption::kToolbar) +
                  "      Zeta -> http://z.example/\n"
                  "      [Dev]\n"
                  "        [Deep]\n"
                  "          http://deep.example/ -> http://deep.example/\n"
                  "      Alpha -> http://a.example/\n    " +
                  top(caption::kOther) + "      Other -> http://o.example/\n" + "  [Work]\n    " +
                  top(caption::kToolbar) + "    " + top(caption::kOther) + "    " +
                  top(caption::kMobile) + "      Phone -> http://p.example/\n" +
                  top(caption::kExportedFiles) +
                  "  Tom & Jerry م -> http://x.example/?a=1&b=2\n"
                  "  B -> http://b.example/\n");
}

#include "browser/BookmarkSources.h"

#include "browser/BookmarkCaptions.h"
#include "browser/ChromiumBookmarks.h"
#include "browser/CommunicatorProfiles.h"
#include "browser/FirefoxBookmarks.h"
#include "browser/IniText.h"
#include "browser/InternetExplorerFavorites.h"
#include "browser/NetscapeBookmarks.h"
#include "browser/OperaHotList.h"
#include "browser/WinePrefix.h"
#include "platform/RegistryFile.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

namespace korvalo {

namespace {

using namespace bookmarkCaptions;

constexpr qsizetype kMaxWindowsDirectoryLength = 1000;

QString caption(const char16_t* text) {
    return QString::fromUtf16(text);
}

QString registryText(const RegistryFile* registry, const QString& key, const QString& name) {
    if (!registry)
        return QString();
    const auto value = registry->value(RegRoot::CurrentUser, key, name);
    return value && value->type == RegValue::String ? value->text : QString();
}

QString xdgFolder(const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() || QDir::isRelativePath(value) ? fallback : value;
}

using Profiles = std::vector<std::pair<QString, BookmarkList>>;

// One top item for a browser: the single profile's folders directly, or a
// folder per profile. No profile, no item.
void addProfiles(BookmarkList& top, const char16_t* text, Profiles profiles) {
    if (profiles.empty())
        return;
    BookmarkNode item = BookmarkNode::folder(caption(text));
    if (profiles.size() == 1) {
        item.children = std::move(profiles.front().second);
    } else {
        for (auto& [name, entries] : profiles)
            item.children.push_back(BookmarkNode::folder(ShortenCaption(name), std::move(entries)));
    }
    top.push_back(std::move(item));
}

void readInternetExplorer(const BookmarkLocations& where, const WinePrefix& wine,
                          BookmarkList& top) {
    const QString value = registryText(
        where.registry,
        QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"),
        QStringLiteral("Favorites"));
    const QString folder = value.isEmpty() ? where.favoritesPath : wine.toLocalPath(value);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    if (auto entries = ReadInternetExplorerFavorites(folder))
        top.push_back(BookmarkNode::folder(caption(kInternetExplorer), std::move(*entries)));
}

std::optional<BookmarkList> readNetscapeFile(const QString& path, HtmlText text) {
    const auto bytes = readBookmarkFile(path);
    return bytes ? ParseNetscapeBookmarks(*bytes, text) : std::nullopt;
}

void readNavigator(const BookmarkLocations& where, const WinePrefix& wine, BookmarkList& top) {
    const QString value = registryText(
        where.registry, QStringLiteral("Software\\Netscape\\Netscape Navigator\\Bookmark List"),
        QStringLiteral("File Location"));
    if (value.isEmpty())
        return;
    if (auto entries = readNetscapeFile(wine.toLocalPath(value), HtmlText::AsWritten))
        top.push_back(BookmarkNode::folder(caption(kNavigator), std::move(*entries)));
}

void readCommunicator(const BookmarkLocations& where, const WinePrefix& wine, BookmarkList& top) {
    if (!where.registry)
        return;
    const CommunicatorProfiles found = FindCommunicatorProfiles(*where.registry, wine);
    BookmarkNode item = BookmarkNode::folder(caption(kCommunicator));
    for (const CommunicatorProfile& profile : found.profiles) {
        if (auto entries = readNetscapeFile(profile.bookmarkFile, HtmlText::AsWritten))
            item.children.push_back(BookmarkNode::folder(profile.caption, std::move(*entries)));
    }
    if (found.registryHasUsers || !item.children.empty())
        top.push_back(std::move(item));
}

void readOpera(const WinePrefix& wine, BookmarkList& top) {
    if (wine.windowsDirectory().size() > kMaxWindowsDirectoryLength)
        return;
    const auto ini = readBookmarkFile(wine.windowsFile(QStringLiteral("opera.ini")));
    const auto value = ini ? iniValue(*ini, "USER PREFS", "HOT LIST FILE VER2") : std::nullopt;
    if (!value || value->isEmpty())
        return;
    const auto bytes = readBookmarkFile(wine.toLocalPath(decodeBookmarkText(*value)));
    auto entries = bytes ? ParseOperaHotList(*bytes) : std::nullopt;
    if (entries && !entries->empty())
        top.push_back(BookmarkNode::folder(caption(kOpera), std::move(*entries)));
}

void readFirefox(const BookmarkLocations& where, BookmarkList& top) {
    const QString folder = where.home + QStringLiteral("/.mozilla/firefox");
    const auto ini = readBookmarkFile(folder + QStringLiteral("/profiles.ini"));
    if (!ini)
        return;
    Profiles profiles;
    for (const FirefoxProfile& profile : ParseFirefoxProfiles(*ini, folder)) {
        if (auto entries = ReadFirefoxBookmarks(profile.folder))
            profiles.emplace_back(profile.name, std::move(*entries));
    }
    addProfiles(top, kFirefox, std::move(profiles));
}

void readChromiumFamily(const BookmarkLocations& where, BookmarkList& top) {
    static constexpr struct {
        const char16_t* caption;
        const char* folder;
    } kBrowsers[] = {{kChromium, "chromium"},
                     {kChrome, "google-chrome"},
                     {kBrave, "BraveSoftware/Brave-Browser"},
                     {kVivaldi, "vivaldi"},
                     {kEdge, "microsoft-edge"},
                     {kOperaChromium, "opera"}};
    for (const auto& browser : kBrowsers) {
        Profiles profiles;
        const QString folder = where.configHome + u'/' + QLatin1StringView(browser.folder);
        for (const ChromiumProfile& profile : FindChromiumProfiles(folder)) {
            const auto bytes = readBookmarkFile(profile.bookmarksFile);
            if (auto entries = bytes ? ParseChromiumBookmarks(*bytes) : std::nullopt)
                profiles.emplace_back(profile.name, std::move(*entries));
        }
        addProfiles(top, browser.caption, std::move(profiles));
    }
}

void readExportedFiles(const BookmarkLocations& where, BookmarkList& top) {
    const QDir folder(where.dataHome + QStringLiteral("/korvalo/bookmarks"));
    const QFileInfoList files =
        folder.entryInfoList({QStringLiteral("*.html"), QStringLiteral("*.htm")}, QDir::Files,
                             QDir::Name | QDir::IgnoreCase);
    Profiles profiles;
    for (const QFileInfo& file : files) {
        auto entries = readNetscapeFile(file.filePath(), HtmlText::Decoded);
        if (!entries || entries->empty())
            continue;
        shortenCaptions(*entries);
        profiles.emplace_back(file.completeBaseName(), std::move(*entries));
    }
    addProfiles(top, kExportedFiles, std::move(profiles));
}

// Runs one source; whatever goes wrong inside it leaves that source out.
template <typename Read> void guarded(Read read) {
    try {
        read();
    } catch (...) {
    }
}

} // namespace

BookmarkLocations BookmarkLocations::fromEnvironment(const RegistryFile& registry,
                                                     QString favoritesPath) {
    BookmarkLocations where;
    where.registry = &registry;
    where.favoritesPath = std::move(favoritesPath);
    where.winePrefix = WinePrefix::defaultRoot();
    where.home = QDir::homePath();
    where.configHome = xdgFolder("XDG_CONFIG_HOME", where.home + QStringLiteral("/.config"));
    where.dataHome = xdgFolder("XDG_DATA_HOME", where.home + QStringLiteral("/.local/share"));
    return where;
}

BookmarkList ReadBookmarkSources(const BookmarkLocations& where) {
    const WinePrefix wine(where.winePrefix);
    BookmarkList top;
    // Each source adds its item whole, as its last step, so one that
    // throws adds nothing.
    guarded([&] { readInternetExplorer(where, wine, top); });
    guarded([&] { readNavigator(where, wine, top); });
    guarded([&] { readCommunicator(where, wine, top); });
    guarded([&] { readOpera(wine, top); });
    guarded([&] { readFirefox(where, top); });
    guarded([&] { readChromiumFamily(where, top); });
    guarded([&] { readExportedFiles(where, top); });
    return top;
}

} // namespace korvalo

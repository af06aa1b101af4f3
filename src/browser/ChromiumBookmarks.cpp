#include "browser/ChromiumBookmarks.h"

#include "browser/BookmarkCaptions.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace korvalo {

namespace {

const QString kBookmarksFile = QStringLiteral("Bookmarks");

bool fill(const QJsonArray& children, BookmarkList& out, int depth, EntryBudget& budget) {
    if (depth > kMaxBookmarkDepth)
        return false;
    for (const QJsonValue& value : children) {
        const QJsonObject item = value.toObject();
        const QString type = item.value(QLatin1StringView("type")).toString();
        const QString name = item.value(QLatin1StringView("name")).toString();
        if (type == QLatin1StringView("url")) {
            const QString url = item.value(QLatin1StringView("url")).toString();
            if (url.isEmpty())
                continue;
            if (!budget.take())
                return false;
            out.push_back(BookmarkNode::bookmark(ShortenCaption(name.isEmpty() ? url : name), url));
        } else if (type == QLatin1StringView("folder")) {
            if (!budget.take())
                return false;
            out.push_back(BookmarkNode::folder(ShortenCaption(name)));
            if (!fill(item.value(QLatin1StringView("children")).toArray(), out.back().children,
                      depth + 1, budget))
                return false;
        }
    }
    return true;
}

std::optional<QJsonObject> jsonObject(QByteArrayView bytes) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    return doc.object();
}

} // namespace

std::optional<BookmarkList> ParseChromiumBookmarks(QByteArrayView json) {
    const auto doc = jsonObject(json);
    if (!doc)
        return std::nullopt;
    const QJsonObject roots = doc->value(QLatin1StringView("roots")).toObject();
    if (roots.isEmpty())
        return std::nullopt;
    struct Root {
        const char* key;
        const char16_t* caption;
        bool shownEmpty;
    };
    static constexpr Root kRoots[] = {{"bookmark_bar", bookmarkCaptions::kToolbar, true},
                                      {"other", bookmarkCaptions::kOther, true},
                                      {"synced", bookmarkCaptions::kMobile, false}};
    BookmarkList folders;
    EntryBudget budget;
    for (const Root& root : kRoots) {
        const QJsonArray children = roots.value(QLatin1StringView(root.key))
                                        .toObject()
                                        .value(QLatin1StringView("children"))
                                        .toArray();
        BookmarkNode folder = BookmarkNode::folder(QString::fromUtf16(root.caption));
        if (!fill(children, folder.children, 1, budget))
            return std::nullopt;
        if (root.shownEmpty || !folder.children.empty())
            folders.push_back(std::move(folder));
    }
    return folders;
}

std::map<QString, QString> ParseChromiumProfileNames(QByteArrayView localState) {
    std::map<QString, QString> names;
    const auto doc = jsonObject(localState);
    if (!doc)
        return names;
    const QJsonObject cache = doc->value(QLatin1StringView("profile"))
                                  .toObject()
                                  .value(QLatin1StringView("info_cache"))
                                  .toObject();
    for (auto it = cache.begin(); it != cache.end(); ++it) {
        const QString name = it.value().toObject().value(QLatin1StringView("name")).toString();
        if (!name.isEmpty())
            names.emplace(it.key(), name);
    }
    return names;
}

std::vector<ChromiumProfile> FindChromiumProfiles(const QString& userDataFolder) {
    const QDir top(userDataFolder);
    if (!top.exists())
        return {};
    std::map<QString, QString> names;
    if (const auto state = readBookmarkFile(top.filePath(QStringLiteral("Local State"))))
        names = ParseChromiumProfileNames(*state);

    QStringList folders = top.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    // "Default" comes first, as the browser lists it.
    std::stable_partition(folders.begin(), folders.end(),
                          [](const QString& f) { return f == QLatin1StringView("Default"); });
    std::vector<ChromiumProfile> profiles;
    if (QFileInfo(top.filePath(kBookmarksFile)).isFile())
        profiles.push_back({top.dirName(), top.filePath(kBookmarksFile)});
    for (const QString& folder : folders) {
        const QString file = top.filePath(folder + u'/' + kBookmarksFile);
        if (!QFileInfo(file).isFile())
            continue;
        const auto name = names.find(folder);
        profiles.push_back({name != names.end() ? name->second : folder, file});
    }
    return profiles;
}

} // namespace korvalo

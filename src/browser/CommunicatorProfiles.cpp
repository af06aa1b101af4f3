#include "browser/CommunicatorProfiles.h"

#include "browser/BookmarkTree.h"
#include "browser/WinePrefix.h"
#include "platform/RegistryFile.h"

#include <QFileInfo>

#include <set>

namespace korvalo {

namespace {

const QString kUsersKey = QStringLiteral("Software\\Netscape\\Netscape Navigator\\Users");

QChar asciiUpper(QChar c) {
    return c >= u'a' && c <= u'z' ? QChar(c.unicode() - u'a' + u'A') : c;
}

// Windows paths take a backslash, Linux ones a slash.
QString inFolder(const QString& folder, const QString& name) {
    const QChar sep = WinePrefix::isWindowsPath(folder) ? u'\\' : u'/';
    return folder.endsWith(sep) ? folder + name : folder + sep + name;
}

class ProfileList {
public:
    ProfileList(const WinePrefix& wine, CommunicatorProfiles& out)
        : wine_(wine)
        , out_(out) {}

    // Lists a folder holding "bookmark.htm" unless it was listed before.
    void add(const QString& caption, const QString& folder) {
        const QString file = wine_.toLocalPath(inFolder(folder, QStringLiteral("bookmark.htm")));
        const QFileInfo info(file);
        if (file.isEmpty() || !info.isFile())
            return;
        // One folder reached by two spellings ("C:\" and "c:\", or a
        // trailing backslash) is still one profile.
        if (!seen_.insert(info.canonicalPath()).second)
            return;
        out_.profiles.push_back({caption, file});
    }

private:
    const WinePrefix& wine_;
    CommunicatorProfiles& out_;
    std::set<QString> seen_;
};

} // namespace

QStringList ParseNsregProfileFolders(QByteArrayView nsreg) {
    static constexpr QByteArrayView kMarker = "profilelocation";
    const QByteArray lower = nsreg.toByteArray().toLower();
    QStringList folders;
    qsizetype hit = lower.indexOf(kMarker);
    while (hit >= 0 && folders.size() < kMaxBrowserProfiles) {
        qsizetype start = hit + kMarker.size();
        while (start < nsreg.size() && nsreg[start] == '\0')
            ++start;
        qsizetype end = nsreg.indexOf('\0', start);
        if (end < 0)
            end = nsreg.size();
        folders << decodeBookmarkText(nsreg.sliced(start, end - start));
        hit = lower.indexOf(kMarker, hit + kMarker.size());
    }
    return folders;
}

QString CommunicatorProfileCaption(const QString& folder) {
    const qsizetype cut = std::max(folder.lastIndexOf(u'\\'), folder.lastIndexOf(u'/'));
    const QString last = folder.mid(cut + 1);
    QString caption;
    caption.reserve(last.size());
    bool upper = true;
    for (const QChar c : last) {
        if (c == u'_') {
            caption += u' ';
            upper = true;
            continue;
        }
        caption += upper ? asciiUpper(c) : c;
        upper = false;
    }
    return caption;
}

CommunicatorProfiles FindCommunicatorProfiles(const RegistryFile& registry,
                                              const WinePrefix& wine) {
    CommunicatorProfiles found;
    ProfileList list(wine, found);
    const QStringList users = registry.subkeyNames(RegRoot::LocalMachine, kUsersKey);
    found.registryHasUsers = !users.isEmpty();
    for (const QString& name : users) {
        const auto dir = registry.value(RegRoot::LocalMachine, kUsersKey + u'\\' + name,
                                        QStringLiteral("DirRoot"));
        if (dir && dir->type == RegValue::String && !dir->text.isEmpty())
            list.add(name, dir->text);
    }
    if (const auto bytes = readBookmarkFile(wine.windowsFile(QStringLiteral("nsreg.dat")))) {
        for (const QString& folder : ParseNsregProfileFolders(*bytes))
            list.add(CommunicatorProfileCaption(folder), folder);
    }
    return found;
}

} // namespace korvalo

#include "browser/WinePrefix.h"

#include <QDir>
#include <QFileInfo>

namespace korvalo {

namespace {

// Parts found under folder without regard to letter case; a part that is
// not there is kept as written, so the path simply does not exist.
QString resolveParts(QString folder, const QStringList& parts) {
    for (const QString& part : parts) {
        if (part.isEmpty() || part == u'.')
            continue;
        QString next = folder.endsWith(u'/') ? folder + part : folder + u'/' + part;
        if (part != QStringLiteral("..") && !QFileInfo::exists(next)) {
            const QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                             QDir::System | QDir::NoDotAndDotDot);
            for (const QString& name : names) {
                if (name.compare(part, Qt::CaseInsensitive) == 0) {
                    next = folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
                    break;
                }
            }
        }
        folder = next;
    }
    return folder;
}

} // namespace

WinePrefix::WinePrefix(QString root)
    : root_(std::move(root)) {}

QString WinePrefix::defaultRoot() {
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    return prefix.isEmpty() ? QDir::homePath() + QStringLiteral("/.wine") : prefix;
}

QString WinePrefix::windowsDirectory() const {
    return toLocalPath(QStringLiteral("C:\\windows"));
}

QString WinePrefix::windowsFile(const QString& name) const {
    return toLocalPath(QStringLiteral("C:\\windows\\") + name);
}

bool WinePrefix::isWindowsPath(const QString& path) {
    return path.size() >= 2 && path[1] == u':' && path[0].isLetter() && path[0].unicode() < 0x80;
}

QString WinePrefix::toLocalPath(const QString& path) const {
    if (path.startsWith(QStringLiteral("\\\\")))
        return QString();
    if (!isWindowsPath(path))
        return path;
    const QChar drive = path[0].toLower();
    QString base;
    if (drive == u'c')
        base = root_ + QStringLiteral("/drive_c");
    else if (drive == u'z')
        base = QStringLiteral("/");
    else
        base = root_ + QStringLiteral("/dosdevices/") + drive + u':';
    QString rest = path.mid(2);
    rest.replace(u'\\', u'/');
    return resolveParts(base, rest.split(u'/'));
}

} // namespace korvalo

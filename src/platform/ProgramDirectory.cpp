#include "platform/ProgramDirectory.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace korvalo {

namespace {

QString withSlash(QString dir) {
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

} // namespace

QString resolveProgramDirectory(const QString& executableDir) {
    const QString home = qEnvironmentVariable("KORVALO_HOME");
    if (!home.isEmpty())
        return withSlash(QDir(home).absolutePath());

    const QString exeDir = withSlash(executableDir);
    const QString site = QStringLiteral("weburl.kvl");
    const QString installed = QDir::cleanPath(exeDir + QStringLiteral("../share/korvalo"));
    if (QFile::exists(exeDir + site) || !QFile::exists(installed + QLatin1Char('/') + site))
        return exeDir;

    const QString data =
        withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) +
        QStringLiteral("korvalo/");
    QDir().mkpath(data);
    // Copy only what is missing: the user's own changes are never replaced.
    // A copy keeps the installed file's mode, and a read-only install would
    // leave the user unable to add a site to their own copy.
    for (const QString& name : {site, QStringLiteral("cate.dat")})
        if (!QFile::exists(data + name) &&
            QFile::copy(installed + QLatin1Char('/') + name, data + name))
            QFile::setPermissions(data + name,
                                  QFile::permissions(data + name) | QFileDevice::WriteOwner);
    return data;
}

} // namespace korvalo

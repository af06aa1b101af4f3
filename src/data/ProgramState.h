#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <string>

namespace korvalo {

// Program-wide state, held by the Directory (which the main window owns and
// hands to its panels by reference).
struct ProgramState {
    QString programDir; // ends with '/'
    // A name in the program directory, or the absolute path of a database
    // the maintainer opened or made elsewhere.
    QString siteFileName = QStringLiteral("weburl.kvl"); // changed only in maintainer mode
    int64_t siteCount = 0;
    QString versionLabel;
    QString storedPassword;
    QString currentCategoryName;

    // Settings held in memory for the run.
    QString firstRunMarker;
    QString browserPath;
    QString favoritesFolder;
    int banerNo = 1;
    QString minimiseFlag;

    // A file in the program directory, as a path for the core.
    std::string path(const QString& name) const {
        return QFile::encodeName(programDir + name).toStdString();
    }
    std::string sitePath() const { return sitePathOf(siteFileName); }
    std::string sitePathOf(const QString& name) const {
        return QDir::isAbsolutePath(name) ? QFile::encodeName(name).toStdString() : path(name);
    }
    std::string catePath() const { return path(QStringLiteral("cate.dat")); }
    std::string favoritesPath() const { return path(QStringLiteral("favorites.dat")); }
    std::string scratchPath() const { return path(QStringLiteral("temp/Temp.tmp")); }
};

} // namespace korvalo

#pragma once

#include <QString>

namespace korvalo {

// The Wine prefix, where Windows browsers installed on Linux keep their
// files: its drive_c stands for C:, and Z: is the root of this system.
class WinePrefix {
public:
    explicit WinePrefix(QString root);

    // $WINEPREFIX, else ~/.wine.
    static QString defaultRoot();

    const QString& root() const { return root_; }

    // The Windows directory: drive_c/windows.
    QString windowsDirectory() const;
    // A file of the Windows directory, its name matched as toLocalPath does.
    QString windowsFile(const QString& name) const;

    // A path as a Windows program wrote it ("C:\Program Files\..."), as a
    // path here: C: is drive_c, Z: is "/", another letter is the prefix's
    // dosdevices link for it. Each part is matched without regard to letter
    // case, as Windows and Wine match them. A path that does not begin with
    // a drive letter is a Linux path and stays as it is; a network path
    // ("\\server\share") has no place here and gives an empty text.
    QString toLocalPath(const QString& path) const;

    static bool isWindowsPath(const QString& path);

private:
    QString root_;
};

} // namespace korvalo

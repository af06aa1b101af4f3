#pragma once

#include <QSize>
#include <QString>

#include <functional>
#include <optional>

namespace korvalo {

// What the main window takes from its surroundings at start-up. Everything
// defaults to the real desktop; tests put in their own folders, screen sizes
// and message sinks.
struct StartupEnvironment {
    QString programDir;   // empty: resolved from KORVALO_HOME or the executable
    QString registryPath; // empty: the user's registry file
    std::optional<QSize> screenSize;
    bool autorunEntryFound = false;
    // The single-instance guard's name and lock folder; empty: the
    // executable's name and the runtime folder.
    QString instanceName;
    QString instanceLockFolder;
    // Where the banner pictures are kept; empty: the user's cache folder.
    QString bannerFolder;
    // The platform's plain message window; empty: a QMessageBox.
    std::function<void(const QString&)> plainMessage;
    // Ends the program with a status; empty: QCoreApplication::exit.
    std::function<void(int)> quit;
};

} // namespace korvalo

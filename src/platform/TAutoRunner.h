#pragma once

#include <QString>

#include <optional>

namespace korvalo {

class RegistryFile;

// The start-with-the-system entry: the value AppName under the Run key of the
// emulated registry, holding the executable's full path, mirrored by an XDG
// autostart entry so that the desktop really starts the program at login.
// The entry's presence is the setting. It is read once, when the runner is
// made; afterwards AutoRun() reports the state as found or as last set.
class TAutoRunner {
public:
    enum class RegLocation { CurrentUser, LocalMachine };

    // "\Software\Microsoft\Windows\CurrentVersion\Run", under either root.
    static const QString& runKey();
    // $XDG_CONFIG_HOME/autostart, ~/.config/autostart when that is unset.
    static QString defaultAutostartFolder();
    // The desktop entry that starts executablePath; nullopt for a path that
    // a desktop entry cannot carry (control characters).
    static std::optional<QString> desktopEntry(const QString& executablePath);

    // Reads the entry: under HKEY_CURRENT_USER first, then under
    // HKEY_LOCAL_MACHINE, which then becomes the location for later writes.
    explicit TAutoRunner(RegistryFile& registry, QString executablePath = currentExecutable(),
                         QString autostartFolder = defaultAutostartFolder());

    const QString AppName = QStringLiteral("MyApplication");

    bool AutoRun() const { return autoRun_; }
    // Only a change of state touches anything: the value goes from both roots
    // and, when on, is written under the location; the autostart file is
    // written or removed. Failures leave the new state set and give false.
    bool setAutoRun(bool on);

    RegLocation regLocation() const { return location_; }
    QString executablePath() const { return executable_; }
    // The autostart file: <autostart folder>/korvalo.desktop.
    QString desktopEntryPath() const;

    static QString currentExecutable();

private:
    bool writeDesktopEntry() const;
    bool removeDesktopEntry() const;

    RegistryFile& registry_;
    QString executable_;
    QString autostartFolder_;
    RegLocation location_ = RegLocation::CurrentUser;
    bool autoRun_ = false;
};

} // namespace korvalo

#include "platform/TAutoRunner.h"

#include "platform/AtomicFile.h"
#include "platform/RegistryFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace korvalo {

namespace {

RegRoot rootOf(TAutoRunner::RegLocation location) {
    return location == TAutoRunner::RegLocation::LocalMachine ? RegRoot::LocalMachine
                                                              : RegRoot::CurrentUser;
}

bool holdsText(const RegistryFile& registry, RegRoot root, const QString& name) {
    const auto value = registry.value(root, TAutoRunner::runKey(), name);
    return value && value->type == RegValue::String && !value->text.isEmpty();
}

// One argument of an Exec line. The quoting rule escapes ", `, $ and \ inside
// double quotes and % is doubled for the field codes; then the general rule
// of string values escapes the backslashes again and the line breaks, which
// is why a literal backslash ends up as four.
std::optional<QString> execArgument(const QString& arg) {
    QString quoted;
    for (const QChar c : arg) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        else if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    QString out = QStringLiteral("\"");
    for (const QChar c : quoted) {
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                return std::nullopt;
            out += c;
        }
    }
    return out + u'"';
}

} // namespace

const QString& TAutoRunner::runKey() {
    static const QString key = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    return key;
}

QString TAutoRunner::defaultAutostartFolder() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative path there is to be ignored, as the XDG rules say.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/autostart");
}

QString TAutoRunner::currentExecutable() {
    return QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
}

std::optional<QString> TAutoRunner::desktopEntry(const QString& executablePath) {
    const auto exec = execArgument(executablePath);
    if (!exec)
        return std::nullopt;
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Version=1.0\n"
                          "Name=Korvalo\n"
                          "Exec=%1\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(*exec);
}

TAutoRunner::TAutoRunner(RegistryFile& registry, QString executablePath, QString autostartFolder)
    : registry_(registry)
    , executable_(std::move(executablePath))
    , autostartFolder_(std::move(autostartFolder)) {
    if (holdsText(registry_, RegRoot::CurrentUser, AppName)) {
        location_ = RegLocation::CurrentUser;
        autoRun_ = true;
    } else if (holdsText(registry_, RegRoot::LocalMachine, AppName)) {
        location_ = RegLocation::LocalMachine;
        autoRun_ = true;
    }
}

QString TAutoRunner::desktopEntryPath() const {
    return autostartFolder_ + QStringLiteral("/korvalo.desktop");
}

bool TAutoRunner::setAutoRun(bool on) {
    if (on == autoRun_)
        return true;
    autoRun_ = on;
    // Either deletion fails when the value is not there, which is fine.
    registry_.deleteValue(RegRoot::CurrentUser, runKey(), AppName);
    registry_.deleteValue(RegRoot::LocalMachine, runKey(), AppName);
    bool ok = true;
    // The Run key always exists on Windows; the emulated registry may still
    // lack it, so it is created here rather than the write failing.
    if (on)
        ok = !executable_.isEmpty() &&
             registry_.setString(rootOf(location_), runKey(), AppName, executable_);
    const bool desktopOk = on ? writeDesktopEntry() : removeDesktopEntry();
    return ok && desktopOk;
}

bool TAutoRunner::writeDesktopEntry() const {
    const auto content = executable_.isEmpty() ? std::nullopt : desktopEntry(executable_);
    if (!content || !QDir().mkpath(autostartFolder_))
        return false;
    const QByteArray bytes = content->toUtf8();
    return atomicReplace(QFile::encodeName(desktopEntryPath()).toStdString(),
                         std::string_view(bytes.constData(), size_t(bytes.size())));
}

bool TAutoRunner::removeDesktopEntry() const {
    const QString path = desktopEntryPath();
    return QFile::remove(path) || !QFileInfo::exists(path);
}

} // namespace korvalo

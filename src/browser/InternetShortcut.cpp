#include "browser/InternetShortcut.h"

#include "data/Cp1256.h"
#include "platform/AtomicFile.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace korvalo {

namespace {

constexpr int kLinesRead = 4;
constexpr qsizetype kLineLimit = 99;
// Four lines of at most 99 bytes and their line ends fit in this.
constexpr qint64 kBytesRead = 512;

// Up to limit bytes of a regular file (all of it when limit is negative);
// nullopt when it cannot be opened or read. A FIFO or a device named like a
// shortcut is refused at once instead of blocking the listing.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 limit) {
    const int fd = openRegularFile(QFile::encodeName(path).toStdString(), O_RDONLY);
    if (fd < 0)
        return std::nullopt;
    QByteArray bytes;
    char buffer[4096];
    while (limit < 0 || bytes.size() < limit) {
        const size_t want = limit < 0
                                ? sizeof buffer
                                : size_t(std::min<qint64>(sizeof buffer, limit - bytes.size()));
        const ssize_t n = ::read(fd, buffer, want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    ::close(fd);
    return bytes;
}

QString decodeText(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return Cp1256::toUnicode(std::string_view(bytes.data(), size_t(bytes.size())));
}

} // namespace

bool isShortcutFileName(const QString& name) {
    for (const QChar c : name)
        if (c.unicode() < 0x20 || QStringView(u"\\/:*?\"<>|").contains(c))
            return false;
    return true;
}

QString shortcutPath(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name + QStringLiteral(".URL");
}

bool WriteInternetShortcut(const QString& folder, const QString& name, const QString& address,
                           QString* error) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!isShortcutFileName(name))
        return fail(QStringLiteral("not a valid file name: ") + name);
    const QString path = shortcutPath(folder, name);

    QByteArray content;
    if (QFile::exists(path)) {
        const auto old = readRegularFile(path, -1);
        if (!old)
            return fail(QStringLiteral("cannot read ") + path);
        content = *old;
    }
    content += "[InternetShortcut]\r\nURL=";
    content += address.toUtf8();
    content += "\r\n";

    std::string why;
    if (!atomicReplace(QFile::encodeName(path).toStdString(),
                       std::string_view(content.constData(), size_t(content.size())), &why))
        return fail(QString::fromStdString(why));
    return true;
}

std::optional<QString> shortcutAddress(QByteArrayView content) {
    qsizetype pos = 0;
    for (int i = 0; i < kLinesRead && pos < content.size(); ++i) {
        const qsizetype newline = content.indexOf('\n', pos);
        const qsizetype end = newline < 0 ? content.size() : newline;
        QByteArrayView line = content.sliced(pos, end - pos);
        if (line.endsWith('\r'))
            line.chop(1);
        const bool cut = line.size() > kLineLimit;
        if (cut)
            line = line.first(kLineLimit);
        if (line.contains(QByteArrayView("URL="))) {
            // From the second byte on, so a line that starts with '=' still
            // gives what follows its key.
            const qsizetype eq = line.indexOf('=', 1);
            QByteArray address = line.sliced(eq + 1).toByteArray();
            address.replace(' ', QByteArrayView());
            return decodeText(address);
        }
        if (cut || newline < 0)
            break;
        pos = newline + 1;
    }
    return std::nullopt;
}

ShortcutRead ReadShortcutAddress(const QString& path) {
    ShortcutRead result;
    const auto head = readRegularFile(path, kBytesRead);
    if (!head)
        return result;
    result.opened = true;
    result.address = shortcutAddress(*head);
    return result;
}

} // namespace korvalo

#include "browser/InternetShortcut.h"

#include "data/Cp1256.h"
#include "platform/AtomicFile.h"

#include <QFile>
#include <QStringDecoder>

namespace korvalo {

namespace {

constexpr int kLinesRead = 4;
constexpr qsizetype kLineLimit = 99;
// Four lines of at most 99 bytes and their line ends fit in this.
constexpr qint64 kBytesRead = 512;

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
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly))
            return fail(old.errorString());
        content = old.readAll();
        if (old.error() != QFileDevice::NoError)
            return fail(old.errorString());
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    const QByteArray head = file.read(kBytesRead);
    if (file.error() != QFileDevice::NoError)
        return result;
    result.opened = true;
    result.address = shortcutAddress(head);
    return result;
}

} // namespace korvalo

#include "online/BannerList.h"

#include <QDir>

namespace korvalo {

namespace {

constexpr qsizetype kMaxIdLength = 64;
constexpr qsizetype kMaxCountDigits = 12;

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<QStringList> ParseBannerList(const QByteArray& body) {
    if (body == "No")
        return std::nullopt;
    QStringList ids;
    qsizetype start = 0;
    for (qsizetype bar = body.indexOf('|'); bar >= 0; bar = body.indexOf('|', start)) {
        ids << QString::fromLatin1(body.mid(start, bar - start));
        start = bar + 1;
    }
    return ids;
}

bool isBannerId(const QString& id) {
    if (id.isEmpty() || id.size() > kMaxIdLength)
        return false;
    for (const QChar c : id) {
        const char16_t u = c.unicode();
        const bool allowed = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                             (u >= u'0' && u <= u'9') || u == u'-' || u == u'_';
        if (!allowed)
            return false;
    }
    return true;
}

QString slotIdentifier(const QString& id) {
    return isBannerId(id) ? id : QString();
}

QString defaultBannerFolder() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    // The XDG rules say a relative path here is to be ignored.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/korvalo/banners");
}

QString bannerFile(const QString& folder, const QString& id) {
    return folder + u'/' + id + QStringLiteral(".gif");
}

std::optional<QString> userCountText(const QByteArray& body) {
    QByteArray digits = body;
    if (digits.endsWith("\r\n"))
        digits.chop(2);
    else if (digits.endsWith('\n'))
        digits.chop(1);
    if (digits.isEmpty() || digits.size() > kMaxCountDigits)
        return std::nullopt;
    for (const char c : digits)
        if (!isAsciiDigit(c))
            return std::nullopt;
    return QString::fromLatin1(digits);
}

} // namespace korvalo

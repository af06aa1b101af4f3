#include "online/HTTPUtils.h"

#include <QDateTime>
#include <QMimeDatabase>

#include <cmath>
#include <cstring>

namespace korvalo {

namespace {

constexpr qsizetype kMaxScheme = 32;
constexpr qsizetype kMaxHost = 256;
constexpr qsizetype kMaxUserOrPassword = 128;
constexpr qsizetype kMaxPathOrExtra = 2048;

QString decoded(QStringView part) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part.toUtf8()));
}

uint16_t defaultPort(const QString& scheme) {
    const QString s = scheme.toLower();
    if (s == u"https")
        return 443;
    if (s == u"ftp")
        return 21;
    if (s == u"gopher")
        return 70;
    return 80;
}

} // namespace

bool ParseURL(const QString& url, URLParts& out) {
    QString text = url.trimmed();
    if (!text.contains(u"://"))
        text.prepend(u"http://");

    const qsizetype schemeEnd = text.indexOf(u"://");
    URLParts p;
    p.Protocol = text.left(schemeEnd);
    if (p.Protocol.isEmpty())
        return false;
    QStringView rest = QStringView(text).mid(schemeEnd + 3);

    qsizetype authorityEnd = rest.size();
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QChar c = rest[i];
        if (c == u'/' || c == u'?' || c == u'#') {
            authorityEnd = i;
            break;
        }
    }
    QStringView authority = rest.left(authorityEnd);
    const QStringView tail = rest.mid(authorityEnd);

    const qsizetype at = authority.lastIndexOf(u'@');
    if (at >= 0) {
        const QStringView userInfo = authority.left(at);
        const qsizetype colon = userInfo.indexOf(u':');
        p.UserName = decoded(colon >= 0 ? userInfo.left(colon) : userInfo);
        if (colon >= 0)
            p.Password = decoded(userInfo.mid(colon + 1));
        authority = authority.mid(at + 1);
    }

    QStringView host = authority;
    QStringView port;
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        if (close < 0)
            return false;
        host = authority.mid(1, close - 1);
        if (authority.mid(close + 1).startsWith(u':'))
            port = authority.mid(close + 2);
    } else if (const qsizetype colon = authority.lastIndexOf(u':'); colon >= 0) {
        host = authority.left(colon);
        port = authority.mid(colon + 1);
    }
    p.HostName = decoded(host);
    if (port.isEmpty()) {
        p.Port = defaultPort(p.Protocol);
    } else {
        bool ok = false;
        const uint value = port.toUInt(&ok);
        if (!ok || value > 65535)
            return false;
        p.Port = static_cast<uint16_t>(value);
    }

    qsizetype extraStart = tail.size();
    for (qsizetype i = 0; i < tail.size(); ++i) {
        if (tail[i] == u'?' || tail[i] == u'#') {
            extraStart = i;
            break;
        }
    }
    p.URLPath = decoded(tail.left(extraStart));
    p.ExtraInfo = decoded(tail.mid(extraStart));

    if (p.Protocol.size() > kMaxScheme || p.HostName.size() > kMaxHost ||
        p.UserName.size() > kMaxUserOrPassword || p.Password.size() > kMaxUserOrPassword ||
        p.URLPath.size() > kMaxPathOrExtra || p.ExtraInfo.size() > kMaxPathOrExtra)
        return false;
    out = std::move(p);
    return true;
}

bool ParseURL(const QString& url, QString& Protocol, QString& HostName, QString& URLPath,
              QString& UserName, QString& Password, QString& ExtraInfo, uint16_t& Port) {
    URLParts p;
    if (!ParseURL(url, p))
        return false;
    Protocol = p.Protocol;
    HostName = p.HostName;
    URLPath = p.URLPath;
    UserName = p.UserName;
    Password = p.Password;
    ExtraInfo = p.ExtraInfo;
    Port = p.Port;
    return true;
}

QString URLToHostName(const QString& url) {
    URLParts p;
    ParseURL(url, p);
    return p.HostName;
}

QString URLToFileName(const QString& url) {
    QString s = url;
    s.replace(u'/', u'\\');
    return s.mid(s.lastIndexOf(u'\\') + 1);
}

uint8_t PercentsOf(double Total, double Part) {
    if (Total == 0)
        return 0;
    const double percent = Part * 100.0 / Total;
    if (!std::isfinite(percent))
        return 0;
    // Wraps like the eight-bit value it is kept in.
    return static_cast<uint8_t>(static_cast<long long>(std::llround(std::fmod(percent, 65536.0))));
}

QString GetMIMEType(const QString& extension) {
    QString ext = extension.toLower();
    if (!ext.startsWith(u'.'))
        ext.prepend(u'.');
    static const QMimeDatabase db;
    const QMimeType type =
        db.mimeTypeForFile(QStringLiteral("file") + ext, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return QStringLiteral("application/octet-stream");
    return type.name();
}

QByteArray GenerateAttachBoundary(char Ch) {
    const QByteArray now = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8();
    QByteArray encoded = Base64Encode(now);
    encoded.replace("\r\n", "");
    return "---HTTP-DATA-BOUNDARY-" + QByteArray(1, Ch) + "-" + encoded + "---";
}

QByteArray Base64Encode(const QByteArray& text) {
    const QByteArray plain = text.toBase64();
    QByteArray out;
    out.reserve(plain.size() + plain.size() / 40 + 2);
    for (qsizetype i = 0; i < plain.size(); i += 80) {
        const QByteArray line = plain.mid(i, 80);
        out += line;
        if (line.size() == 80)
            out += "\r\n";
    }
    return out;
}

QByteArray EncodeURLForRequest(const QString& url) {
    QString text = url.trimmed();
    if (!text.contains(u"://"))
        text.prepend(u"http://");
    const QByteArray bytes = text.toUtf8();
    static constexpr char kHex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F || std::strchr("\"<>\\^`{|}", c) != nullptr) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        } else {
            out += ch;
        }
    }
    return out;
}

} // namespace korvalo

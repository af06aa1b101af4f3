#include "MailMessage.h"

#include <QDateTime>
#include <QList>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>

#include <iconv.h>

namespace korvalo::server {

namespace {

QString fromWindows1256(const QByteArray& bytes) {
    QString text;
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1256");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(bytes);
    QByteArray in = bytes;
    QByteArray out(in.size() * 4 + 4, Qt::Uninitialized);
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = size_t(in.size());
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        // A byte the code page leaves undefined becomes a question mark.
        ++inPtr;
        --inLeft;
        *outPtr++ = '?';
        --outLeft;
    }
    iconv_close(cd);
    out.truncate(out.size() - qsizetype(outLeft));
    return QString::fromUtf8(out);
}

QString decodeValue(QByteArray raw) {
    raw.replace('+', ' ');
    const QByteArray bytes = QByteArray::fromPercentEncoding(raw);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? fromWindows1256(bytes) : text;
}

// Control characters have no place in a header: a line break in a name or
// a subject becomes one blank, any other control character a blank.
QString headerText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            continue; // the CR of a CR LF: the LF stands for both
        const bool control = c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                             c == QChar::ParagraphSeparator;
        out += control ? QChar(u' ') : c;
    }
    return out;
}

// RFC 2047 encoded words of at most 39 bytes of UTF-8 each (64 characters
// with their frame), folded onto continuation lines, never splitting a
// character.
QByteArray encodedWords(const QString& text) {
    QList<QByteArray> words;
    QByteArray chunk;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray ch = text.mid(i, n).toUtf8();
        if (chunk.size() + ch.size() > 39) {
            words << chunk;
            chunk.clear();
        }
        chunk += ch;
        i += n;
    }
    if (!chunk.isEmpty())
        words << chunk;
    QByteArray out;
    for (const QByteArray& w : words) {
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?UTF-8?B?" + w.toBase64() + "?=";
    }
    return out;
}

QByteArray bodyLines(const QString& body) {
    QString text = body;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'\n', QStringLiteral("\r\n"));
    const QByteArray base64 = text.toUtf8().toBase64();
    QByteArray out;
    for (qsizetype i = 0; i < base64.size(); i += 76)
        out += base64.mid(i, 76) + "\r\n";
    return out;
}

} // namespace

std::optional<RelayRequest> parseRelayQuery(const QByteArray& query) {
    RelayRequest r;
    const struct {
        const char* key;
        QString RelayRequest::*field;
    } keys[] = {{"FromName", &RelayRequest::fromName},
                {"FromEmail", &RelayRequest::fromEmail},
                {"Subject", &RelayRequest::subject},
                {"Body", &RelayRequest::body},
                {"ToEmail", &RelayRequest::toEmail}};
    bool seen[std::size(keys)] = {};
    for (const QByteArray& item : query.split('&')) {
        const qsizetype eq = item.indexOf('=');
        const QByteArray key = QByteArray::fromPercentEncoding(eq < 0 ? item : item.left(eq));
        for (size_t k = 0; k < std::size(keys); ++k) {
            if (key != keys[k].key)
                continue;
            if (seen[k])
                return std::nullopt;
            seen[k] = true;
            r.*(keys[k].field) = eq < 0 ? QString() : decodeValue(item.mid(eq + 1));
        }
    }
    return r;
}

bool isMailAddress(const QString& address) {
    static const QRegularExpression pattern(QStringLiteral(
        "^[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+(\\.[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+)*"
        "@[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?(\\.[A-Za-z0-9]([A-Za-z0-9-]{0,61}"
        "[A-Za-z0-9])?)+$"));
    const qsizetype at = address.indexOf(u'@');
    return address.size() <= 254 && at > 0 && at <= 64 && pattern.match(address).hasMatch();
}

QByteArray buildMail(const MailEnvelope& m) {
    const QDateTime now = QDateTime::currentDateTime();
    const QByteArray date = now.toString(Qt::RFC2822Date).toLatin1();
    const quint64 a = QRandomGenerator::global()->generate64();
    const quint64 b = QRandomGenerator::global()->generate64();
    const QByteArray id =
        QByteArray::number(a, 16) + QByteArray::number(b, 16) + '@' + m.messageIdDomain.toLatin1();

    // The addresses have been checked by isMailAddress: plain ASCII without
    // blanks or line breaks.
    const QByteArray from = m.from.toLatin1();
    const QByteArray name = encodedWords(headerText(m.fromName));
    QByteArray mail;
    mail +=
        "Received: from " + m.client.toString().toLatin1() + " by korvalo-server; " + date + "\r\n";
    mail += "Date: " + date + "\r\n";
    mail += "From: " + (name.isEmpty() ? QByteArray() : name + ' ') + '<' + from + ">\r\n";
    mail += "To: <" + m.to.toLatin1() + ">\r\n";
    mail += "Subject: " + encodedWords(headerText(m.subject)) + "\r\n";
    mail += "Message-ID: <" + id + ">\r\n";
    mail += "MIME-Version: 1.0\r\n";
    mail += "Content-Type: text/plain; charset=UTF-8\r\n";
    mail += "Content-Transfer-Encoding: base64\r\n";
    mail += "\r\n";
    mail += bodyLines(m.body);
    return mail;
}

} // namespace korvalo::server

#include "online/MailRelay.h"

#include "data/Cp1256.h"
#include "online/ServerAddress.h"

namespace korvalo {

QString MakerFeedbackAddress() {
    return QString::fromLatin1(kMakerFeedbackAddress);
}

QString MailRelayAddress() {
    return ServerBaseAddress() + QStringLiteral("/2/sendmail/sendmail.asp");
}

QByteArray EncodeRelayValue(const QString& value) {
    const std::optional<std::string> cp1256 = Cp1256::fromUnicode(value);
    const QByteArray bytes =
        cp1256 ? QByteArray(cp1256->data(), qsizetype(cp1256->size())) : value.toUtf8();
    return bytes.toPercentEncoding();
}

QString BuildRelayRequest(const RelayMessage& m) {
    QByteArray query;
    query += "?FromName=" + EncodeRelayValue(m.FromName);
    query += "&FromEmail=" + EncodeRelayValue(m.FromEmail);
    query += "&Subject=" + EncodeRelayValue(m.Subject);
    query += "&Body=" + EncodeRelayValue(m.Body);
    query += "&ToEmail=" + EncodeRelayValue(m.ToEmail);
    return MailRelayAddress() + QString::fromLatin1(query);
}

bool RelayAccepted(const QByteArray& reply) {
    return reply == "Ok";
}

bool LooksLikeMailAddress(const QString& address) {
    const qsizetype at = address.indexOf(u'@');
    return at >= 0 && !address.left(at).trimmed().isEmpty() &&
           !address.mid(at + 1).trimmed().isEmpty();
}

} // namespace korvalo

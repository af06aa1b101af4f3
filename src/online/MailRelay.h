#pragma once

#include <QByteArray>
#include <QString>

namespace korvalo {

// The program sends mail through a relay script on the maker's server: the
// whole message travels in the query of one GET request, and the relay's
// reply "Ok" means it has taken the message over.

// Where the mail dialogs' contact messages go, and the sender name of a
// tell-a-friend mail.
inline constexpr char kMakerFeedbackAddress[] = "feedback@korvalo.example";
QString MakerFeedbackAddress();

// ServerBaseAddress() followed by "/2/sendmail/sendmail.asp".
QString MailRelayAddress();

// One message for the relay. An empty ToEmail goes to the maker.
struct RelayMessage {
    QString FromName;
    QString FromEmail;
    QString Subject;
    QString Body;
    QString ToEmail;
};

// A value as it stands in the relay's query: its Windows-1256 bytes, or its
// UTF-8 bytes when Windows-1256 cannot hold the whole text, with every byte
// but ASCII letters, digits and "-._~" written as %XX. "&", "=", "#", blanks
// and line breaks therefore never end a value or start a key.
QByteArray EncodeRelayValue(const QString& value);

// MailRelayAddress() and the query "?FromName=…&FromEmail=…&Subject=…&Body=…
// &ToEmail=…", keys in that order, each value encoded by EncodeRelayValue.
QString BuildRelayRequest(const RelayMessage& message);

// The relay's verdict: only a reply of exactly "Ok" means sent.
bool RelayAccepted(const QByteArray& reply);

// The check of the sender's address before anything is sent: an "@" with
// something other than blanks on each side of it.
bool LooksLikeMailAddress(const QString& address);

} // namespace korvalo

#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>

#include <optional>

namespace korvalo::server {

// One message the relay is asked to send, as decoded from its query.
struct RelayRequest {
    QString fromName;
    QString fromEmail;
    QString subject;
    QString body;
    QString toEmail;
};

// Reads the relay's query (its percent-encoded form, without "?"): the keys
// FromName, FromEmail, Subject, Body and ToEmail, each at most once (a
// repeated one makes the whole query unreadable); others are ignored. A value
// is read as UTF-8 when its bytes are valid UTF-8, else as Windows-1256; "+"
// stands for a blank.
std::optional<RelayRequest> parseRelayQuery(const QByteArray& query);

// One mailbox address: local@domain in ASCII, a domain of at least two
// labels, nothing else (no blank, no list, no display name, no line break).
bool isMailAddress(const QString& address);

// The message as it goes to the mail system, lines ending in CR LF: the
// headers (names and subject as RFC 2047 encoded words, so no value can end
// a header line or start another), a blank line and the body in base64.
struct MailEnvelope {
    QString from;     // the sender's address
    QString to;       // the one recipient
    QString fromName; // may be empty
    QString subject;  // may be empty
    QString body;     // lines in any convention; sent with CR LF
    QString messageIdDomain;
    QHostAddress client;
};
QByteArray buildMail(const MailEnvelope& mail);

} // namespace korvalo::server

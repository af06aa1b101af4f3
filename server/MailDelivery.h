#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>

namespace korvalo::server {

// Creates DIR/new, DIR/cur and DIR/tmp; false when one cannot be made.
bool prepareMaildir(const QString& dir, QString* error);

// Delivers one message into the maildir DIR: written whole into tmp/ and
// flushed to disk, then moved into new/, so a reader never sees part of it.
// True once the message is in new/.
bool deliverToMaildir(const QString& dir, const QByteArray& mail);

// Hands one message to the SMTP server of url (smtp:// or smtps://, with
// user:password@ when it wants a login). Over smtp:// the connection turns
// to TLS with STARTTLS when the server offers it; a login is never sent
// without TLS. Blocks for at most about 25 seconds, or until stop is set;
// true once the server has accepted the message.
bool deliverBySmtp(const QString& url, const QString& envelopeFrom, const QString& to,
                   const QByteArray& mail, const std::atomic<bool>& stop, QString* error);

} // namespace korvalo::server

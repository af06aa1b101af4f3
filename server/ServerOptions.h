#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

namespace korvalo::server {

// The command line of korvalo-server.
struct ServerOptions {
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 8080;
    QString dataDir;
    QString smtpUrl;   // empty: the mail relay writes into DIR/mail/
    QString makerMail; // where mail without a recipient goes; empty: refused
    bool help = false;

    // Reads the arguments after the program name; on a mistake error says
    // what is wrong and the result is false.
    bool parse(const QStringList& arguments, QString* error);

    static QString usage();
};

} // namespace korvalo::server

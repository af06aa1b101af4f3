#include "ServerOptions.h"

#include "MailMessage.h"

namespace korvalo::server {

namespace {

bool parseListen(const QString& text, QHostAddress& address, quint16& port) {
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon <= 0)
        return false;
    QString host = text.left(colon);
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    bool ok = false;
    const uint value = text.mid(colon + 1).toUInt(&ok);
    if (!ok || value > 65535)
        return false;
    if (host == u"localhost")
        address = QHostAddress(QHostAddress::LocalHost);
    else if (!address.setAddress(host))
        return false;
    port = static_cast<quint16>(value);
    return true;
}

} // namespace

bool ServerOptions::parse(const QStringList& arguments, QString* error) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (option == u"--help" || option == u"-h") {
            help = true;
            return true;
        }
        QString value;
        QString name = option;
        if (const qsizetype eq = option.indexOf(u'='); option.startsWith(u"--") && eq > 0) {
            name = option.left(eq);
            value = option.mid(eq + 1);
        } else if (option == u"--listen" || option == u"--data" || option == u"--smtp" ||
                   option == u"--maker-mail") {
            if (i + 1 >= arguments.size()) {
                *error = option + QStringLiteral(" needs a value");
                return false;
            }
            value = arguments[++i];
        }
        if (name == u"--listen") {
            if (!parseListen(value, address, port)) {
                *error = QStringLiteral("--listen wants ADDRESS:PORT (for example "
                                        "127.0.0.1:8080), not \"%1\"")
                             .arg(value);
                return false;
            }
        } else if (name == u"--data") {
            if (value.isEmpty()) {
                *error = QStringLiteral("--data needs a folder");
                return false;
            }
            dataDir = value;
        } else if (name == u"--smtp") {
            if (!value.startsWith(u"smtp://") && !value.startsWith(u"smtps://")) {
                *error = QStringLiteral("--smtp wants an smtp:// or smtps:// address, not \"%1\"")
                             .arg(value);
                return false;
            }
            smtpUrl = value;
        } else if (name == u"--maker-mail") {
            if (!isMailAddress(value)) {
                *error = QStringLiteral("--maker-mail wants a mail address, not \"%1\"").arg(value);
                return false;
            }
            makerMail = value;
        } else {
            *error = QStringLiteral("unknown option \"%1\"").arg(option);
            return false;
        }
    }
    if (dataDir.isEmpty()) {
        *error = QStringLiteral("--data DIR is required");
        return false;
    }
    return true;
}

QString ServerOptions::usage() {
    return QStringLiteral(
        "usage: korvalo-server [--listen ADDRESS:PORT] --data DIR\n"
        "                      [--smtp URL] [--maker-mail ADDRESS]\n"
        "\n"
        "Serves the banner list, banner pictures and pages, the installation\n"
        "counter, the site-proposal form and the mail relay from DIR:\n"
        "  DIR/banners.txt       banner identifiers, one per line\n"
        "  DIR/banners/ID.gif    the picture of banner ID\n"
        "  DIR/banners/ID.url    the advertiser's address (first line)\n"
        "  DIR/korvalo-server.sqlite  the counter and the proposals (made here)\n"
        "  DIR/mail/             the maildir the relay writes into without --smtp\n"
        "\n"
        "  --listen ADDRESS:PORT  where to listen (default 127.0.0.1:8080;\n"
        "                         port 0 takes a free one, printed at start)\n"
        "  --data DIR             the data folder (required, writable)\n"
        "  --smtp URL             relay mail through this SMTP server\n"
        "                         (smtp://[USER:PASSWORD@]HOST[:PORT], STARTTLS\n"
        "                         when offered and always before a login;\n"
        "                         or smtps://)\n"
        "  --maker-mail ADDRESS   where mail without a recipient goes (without\n"
        "                         it such mail is refused)\n"
        "\n"
        "Exit status: 0 when stopped by SIGINT or SIGTERM, 2 for a wrong\n"
        "command line, 1 when DIR or the address cannot be used.\n");
}

} // namespace korvalo::server

#include "DataStore.h"
#include "KorvaloServer.h"
#include "MailDelivery.h"
#include "MailRelay.h"
#include "ServerOptions.h"
#include "SiteRoutes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>

#include <curl/curl.h>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace korvalo::server;

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

int fail(const QString& message, int status) {
    std::fprintf(stderr, "korvalo-server: %s\n", message.toLocal8Bit().constData());
    return status;
}

} // namespace

int main(int argc, char** argv) {
    curl_global_init(CURL_GLOBAL_DEFAULT); // before any delivery thread
    QCoreApplication app(argc, argv);
    ServerOptions options;
    QString error;
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (!options.parse(arguments, &error)) {
        fail(error, 2);
        std::fputs(ServerOptions::usage().toLocal8Bit().constData(), stderr);
        return 2;
    }
    if (options.help) {
        std::fputs(ServerOptions::usage().toLocal8Bit().constData(), stdout);
        return 0;
    }

    const QFileInfo dir(options.dataDir);
    if (!dir.isDir())
        return fail(QStringLiteral("the data folder %1 does not exist").arg(options.dataDir), 1);
    const QString dataDir = dir.canonicalFilePath();
    DataStore store;
    if (!store.open(dataDir + QStringLiteral("/korvalo-server.sqlite"), &error))
        return fail(QStringLiteral("cannot use the data folder %1: %2").arg(dataDir, error), 1);

    const QString maildir = dataDir + QStringLiteral("/mail");
    if (options.smtpUrl.isEmpty() && !prepareMaildir(maildir, &error))
        return fail(error, 1);
    MailRelay relay({options.smtpUrl, maildir, options.makerMail});

    KorvaloServer server;
    addSiteRoutes(server, dataDir, store);
    addMailRelay(server, relay);
    const quint16 port = server.listenOn(options.address, options.port, &error);
    if (port == 0)
        return fail(QStringLiteral("cannot listen on %1:%2: %3")
                        .arg(options.address.toString())
                        .arg(options.port)
                        .arg(error),
                    1);

    // SIGINT and SIGTERM end the event loop through a pipe, so the database
    // is closed properly.
    if (::pipe(signalPipe) != 0)
        return fail(QStringLiteral("cannot set up signal handling"), 1);
    QSocketNotifier stopper(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopper, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    const QString host = options.address.protocol() == QAbstractSocket::IPv6Protocol
                             ? u'[' + options.address.toString() + u']'
                             : options.address.toString();
    std::printf("korvalo-server: listening on %s:%u\n", host.toLocal8Bit().constData(), port);
    std::fflush(stdout);
    return app.exec();
}

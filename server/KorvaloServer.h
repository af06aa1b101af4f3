#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <map>
#include <optional>

class QHttpServerRequest;

namespace korvalo::server {

// One answer of the server.
struct Reply {
    int status = 200;
    QByteArray contentType = "text/plain; charset=utf-8";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers; // besides type, length and close

    static Reply text(const QByteArray& body, int status = 200);
    static Reply html(const QString& page, int status = 200);
    static Reply redirect(const QByteArray& location);
    static Reply notFound();
};

// The maker's server: answers each request by the handler of its exact path
// (a handler may refuse a path by returning nullopt, for a 404), writes the
// reply with its length and closes the connection after it. GET and HEAD
// reach every handler; POST only the handlers registered for it.
class KorvaloServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    using Handler = std::function<Reply(const QHttpServerRequest&)>;
    // Sends the reply of a request that a deferred handler answers later;
    // nothing is sent when the client has gone meanwhile.
    using Respond = std::function<void(const Reply&)>;
    using DeferredHandler = std::function<void(const QHttpServerRequest&, Respond)>;
    // Decides paths that are not known exactly (a folder of files).
    using PrefixHandler =
        std::function<std::optional<Reply>(const QHttpServerRequest&, const QString& rest)>;

    explicit KorvaloServer(QObject* parent = nullptr);

    void route(const QString& path, Handler handler, bool acceptsPost = false);
    // A GET-only path whose handler may answer after it returns (work on
    // another thread); it must call respond exactly once.
    void routeDeferred(const QString& path, DeferredHandler handler);
    void routePrefix(const QString& prefix, PrefixHandler handler);

    // Listens through a guarded TCP server; the port actually taken, or 0.
    quint16 listenOn(const QHostAddress& address, quint16 port, QString* error);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    Reply answer(const QHttpServerRequest& request);
    void send(const QHttpServerRequest& request, QTcpSocket* socket, const Reply& reply);
    static void sendLater(QTcpSocket* socket, const Reply& reply);
    static QByteArray reasonPhrase(int status);

    struct Route {
        Handler handler;
        bool acceptsPost;
        DeferredHandler deferred;
    };
    std::map<QString, Route> routes_;
    std::map<QString, PrefixHandler> prefixes_;
};

} // namespace korvalo::server

#include "KorvaloServer.h"

#include "BoundedTcpServer.h"
#include "RequestGuard.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpSocket>

namespace korvalo::server {

Reply Reply::text(const QByteArray& body, int status) {
    Reply r;
    r.status = status;
    r.body = body;
    return r;
}

Reply Reply::html(const QString& page, int status) {
    Reply r;
    r.status = status;
    r.contentType = "text/html; charset=utf-8";
    r.body = page.toUtf8();
    return r;
}

Reply Reply::redirect(const QByteArray& location) {
    Reply r = text("Found\n", 302);
    r.headers.append(qMakePair(QByteArray("Location"), location));
    return r;
}

Reply Reply::notFound() {
    return text("Not Found\n", 404);
}

KorvaloServer::KorvaloServer(QObject* parent)
    : QAbstractHttpServer(parent) {}

void KorvaloServer::route(const QString& path, Handler handler, bool acceptsPost) {
    routes_[path] = Route{std::move(handler), acceptsPost, {}};
}

void KorvaloServer::routeDeferred(const QString& path, DeferredHandler handler) {
    routes_[path] = Route{{}, false, std::move(handler)};
}

void KorvaloServer::routePrefix(const QString& prefix, PrefixHandler handler) {
    prefixes_[prefix] = std::move(handler);
}

quint16 KorvaloServer::listenOn(const QHostAddress& address, quint16 port, QString* error) {
    auto* tcp = new BoundedTcpServer(this);
    // Room for a burst of clients connecting at once.
    tcp->setListenBacklogSize(512);
    if (!tcp->listen(address, port)) {
        if (error != nullptr)
            *error = tcp->errorString();
        delete tcp;
        return 0;
    }
    bind(tcp);
    return tcp->serverPort();
}

Reply KorvaloServer::answer(const QHttpServerRequest& request) {
    using Method = QHttpServerRequest::Method;
    const Method method = request.method();
    const bool post = method == Method::Post;
    if (method != Method::Get && method != Method::Head && !post) {
        Reply r = Reply::text("Method Not Allowed\n", 405);
        r.headers.append(qMakePair(QByteArray("Allow"), QByteArray("GET, HEAD, POST")));
        return r;
    }
    const QString path = request.url().path();
    if (const auto it = routes_.find(path); it != routes_.end()) {
        if (it->second.deferred) {
            Reply r = Reply::text("Method Not Allowed\n", 405);
            r.headers.append(qMakePair(QByteArray("Allow"), QByteArray("GET")));
            return r;
        }
        if (post && !it->second.acceptsPost) {
            Reply r = Reply::text("Method Not Allowed\n", 405);
            r.headers.append(qMakePair(QByteArray("Allow"), QByteArray("GET, HEAD")));
            return r;
        }
        return it->second.handler(request);
    }
    if (!post)
        for (const auto& [prefix, handler] : prefixes_)
            if (path.startsWith(prefix))
                if (std::optional<Reply> r = handler(request, path.mid(prefix.size())))
                    return *r;
    return Reply::notFound();
}

bool KorvaloServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    auto* guard = socket->findChild<RequestGuard*>();
    if (guard != nullptr && !guard->takeRequest())
        return true; // a second request on a connection that is closing
    const auto route = routes_.find(request.url().path());
    if (route != routes_.end() && route->second.deferred &&
        request.method() == QHttpServerRequest::Method::Get) {
        route->second.deferred(request, [socket = QPointer<QTcpSocket>(socket)](const Reply& r) {
            if (socket)
                sendLater(socket, r);
        });
        return true;
    }
    send(request, socket, answer(request));
    socket->disconnectFromHost(); // after the reply has gone out
    return true;
}

void KorvaloServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    send(request, socket, Reply::notFound());
    socket->disconnectFromHost();
}

void KorvaloServer::sendLater(QTcpSocket* socket, const Reply& reply) {
    // The request is gone by now, and the library's responder needs it:
    // the answer is written as the responder would, for a GET.
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' +
                      reasonPhrase(reply.status) + "\r\nContent-Type: " + reply.contentType +
                      "\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
                      "\r\nConnection: close\r\n";
    for (const auto& [name, value] : reply.headers)
        head += name + ": " + value + "\r\n";
    socket->write(head + "\r\n" + reply.body);
    socket->disconnectFromHost();
}

QByteArray KorvaloServer::reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

void KorvaloServer::send(const QHttpServerRequest& request, QTcpSocket* socket,
                         const Reply& reply) {
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(reply.status));
    responder.writeHeader("Content-Type", reply.contentType);
    responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    responder.writeHeader("Connection", "close");
    for (const auto& [name, value] : reply.headers)
        responder.writeHeader(name, value);
    if (request.method() == QHttpServerRequest::Method::Head)
        responder.writeBody("", 0);
    else
        responder.writeBody(reply.body);
}

} // namespace korvalo::server

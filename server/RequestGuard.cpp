#include "RequestGuard.h"

#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

namespace korvalo::server {

RequestGuard::RequestGuard(QTcpSocket* socket)
    : QObject(socket)
    , socket_(socket)
    , idle_(new QTimer(this)) {
    idle_->setSingleShot(true);
    connect(idle_, &QTimer::timeout, socket_, &QTcpSocket::abort);
    idle_->start(kIdleMs);
    connect(socket_, &QTcpSocket::readyRead, this, &RequestGuard::onReadyRead);
    connect(socket_, &QTcpSocket::bytesWritten, this, [this] {
        if (state_ != State::Refused)
            idle_->start(kIdleMs);
    });
}

bool RequestGuard::takeRequest() {
    if (taken_ || state_ == State::Refused)
        return false;
    taken_ = true;
    return true;
}

void RequestGuard::onReadyRead() {
    if (state_ == State::Refused) {
        socket_->readAll();
        return;
    }
    idle_->start(kIdleMs);
    if (state_ == State::Complete)
        return;
    // What the library has not read yet: everything new since the last call.
    const QByteArray fresh = socket_->peek(socket_->bytesAvailable());
    if (state_ == State::Body) {
        bodyLeft_ -= fresh.size();
        if (bodyLeft_ <= 0)
            state_ = State::Complete;
        return;
    }
    head_ += fresh;
    inspectHead();
}

void RequestGuard::inspectHead() {
    const qsizetype lineEnd = head_.indexOf("\r\n");
    // One byte of room for the CR of a line that is exactly at the limit.
    if ((lineEnd < 0 && head_.size() > kMaxRequestLine + 1) || lineEnd > kMaxRequestLine)
        return refuse(414, "URI Too Long");
    const qsizetype headEnd = head_.indexOf("\r\n\r\n");
    if ((headEnd < 0 && head_.size() > kMaxHead) || headEnd + 4 > kMaxHead)
        return refuse(431, "Request Header Fields Too Large");
    if (headEnd < 0)
        return;

    qint64 length = 0;
    bool lengthSeen = false;
    const QList<QByteArray> lines = head_.left(headEnd).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "transfer-encoding")
            return refuse(411, "Length Required");
        if (name == "content-length") {
            bool ok = false;
            const qint64 n = value.toLongLong(&ok);
            if (!ok || n < 0 || (lengthSeen && n != length))
                return refuse(400, "Bad Request");
            length = n;
            lengthSeen = true;
        }
    }
    if (length > kMaxBody)
        return refuse(413, "Payload Too Large");
    bodyLeft_ = length - (head_.size() - (headEnd + 4));
    head_.clear();
    state_ = bodyLeft_ > 0 ? State::Body : State::Complete;
}

void RequestGuard::refuse(int status, const char* reason) {
    state_ = State::Refused;
    head_.clear();
    socket_->readAll(); // so the library sees none of it
    const QByteArray body = QByteArray(reason) + "\n";
    socket_->write("HTTP/1.1 " + QByteArray::number(status) + " " + reason +
                   "\r\nContent-Type: text/plain\r\nContent-Length: " +
                   QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    // Close for writing once the answer is out, read what the client still
    // sends, and cut the connection when it closes or after a short while.
    connect(socket_, &QTcpSocket::bytesWritten, this, [this] {
        if (socket_->bytesToWrite() == 0)
            ::shutdown(static_cast<int>(socket_->socketDescriptor()), SHUT_WR);
    });
    socket_->flush();
    if (socket_->bytesToWrite() == 0)
        ::shutdown(static_cast<int>(socket_->socketDescriptor()), SHUT_WR);
    idle_->start(kLingerMs);
}

} // namespace korvalo::server

#pragma once

#include <QByteArray>
#include <QObject>

class QTcpSocket;
class QTimer;

namespace korvalo::server {

// Watches the bytes of a connection before the HTTP library reads them and
// refuses a request that is too large while it is still arriving: a request
// line over kMaxRequestLine bytes (414), a head over kMaxHead (431), a body
// announced over kMaxBody (413) or sent without a length (411), a length that
// is no number (400). A refused connection gets its answer, is closed for
// writing and drained briefly, so the client reads the answer before the
// close. A connection idle for kIdleMs is cut. A connection carries one
// request: the server closes it after its reply.
//
// The guard must be connected to readyRead before the library is: slots run
// in the order of their connections, and the guard only peeks, so the
// library still reads every byte the guard lets through.
class RequestGuard : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kMaxRequestLine = 16 * 1024;
    static constexpr qsizetype kMaxHead = 32 * 1024;
    static constexpr qint64 kMaxBody = 64 * 1024;
    static constexpr int kIdleMs = 30000;
    static constexpr int kLingerMs = 2000;

    explicit RequestGuard(QTcpSocket* socket);

    // True once for the connection's one request; a later call (a second
    // request sent on the same connection) is false and is not answered.
    bool takeRequest();

private:
    enum class State { Head, Body, Complete, Refused };

    void onReadyRead();
    void inspectHead();
    void refuse(int status, const char* reason);

    QTcpSocket* socket_;
    QTimer* idle_;
    State state_ = State::Head;
    QByteArray head_;
    qint64 bodyLeft_ = 0;
    bool taken_ = false;
};

} // namespace korvalo::server

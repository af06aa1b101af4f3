#pragma once

#include <QTcpServer>

namespace korvalo::server {

// A TCP server whose every connection is watched by a RequestGuard from its
// first byte on.
class BoundedTcpServer : public QTcpServer {
    Q_OBJECT
public:
    using QTcpServer::QTcpServer;

protected:
    void incomingConnection(qintptr descriptor) override;
};

} // namespace korvalo::server

#include "BoundedTcpServer.h"

#include "RequestGuard.h"

#include <QTcpSocket>

namespace korvalo::server {

void BoundedTcpServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    // Before the HTTP library connects to the socket, which it does once the
    // connection is taken from the pending ones.
    new RequestGuard(socket);
    addPendingConnection(socket);
}

} // namespace korvalo::server

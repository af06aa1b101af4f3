#pragma once

#include "support/TempDir.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace korvalo::test {

// korvalo-server, started by a test on 127.0.0.1 and a free port over a data
// folder of its own (its mail goes to the maildir DIR/mail/ unless options
// say otherwise), and stopped with SIGTERM when this goes.
class ServerProcess {
public:
    explicit ServerProcess(const QStringList& options = {});
    ~ServerProcess();

    // 0 when the server did not start.
    quint16 port() const { return port_; }
    // "http://127.0.0.1:PORT", the base address for KORVALO_SERVER.
    QString url() const;
    std::string dataDir() const { return dir_.path(); }
    // The messages in the maildir's new/, oldest first.
    QList<QByteArray> mails() const;

private:
    TempDir dir_;
    QProcess process_;
    quint16 port_ = 0;
};

} // namespace korvalo::test

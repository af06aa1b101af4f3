#include "support/ServerProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace korvalo::test {

ServerProcess::ServerProcess(const QStringList& options) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral(KORVALO_BIN_DIR "/korvalo-server"),
                   QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                               QStringLiteral("--data"), QString::fromStdString(dir_.path())} +
                       options);
    const QByteArray prefix = "listening on 127.0.0.1:";
    const QDeadlineTimer deadline(10000);
    QByteArray out;
    while (!deadline.hasExpired() && process_.state() != QProcess::NotRunning) {
        process_.waitForReadyRead(100);
        out += process_.readAllStandardOutput();
        if (const qsizetype at = out.indexOf(prefix); at >= 0 && out.indexOf('\n', at) > 0) {
            port_ = quint16(out.mid(at + prefix.size(), out.indexOf('\n', at)).trimmed().toUInt());
            break;
        }
    }
}

ServerProcess::~ServerProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished(1000);
    }
}

QString ServerProcess::url() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(port_);
}

QList<QByteArray> ServerProcess::mails() const {
    QList<QByteArray> mails;
    const QDir fresh(QString::fromStdString(dir_.path()) + QStringLiteral("/mail/new"));
    for (const QFileInfo& info : fresh.entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly))
            mails << file.readAll();
    }
    return mails;
}

} // namespace korvalo::test

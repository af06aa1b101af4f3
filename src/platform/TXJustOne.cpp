#include "platform/TXJustOne.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace korvalo {

TXJustOne::TXJustOne(const QString& executableName, const QString& lockFolder) {
    QString folder = lockFolder;
    if (folder.isEmpty())
        folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty())
        folder = QDir::tempPath();
    const QByteArray path =
        QFile::encodeName(folder + QLatin1Char('/') + executableName + QStringLiteral(".instance"));
    fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0 || ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        alreadyExists_ = true;
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
}

TXJustOne::~TXJustOne() {
    if (fd_ >= 0)
        ::close(fd_); // releases the lock for the next first copy
}

} // namespace korvalo

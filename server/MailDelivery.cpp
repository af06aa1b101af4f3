#include "MailDelivery.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QUrl>

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace korvalo::server {

namespace {

bool writeAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

bool syncFolder(const QString& dir) {
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// A name no other delivery uses: time, process, a counter and the host.
QString uniqueName() {
    static std::atomic<unsigned> counter{0};
    const qint64 us = QDateTime::currentMSecsSinceEpoch() * 1000;
    QString host = QSysInfo::machineHostName();
    host.replace(u'/', QStringLiteral("\\057")).replace(u':', QStringLiteral("\\072"));
    return QStringLiteral("%1.M%2P%3Q%4.%5")
        .arg(us / 1000000)
        .arg(us % 1000000)
        .arg(::getpid())
        .arg(++counter)
        .arg(host.isEmpty() ? QStringLiteral("localhost") : host);
}

struct Upload {
    const QByteArray* mail;
    qsizetype sent = 0;
    const std::atomic<bool>* stop;
};

size_t readMail(char* buffer, size_t size, size_t count, void* data) {
    auto* u = static_cast<Upload*>(data);
    const size_t n = std::min(size * count, size_t(u->mail->size() - u->sent));
    std::memcpy(buffer, u->mail->constData() + u->sent, n);
    u->sent += qsizetype(n);
    return n;
}

int progress(void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Upload*>(data)->stop->load() ? 1 : 0;
}

} // namespace

bool prepareMaildir(const QString& dir, QString* error) {
    for (const char* sub : {"new", "cur", "tmp"})
        if (!QDir().mkpath(dir + u'/' + QString::fromLatin1(sub))) {
            *error = QStringLiteral("cannot create the maildir %1").arg(dir);
            return false;
        }
    return true;
}

bool deliverToMaildir(const QString& dir, const QByteArray& mail) {
    const QString name = uniqueName();
    const QString tmp = dir + QStringLiteral("/tmp/") + name;
    const QString fresh = dir + QStringLiteral("/new/") + name;
    const QByteArray tmpPath = QFile::encodeName(tmp);
    const int fd = ::open(tmpPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // Maildir files end their lines the Unix way.
    QByteArray text = mail;
    text.replace("\r\n", "\n");
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written ||
        ::rename(tmpPath.constData(), QFile::encodeName(fresh).constData()) != 0) {
        ::unlink(tmpPath.constData());
        return false;
    }
    return syncFolder(dir + QStringLiteral("/new"));
}

bool deliverBySmtp(const QString& url, const QString& envelopeFrom, const QString& to,
                   const QByteArray& mail, const std::atomic<bool>& stop, QString* error) {
    CURL* curl = curl_easy_init();
    if (curl == nullptr) {
        *error = QStringLiteral("curl could not start");
        return false;
    }
    const QByteArray target = url.toUtf8();
    const QByteArray from = '<' + envelopeFrom.toLatin1() + '>';
    const QByteArray rcpt = '<' + to.toLatin1() + '>';
    curl_slist* recipients = curl_slist_append(nullptr, rcpt.constData());
    Upload upload{&mail, 0, &stop};
    const bool login = !QUrl(url).userName().isEmpty();

    curl_easy_setopt(curl, CURLOPT_URL, target.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(login ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(mail.size()));
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, &readMail);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &upload);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 10L);
    // Below the 30 seconds after which the client's connection is cut.
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 25L);
    const CURLcode result = curl_easy_perform(curl);
    if (result != CURLE_OK)
        *error = QString::fromUtf8(curl_easy_strerror(result));
    curl_slist_free_all(recipients);
    curl_easy_cleanup(curl);
    return result == CURLE_OK;
}

} // namespace korvalo::server

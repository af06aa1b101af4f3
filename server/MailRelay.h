#pragma once

#include "KorvaloServer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <atomic>
#include <deque>
#include <list>
#include <map>
#include <thread>

class QHttpServerRequest;

namespace korvalo::server {

// How the relay delivers: by SMTP when smtpUrl is given, else into the
// maildir. makerMail receives the messages sent without a recipient; without
// it they are refused.
struct RelaySettings {
    QString smtpUrl;
    QString maildir;
    QString makerMail;
};

// "/2/sendmail/sendmail.asp": mails the message of the query and answers
// exactly "Ok" once it has been handed over (in the maildir, or accepted by
// the SMTP server), anything else otherwise. Each client address may send
// kPerMinute requests in any 60 seconds.
class MailRelay : public QObject {
    Q_OBJECT
public:
    static constexpr int kPerMinute = 20;
    // SMTP deliveries in progress at once; more are refused until one ends.
    static constexpr int kMaxDeliveries = 8;

    explicit MailRelay(RelaySettings settings, QObject* parent = nullptr);
    // Stops the deliveries in progress and waits for them.
    ~MailRelay() override;

    void handle(const QHttpServerRequest& request, KorvaloServer::Respond respond);

private:
    // The client a request comes from: its address, or, from a reverse proxy
    // on this machine, the last address of its X-Forwarded-For.
    static QString clientOf(const QHttpServerRequest& request);
    bool admit(const QString& client);

    RelaySettings settings_;
    QElapsedTimer clock_;
    std::map<QString, std::deque<qint64>> recent_; // client -> times of its requests
    std::atomic<bool> stopping_{false};
    std::list<std::thread> deliveries_;
    int running_ = 0;
};

void addMailRelay(KorvaloServer& server, MailRelay& relay);

} // namespace korvalo::server

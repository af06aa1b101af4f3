#include "MailRelay.h"

#include "MailDelivery.h"
#include "MailMessage.h"

#include <QHttpServerRequest>
#include <QUrl>

#include <cstdio>

namespace korvalo::server {

namespace {

constexpr qint64 kWindowMs = 60 * 1000;
// Longer names and subjects are no mail anyone types.
constexpr qsizetype kMaxHeaderText = 200;

Reply verdict(const QByteArray& text, int status) {
    Reply r = Reply::text(text, status);
    // An answer about one message: no cache may keep it for another.
    r.headers.append(qMakePair(QByteArray("Cache-Control"), QByteArray("no-store")));
    return r;
}

} // namespace

MailRelay::MailRelay(RelaySettings settings, QObject* parent)
    : QObject(parent)
    , settings_(std::move(settings)) {
    clock_.start();
}

MailRelay::~MailRelay() {
    stopping_ = true;
    for (std::thread& t : deliveries_)
        t.join();
}

QString MailRelay::clientOf(const QHttpServerRequest& request) {
    const QHostAddress peer = request.remoteAddress();
    if (peer.isLoopback()) {
        const QByteArray forwarded = request.value("X-Forwarded-For");
        const QString last = QString::fromLatin1(forwarded.split(',').last().trimmed());
        if (QHostAddress address; address.setAddress(last))
            return address.toString();
    }
    return peer.toString();
}

bool MailRelay::admit(const QString& client) {
    const qint64 now = clock_.elapsed();
    // Forget clients that have been quiet for a minute, so the table stays
    // as small as the traffic of the last minute.
    if (recent_.size() > 1024)
        std::erase_if(recent_, [now](const auto& entry) {
            return entry.second.empty() || now - entry.second.back() >= kWindowMs;
        });
    std::deque<qint64>& times = recent_[client];
    while (!times.empty() && now - times.front() >= kWindowMs)
        times.pop_front();
    if (times.size() >= size_t(kPerMinute))
        return false;
    times.push_back(now);
    return true;
}

void MailRelay::handle(const QHttpServerRequest& request, KorvaloServer::Respond respond) {
    const QString client = clientOf(request);
    if (!admit(client))
        return respond(verdict("Too many messages, try again later\n", 429));
    const std::optional<RelayRequest> r =
        parseRelayQuery(request.url().query(QUrl::FullyEncoded).toLatin1());
    if (!r)
        return respond(verdict("Bad request\n", 400));
    const QString from = r->fromEmail.trimmed();
    QString to = r->toEmail.trimmed();
    if (!isMailAddress(from))
        return respond(verdict("Bad sender address\n", 400));
    if (to.isEmpty())
        to = settings_.makerMail;
    if (to.isEmpty())
        return respond(verdict("No recipient\n", 400));
    if (!isMailAddress(to))
        return respond(verdict("Bad recipient address\n", 400));
    if (r->fromName.size() > kMaxHeaderText || r->subject.size() > kMaxHeaderText)
        return respond(verdict("Name or subject too long\n", 400));

    const QString maker = settings_.makerMail;
    const QByteArray mail = buildMail(
        {from, to, r->fromName, r->subject, r->body,
         maker.isEmpty() ? QStringLiteral("localhost") : maker.mid(maker.indexOf(u'@') + 1),
         request.remoteAddress()});
    if (settings_.smtpUrl.isEmpty())
        return respond(deliverToMaildir(settings_.maildir, mail)
                           ? verdict("Ok", 200)
                           : verdict("The message could not be stored\n", 500));

    if (running_ >= kMaxDeliveries)
        return respond(verdict("Busy, try again later\n", 503));
    ++running_;
    // Bounces go to the maker when there is one, not to whoever typed an
    // address into the form.
    const QString envelope = maker.isEmpty() ? from : maker;
    auto it = deliveries_.emplace(deliveries_.end());
    *it = std::thread([this, it, respond, mail, envelope, to] {
        QString error;
        const bool ok = deliverBySmtp(settings_.smtpUrl, envelope, to, mail, stopping_, &error);
        // Back on the server's thread, which owns the connection and the
        // list of deliveries.
        QMetaObject::invokeMethod(
            this,
            [this, it, respond, ok, error] {
                it->join();
                deliveries_.erase(it);
                --running_;
                if (!ok)
                    std::fprintf(stderr, "korvalo-server: mail not delivered: %s\n",
                                 error.toLocal8Bit().constData());
                respond(ok ? verdict("Ok", 200) : verdict("The mail server refused it\n", 502));
            },
            Qt::QueuedConnection);
    });
}

void addMailRelay(KorvaloServer& server, MailRelay& relay) {
    server.routeDeferred(
        QStringLiteral("/2/sendmail/sendmail.asp"),
        [&relay](const QHttpServerRequest& request, KorvaloServer::Respond respond) {
            relay.handle(request, std::move(respond));
        });
}

} // namespace korvalo::server

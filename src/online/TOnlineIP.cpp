#include "online/TOnlineIP.h"

#include <QTimer>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

namespace korvalo {

TOnlineIP::TOnlineIP(QObject* parent, AddressSource source)
    : QObject(parent)
    , source_(std::move(source))
    , timer_(new QTimer(this)) {
    connect(timer_, &QTimer::timeout, this, &TOnlineIP::poll);
    rearm();
}

TOnlineIP::~TOnlineIP() {
    enabled_ = false;
    rearm();
}

void TOnlineIP::setEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    rearm();
}

void TOnlineIP::setDispatchInterval(uint32_t milliseconds) {
    if (milliseconds == interval_)
        return;
    interval_ = milliseconds;
    rearm();
}

void TOnlineIP::setAddressSource(AddressSource source) {
    source_ = std::move(source);
}

void TOnlineIP::rearm() {
    timer_->stop();
    if (interval_ != 0 && enabled_)
        timer_->start(static_cast<int>(std::min<uint32_t>(interval_, INT_MAX)));
}

void TOnlineIP::poll() {
    const bool before = online_;
    ip_ = source_ ? source_() : hostAddress();
    online_ = countsAsOnline(ip_);
    if (online_ != before)
        Q_EMIT changed();
}

QString TOnlineIP::hostAddress() {
    char name[65] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    name[sizeof name - 1] = '\0';

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM; // one entry per address, not one per socket type
    addrinfo* list = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &list) != 0 || list == nullptr)
        return {};
    const addrinfo* last = list;
    while (last->ai_next != nullptr)
        last = last->ai_next;
    char text[INET_ADDRSTRLEN] = {};
    QString address;
    if (last->ai_family == AF_INET && last->ai_addr != nullptr) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(last->ai_addr);
        if (::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) != nullptr)
            address = QString::fromLatin1(text);
    }
    ::freeaddrinfo(list);
    return address;
}

bool TOnlineIP::countsAsOnline(const QString& address) {
    return !address.isEmpty() && address != QLatin1String("127.0.0.1");
}

} // namespace korvalo

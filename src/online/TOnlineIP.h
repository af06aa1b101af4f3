#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class QTimer;

namespace korvalo {

// The online-state watcher: once per DispatchInterval it looks up the
// machine's own host name and calls the machine online when the last address
// found is neither missing nor "127.0.0.1". Nothing is sent to the network.
// Every run starts offline with an empty address; the first poll comes one
// interval after construction.
class TOnlineIP : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(uint DispatchInterval READ DispatchInterval WRITE setDispatchInterval)
    Q_PROPERTY(bool Online READ Online)
    Q_PROPERTY(QString IP READ IP)
public:
    // Gives the dotted-decimal address that decides, or empty when the lookup
    // failed.
    using AddressSource = std::function<QString()>;

    static constexpr uint32_t kDefaultInterval = 1000;

    // Without a source the machine's own host-name lookup is used.
    explicit TOnlineIP(QObject* parent = nullptr, AddressSource source = {});
    ~TOnlineIP() override;

    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // Milliseconds between polls; 0 stops polling.
    uint32_t DispatchInterval() const { return interval_; }
    void setDispatchInterval(uint32_t milliseconds);

    // The result of the most recent poll.
    bool Online() const { return online_; }
    QString IP() const { return ip_; }

    void setAddressSource(AddressSource source);

    // One poll: stores the address, updates Online and emits changed() when
    // Online differs from its value before the poll.
    void poll();

    // The last IPv4 address of the lookup of this machine's host name (at
    // most 64 bytes of it), or empty when the name or its lookup fails.
    static QString hostAddress();
    // The rule of the gate: an address that is given and is not exactly
    // "127.0.0.1".
    static bool countsAsOnline(const QString& address);

Q_SIGNALS:
    // After Online and IP have taken their new values (the OnChanged event).
    void changed();

private:
    void rearm();

    AddressSource source_;
    QTimer* timer_;
    bool enabled_ = true;
    uint32_t interval_ = kDefaultInterval;
    bool online_ = false;
    QString ip_;
};

} // namespace korvalo

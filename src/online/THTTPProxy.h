#pragma once

#include <QString>

#include <cstdint>

namespace korvalo {

enum class THTTPAccessType { atPreconfig, atDirect, atUseProxy };

// The proxy choice of an HTTP component. atPreconfig takes the system's
// settings (the http_proxy, https_proxy and no_proxy variables); atDirect
// uses no proxy; atUseProxy goes through ProxyServer:ProxyPort except for the
// hosts of ProxyBypass (separated by ";", "," or blanks).
class THTTPProxy {
public:
    THTTPAccessType AccessType() const { return accessType_; }
    void setAccessType(THTTPAccessType type) { accessType_ = type; }
    int ProxyPort() const { return proxyPort_; }
    void setProxyPort(int port) { proxyPort_ = port; }
    QString ProxyServer() const { return proxyServer_; }
    void setProxyServer(const QString& server) { proxyServer_ = server; }
    QString ProxyBypass() const { return proxyBypass_; }
    void setProxyBypass(const QString& bypass) { proxyBypass_ = bypass; }

private:
    THTTPAccessType accessType_ = THTTPAccessType::atPreconfig;
    int proxyPort_ = 8080;
    QString proxyServer_;
    QString proxyBypass_ = QStringLiteral("127.0.0.1;");
};

} // namespace korvalo

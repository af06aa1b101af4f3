#pragma once

#include "online/TCustomHTTPClient.h"

namespace korvalo {

// The HTTP component the windows use: TCustomHTTPClient with its settings
// published as properties.
class THTTPClient : public TCustomHTTPClient {
    Q_OBJECT
    Q_PROPERTY(QString AcceptTypes READ AcceptTypes WRITE setAcceptTypes)
    Q_PROPERTY(QStringList AddHeaders READ AddHeaders WRITE setAddHeaders)
    Q_PROPERTY(QString Agent READ Agent WRITE setAgent)
    Q_PROPERTY(QString URL READ URL WRITE setURL)
    Q_PROPERTY(bool UseCache READ UseCache WRITE setUseCache)
    Q_PROPERTY(bool UseCookies READ UseCookies WRITE setUseCookies)
    Q_PROPERTY(QString Username READ Username WRITE setUsername)
    Q_PROPERTY(QString Password READ Password WRITE setPassword)
    Q_PROPERTY(QString OutputFileName READ OutputFileName WRITE setOutputFileName)
    Q_PROPERTY(QString POSTData READ POSTData WRITE setPOSTData)
    Q_PROPERTY(QString Referer READ Referer WRITE setReferer)
    Q_PROPERTY(int TransferBufferSize READ TransferBufferSize WRITE setTransferBufferSize)
    Q_PROPERTY(bool WaitThread READ WaitThread WRITE setWaitThread)
    Q_PROPERTY(bool WorkOffline READ WorkOffline WRITE setWorkOffline)
    Q_PROPERTY(bool Busy READ Busy)
    Q_PROPERTY(QString FileName READ FileName)
    Q_PROPERTY(QString HostName READ HostName)
public:
    using TCustomHTTPClient::TCustomHTTPClient;
};

} // namespace korvalo

#pragma once

#include "online/HTTPTransfer.h"
#include "online/THTTPProxy.h"
#include "online/THTTPRange.h"
#include "online/TLoginComponent.h"

#include <QStringList>
#include <QThread>

#include <cstdint>
#include <memory>

class QIODevice;

namespace korvalo {

class TCustomWorkerThread;

enum class THTTPRequestMethod { rmAutoDetect, rmGET, rmPOST };
enum class THTTPPOSTMethod { pmFormURLEncoded, pmMultipartFormData };

// An HTTP client component: one GET or POST at a time, run on a worker
// thread of its own, its outcome delivered as signals on the thread the
// component lives on (the user-interface thread). Connect to the signals
// directly: the streams they carry belong to the component and are gone
// once the signal returns. A request succeeds when the reply announced a
// length and all of it arrived (whatever the status), or announced none,
// arrived whole and has status 200.
class TCustomHTTPClient : public TLoginComponent {
    Q_OBJECT
public:
    static constexpr int kMinBufferSize = 255;
    static constexpr int kDefaultBufferSize = 4096;
    // A server that accepts no connection in this time, or sends less than
    // one byte a second for this long, ends the transfer as a failure.
    static constexpr long kConnectTimeoutSeconds = 20;
    static constexpr long kLowSpeedTimeSeconds = 30;
    static const QString kDefaultAgent;

    explicit TCustomHTTPClient(QObject* parent = nullptr);
    // Drops a running transfer without any event and waits for its worker.
    ~TCustomHTTPClient() override;

    QString AcceptTypes() const { return acceptTypes_; }
    void setAcceptTypes(const QString& types) { acceptTypes_ = types; }
    QStringList AddHeaders() const { return addHeaders_; }
    void setAddHeaders(const QStringList& lines) { addHeaders_ = lines; }
    QString Agent() const { return agent_; }
    void setAgent(const QString& agent) { agent_ = agent; }
    THTTPProxy& Proxy() { return proxy_; }
    const THTTPProxy& Proxy() const { return proxy_; }
    QString URL() const { return url_; }
    void setURL(const QString& url) { url_ = url; }
    bool UseCache() const { return useCache_; }
    void setUseCache(bool on) { useCache_ = on; }
    bool UseCookies() const { return useCookies_; }
    void setUseCookies(bool on) { useCookies_ = on; }
    QString Username() const { return GetUsername(); }
    void setUsername(const QString& name) { SetUsername(name); }
    QString Password() const { return GetPassword(); }
    void setPassword(const QString& password) { SetPassword(password); }
    QString OutputFileName() const { return outputFileName_; }
    void setOutputFileName(const QString& name) { outputFileName_ = name; }
    QString POSTData() const { return postData_; }
    void setPOSTData(const QString& data) { postData_ = data; }
    QString Referer() const { return referer_; }
    void setReferer(const QString& referer) { referer_ = referer; }
    THTTPRange& Range() { return range_; }
    const THTTPRange& Range() const { return range_; }
    THTTPRequestMethod RequestMethod() const { return requestMethod_; }
    void setRequestMethod(THTTPRequestMethod method) { requestMethod_ = method; }
    QThread::Priority ThreadPriority() const;
    void setThreadPriority(QThread::Priority priority);
    int TransferBufferSize() const { return transferBufferSize_; }
    // Values below 255 are raised to 255.
    void setTransferBufferSize(int size);
    bool WaitThread() const;
    void setWaitThread(bool on);
    bool WorkOffline() const { return workOffline_; }
    void setWorkOffline(bool on) { workOffline_ = on; }

    // From the moment Read or Upload starts a transfer until its outcome is
    // being delivered (false inside the outcome signals).
    bool Busy() const { return busy_; }
    QString FileName() const;
    QString HostName() const;
    bool Suspended() const;
    bool FreeOnTerminate() const;
    void setFreeOnTerminate(bool on);

    // The time-outs of the next transfers (seconds); tests shorten them.
    void setTimeouts(long connectSeconds, long lowSpeedSeconds);

    // Starts a request for URL; false, doing nothing, while Busy.
    virtual bool Read();
    // Starts a multipart POST of FileCount parts (at least one), each asked
    // of OnUploadFieldRequest; false while Busy. Without a handler for
    // OnUploadFieldRequest nothing is sent, yet the result is true.
    virtual bool Upload(uint16_t FileCount);
    // Stops a running transfer: OnAborted, and no later signal of it.
    virtual void Abort();

Q_SIGNALS:
    // Stream is the body, at its start; null for a download to a file,
    // which is then closed and complete.
    void OnDone(TCustomHTTPClient* Sender, const QString& ContentType, qint64 FileSize,
                QIODevice* Stream);
    // Every failure, first.
    void OnAnyError(TCustomHTTPClient* Sender);
    // Failure with status 200: FileSize is the announced length.
    void OnConnLost(TCustomHTTPClient* Sender, const QString& ContentType, qint64 FileSize,
                    qint64 BytesRead, QIODevice* Stream);
    // Failure before any status arrived.
    void OnHostUnreachable(TCustomHTTPClient* Sender);
    // Failure with any other status.
    void OnHTTPError(TCustomHTTPClient* Sender, int ErrorCode, QIODevice* Stream);
    // Failure with status 401, when connected; TryAgain true reads again.
    void OnPasswordRequest(TCustomHTTPClient* Sender, bool& TryAgain);
    void OnAborted(TCustomHTTPClient* Sender);
    // After each chunk received; the worker waits until it returns.
    void OnProgress(TCustomHTTPClient* Sender, const QString& ContentType, qint64 DataSize,
                    qint64 BytesRead, int ElapsedTime, int EstimatedTimeLeft, quint8 PercentsDone,
                    float TransferRate, QIODevice* Stream);
    // After each chunk sent by Upload; the worker waits until it returns.
    void OnUploadProgress(TCustomHTTPClient* Sender, qint64 DataSize, qint64 BytesTransferred,
                          int ElapsedTime, int EstimatedTimeLeft, quint8 PercentsDone,
                          float TransferRate);
    // Once per part of Upload: write the part's data into UploadStream and
    // name it; a FileName adds the file name and its media type.
    void OnUploadFieldRequest(TCustomHTTPClient* Sender, quint16 FileIndex, QIODevice* UploadStream,
                              QString& FieldName, QString& FileName);

protected:
    // The transfer itself, on the worker: touches nothing but t.
    static void HTTPExecute(HTTPTransfer& t);
    // User-interface thread: an exception escaped the transfer.
    virtual void HTTPException(const QString& message);
    // User-interface thread: the transfer has ended.
    virtual void HTTPDone(const std::shared_ptr<HTTPTransfer>& t);
    virtual void DoProgress(HTTPTransfer& t);
    virtual void DoUploadProgress(HTTPTransfer& t);

private:
    std::shared_ptr<HTTPTransfer> prepareTransfer();
    void start();
    bool connected(const QMetaMethod& signal) const;

    QString acceptTypes_ = QStringLiteral("*/*");
    QStringList addHeaders_;
    QString agent_ = kDefaultAgent;
    THTTPProxy proxy_;
    QString url_;
    bool useCache_ = true;
    bool useCookies_ = true;
    QString outputFileName_;
    QString postData_;
    THTTPRange range_;
    QString referer_;
    THTTPRequestMethod requestMethod_ = THTTPRequestMethod::rmAutoDetect;
    int transferBufferSize_ = kDefaultBufferSize;
    bool workOffline_ = false;
    long connectTimeout_ = kConnectTimeoutSeconds;
    long lowSpeedTime_ = kLowSpeedTimeSeconds;

    bool busy_ = false;
    bool uploadMode_ = false;
    bool destroying_ = false;
    QByteArray uploadBody_;
    QByteArray uploadContentType_;
    std::shared_ptr<HTTPTransfer> transfer_;
    TCustomWorkerThread* workerThread_;
};

} // namespace korvalo

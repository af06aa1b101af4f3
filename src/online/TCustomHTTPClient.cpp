#include "online/TCustomHTTPClient.h"

#include "online/HTTPUtils.h"
#include "online/TCustomWorkerThread.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>
#include <QPointer>
#include <QRegularExpression>

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace korvalo {

const QString TCustomHTTPClient::kDefaultAgent = QStringLiteral("HTTP component (korvalo.example)");

namespace {

// A reply body larger than this is not reserved in advance: a lying length
// must not make the client allocate it.
constexpr qint64 kMaxReserve = 16 * 1024 * 1024;

QByteArray withoutLineBreaks(const QString& text) {
    QByteArray bytes = text.toUtf8();
    bytes.replace('\r', "");
    bytes.replace('\n', "");
    return bytes;
}

class CurlList {
public:
    ~CurlList() { curl_slist_free_all(list_); }
    void append(const QByteArray& line) { list_ = curl_slist_append(list_, line.constData()); }
    curl_slist* get() const { return list_; }

private:
    curl_slist* list_ = nullptr;
};

// The status, type and length of the reply, taken when the blank line that
// ends its final header block arrives; blocks of replies that curl answers
// itself (1xx, a redirect it follows, a proxy's tunnel) are passed over.
void takeFinalHeaders(HTTPTransfer& t, CURL* curl) {
    long code = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
    if (code < 200 && code != 0) // 1xx
        return;
    if (code == 0)
        return;
    char* redirect = nullptr;
    if (code >= 300 && code < 400 &&
        curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &redirect) == CURLE_OK &&
        redirect != nullptr)
        return;
    t.statusCode = static_cast<int>(code);
    char* type = nullptr;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type);
    t.contentType = type != nullptr ? QString::fromLatin1(type) : QString();
    curl_off_t length = -1;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    t.lengthGiven = length >= 0;
    t.dataSize = t.lengthGiven ? static_cast<qint64>(length) : 0;
    t.bytesMoved = 0;
    t.body.clear();
    t.closeFile();
    t.toFile = false;
    t.fileFailed = false;
    if (t.lengthGiven && !t.outputFileName.isEmpty()) {
        t.toFile = true;
        t.fileFd = ::open(QFile::encodeName(t.outputFileName).constData(),
                          O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        t.fileFailed = t.fileFd < 0;
    } else {
        t.body.reserve(std::min(t.dataSize, kMaxReserve));
    }
    t.headersDone = true;
}

struct Session {
    HTTPTransfer& t;
    CURL* curl;
    qint64 uploadOffset = 0;
};

bool progress(HTTPTransfer& t) {
    t.prepareProgressParams();
    return t.progressHook();
}

bool uploadProgress(HTTPTransfer& t) {
    t.prepareProgressParams();
    return t.uploadProgressHook();
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto& s = *static_cast<Session*>(user);
    const size_t n = size * count;
    if (TEventThread::CurrentCancelled())
        return 0;
    if (n >= 5 && std::memcmp(data, "HTTP/", 5) == 0)
        s.t.headersDone = false;
    else if ((n == 2 && data[0] == '\r' && data[1] == '\n') || (n == 1 && data[0] == '\n'))
        takeFinalHeaders(s.t, s.curl);
    return n;
}

bool writeAll(int fd, const char* data, size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        data += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto& s = *static_cast<Session*>(user);
    HTTPTransfer& t = s.t;
    const size_t n = size * count;
    if (TEventThread::CurrentCancelled() || !t.headersDone || t.fileFailed)
        return 0;
    // Chunks of TransferBufferSize, each followed by its progress event.
    for (size_t done = 0; done < n;) {
        const size_t chunk = std::min(n - done, static_cast<size_t>(t.bufferSize));
        if (t.toFile) {
            if (!writeAll(t.fileFd, data + done, chunk)) {
                t.failure =
                    QStringLiteral("cannot write %1: %2")
                        .arg(t.outputFileName, QString::fromLocal8Bit(std::strerror(errno)));
                return 0;
            }
        } else {
            t.body.append(data + done, static_cast<qsizetype>(chunk));
        }
        done += chunk;
        t.bytesMoved += static_cast<qint64>(chunk);
        if (t.wantProgress && !progress(t))
            return 0;
    }
    return n;
}

size_t onUploadRead(char* buffer, size_t size, size_t count, void* user) {
    auto& s = *static_cast<Session*>(user);
    HTTPTransfer& t = s.t;
    if (TEventThread::CurrentCancelled())
        return CURL_READFUNC_ABORT;
    const qint64 left = t.uploadBody.size() - s.uploadOffset;
    const size_t chunk = static_cast<size_t>(
        std::min<qint64>({left, static_cast<qint64>(size * count), t.bufferSize}));
    if (chunk == 0)
        return 0;
    std::memcpy(buffer, t.uploadBody.constData() + s.uploadOffset, chunk);
    s.uploadOffset += static_cast<qint64>(chunk);
    t.bytesMoved += static_cast<qint64>(chunk);
    if (t.wantUploadProgress && !uploadProgress(t))
        return CURL_READFUNC_ABORT;
    return chunk;
}

int onTick(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return TEventThread::CurrentCancelled() ? 1 : 0;
}

QByteArray noProxyList(const QString& bypass) {
    QStringList hosts;
    for (const QString& host :
         bypass.split(QRegularExpression(QStringLiteral("[;,\\s]+")), Qt::SkipEmptyParts))
        if (host != u"<local>")
            hosts << host;
    return hosts.join(u',').toUtf8();
}

} // namespace

TCustomHTTPClient::TCustomHTTPClient(QObject* parent)
    : TLoginComponent(parent)
    , workerThread_(new TCustomWorkerThread(this)) {
    workerThread_->OnFreeOnTerminate = [this] { deleteLater(); };
}

TCustomHTTPClient::~TCustomHTTPClient() {
    destroying_ = true;
    Abort();
    delete workerThread_; // joins the workers before this object goes
    workerThread_ = nullptr;
}

QThread::Priority TCustomHTTPClient::ThreadPriority() const {
    return workerThread_->Priority();
}

void TCustomHTTPClient::setThreadPriority(QThread::Priority priority) {
    workerThread_->setPriority(priority);
}

void TCustomHTTPClient::setTransferBufferSize(int size) {
    transferBufferSize_ = std::max(size, kMinBufferSize);
}

bool TCustomHTTPClient::WaitThread() const {
    return workerThread_->WaitThread();
}

void TCustomHTTPClient::setWaitThread(bool on) {
    workerThread_->setWaitThread(on);
}

QString TCustomHTTPClient::FileName() const {
    return URLToFileName(url_);
}

QString TCustomHTTPClient::HostName() const {
    return URLToHostName(url_);
}

bool TCustomHTTPClient::Suspended() const {
    return workerThread_->Suspended();
}

bool TCustomHTTPClient::FreeOnTerminate() const {
    return workerThread_->FreeOnTerminate();
}

void TCustomHTTPClient::setFreeOnTerminate(bool on) {
    workerThread_->setFreeOnTerminate(on);
}

void TCustomHTTPClient::setTimeouts(long connectSeconds, long lowSpeedSeconds) {
    connectTimeout_ = connectSeconds;
    lowSpeedTime_ = lowSpeedSeconds;
}

bool TCustomHTTPClient::connected(const QMetaMethod& signal) const {
    return isSignalConnected(signal);
}

bool TCustomHTTPClient::Read() {
    if (busy_)
        return false;
    uploadMode_ = false;
    start();
    return true;
}

bool TCustomHTTPClient::Upload(uint16_t FileCount) {
    if (busy_)
        return false;
    if (!connected(QMetaMethod::fromSignal(&TCustomHTTPClient::OnUploadFieldRequest)))
        return true;
    const QByteArray boundary = GenerateAttachBoundary('0');
    uploadContentType_ = "Content-Type: multipart/form-data; boundary=" + boundary;
    const auto quoted = [](const QString& text) {
        QByteArray bytes = withoutLineBreaks(text);
        bytes.replace('"', "%22");
        return '"' + bytes + '"';
    };
    QByteArray body;
    for (uint16_t index = 0; index < std::max<uint16_t>(FileCount, 1); ++index) {
        QString fieldName;
        QString fileName;
        QBuffer part;
        part.open(QIODevice::ReadWrite);
        Q_EMIT OnUploadFieldRequest(this, index, &part, fieldName, fileName);
        body += "--" + boundary + "\r\n";
        body += "Content-Disposition: form-data; name=" + quoted(fieldName);
        if (!fileName.isEmpty()) {
            body += "; filename=" + quoted(fileName) + "\r\n";
            body += "Content-Type: " + GetMIMEType(QFileInfo(fileName).suffix()).toUtf8();
        }
        body += "\r\n\r\n" + part.data() + "\r\n";
    }
    body += "--" + boundary + "--\r\n";
    uploadBody_ = body;
    uploadMode_ = true;
    start();
    return true;
}

void TCustomHTTPClient::Abort() {
    const bool wasBusy = busy_;
    if (busy_)
        workerThread_->Cancel();
    busy_ = false;
    // The worker keeps its own hold on the transfer until it has wound down;
    // it touches nothing after seeing the cancellation.
    transfer_.reset();
    uploadBody_.clear();
    if (wasBusy && !destroying_)
        Q_EMIT OnAborted(this);
}

std::shared_ptr<HTTPTransfer> TCustomHTTPClient::prepareTransfer() {
    auto t = std::make_shared<HTTPTransfer>();
    t->url = url_;
    t->userName = Username();
    t->password = Password();
    t->agent = withoutLineBreaks(agent_);
    t->referer = withoutLineBreaks(referer_);
    t->headers << "Accept: " + withoutLineBreaks(acceptTypes_);
    for (const QString& line : addHeaders_)
        if (!line.isEmpty() && !line.contains(u'\r') && !line.contains(u'\n'))
            t->headers << line.toUtf8();
    if (range_.StartRange() != 0 || range_.EndRange() != 0) {
        QByteArray range = "RANGE: bytes=" + QByteArray::number(range_.StartRange()) + "-";
        if (range_.EndRange() != 0)
            range += QByteArray::number(range_.EndRange());
        t->headers << range;
    }
    if (!useCache_)
        t->headers << "Pragma: no-cache"
                   << "Cache-Control: no-cache";
    switch (requestMethod_) {
    case THTTPRequestMethod::rmGET:
        t->method = "GET";
        break;
    case THTTPRequestMethod::rmPOST:
        t->method = "POST";
        break;
    case THTTPRequestMethod::rmAutoDetect:
        t->method = !postData_.isEmpty() || uploadMode_ ? "POST" : "GET";
        break;
    }
    t->postData = postData_.toUtf8();
    t->uploadMode = uploadMode_;
    if (uploadMode_) {
        t->uploadBody = std::move(uploadBody_);
        t->uploadContentType = uploadContentType_;
        uploadBody_.clear();
    }
    t->proxy = proxy_;
    t->useCookies = useCookies_;
    t->workOffline = workOffline_;
    t->outputFileName = outputFileName_;
    t->bufferSize = transferBufferSize_;
    t->wantProgress = connected(QMetaMethod::fromSignal(&TCustomHTTPClient::OnProgress));
    t->wantUploadProgress =
        connected(QMetaMethod::fromSignal(&TCustomHTTPClient::OnUploadProgress));
    t->connectTimeoutSeconds = connectTimeout_;
    t->lowSpeedTimeSeconds = lowSpeedTime_;
    return t;
}

void TCustomHTTPClient::start() {
    auto t = prepareTransfer();
    transfer_ = t;
    busy_ = true;
    // The progress calls run on this component's thread while the worker
    // waits; Synchronize returns false once the worker is cancelled. The
    // worker's own hold on t keeps the raw pointer valid meanwhile.
    TCustomWorkerThread* worker = workerThread_;
    HTTPTransfer* raw = t.get();
    t->progressHook = [this, worker, raw] {
        return worker->Synchronize([this, raw] { DoProgress(*raw); });
    };
    t->uploadProgressHook = [this, worker, raw] {
        return worker->Synchronize([this, raw] { DoUploadProgress(*raw); });
    };
    WorkerJob job;
    job.OnExecute = [t] { HTTPExecute(*t); };
    job.OnException = [this](const QString& message) { HTTPException(message); };
    job.OnTerminate = [this, t] { HTTPDone(t); };
    workerThread_->Execute(std::move(job));

    if (WaitThread()) {
        QPointer<TCustomHTTPClient> self(this);
        while (self && busy_ && transfer_ == t)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void TCustomHTTPClient::HTTPExecute(HTTPTransfer& t) {
    t.statusCode = -1;
    t.contentType.clear();
    t.started = std::chrono::steady_clock::now();

    URLParts parts;
    if (!ParseURL(t.url, parts) || t.workOffline)
        return; // no host to reach: status -1
    const QString scheme = parts.Protocol.toLower();
    if (scheme != u"http" && scheme != u"https")
        return;

    CURL* curl = curl_easy_init();
    if (curl == nullptr)
        return;
    Session session{t, curl, 0};
    CurlList headers;
    for (const QByteArray& line : t.headers)
        headers.append(line);
    headers.append("Expect:");
    if (t.uploadMode)
        headers.append(t.uploadContentType);

    const QByteArray url = EncodeURLForRequest(t.url);
    const QByteArray user = (parts.UserName.isEmpty() ? t.userName : QString()).toUtf8();
    const QByteArray password = (parts.Password.isEmpty() ? t.password : QString()).toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, t.agent.constData());
    if (!t.referer.isEmpty())
        curl_easy_setopt(curl, CURLOPT_REFERER, t.referer.constData());
    if (!user.isEmpty())
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
    if (!password.isEmpty())
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());

    const QByteArray proxy =
        t.proxy.ProxyServer().toUtf8() + ":" + QByteArray::number(t.proxy.ProxyPort());
    const QByteArray bypass = noProxyList(t.proxy.ProxyBypass());
    switch (t.proxy.AccessType()) {
    case THTTPAccessType::atPreconfig:
        break; // curl reads http_proxy, https_proxy and no_proxy
    case THTTPAccessType::atDirect:
        curl_easy_setopt(curl, CURLOPT_PROXY, "");
        break;
    case THTTPAccessType::atUseProxy:
        curl_easy_setopt(curl, CURLOPT_PROXY, proxy.constData());
        curl_easy_setopt(curl, CURLOPT_NOPROXY, bypass.constData());
        break;
    }
    if (t.useCookies)
        curl_easy_setopt(curl, CURLOPT_COOKIEFILE, ""); // the cookie engine, in memory

    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, t.connectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, t.lowSpeedTimeSeconds);
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, static_cast<long>(std::max(t.bufferSize, 1024)));
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &session);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &session);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &onTick);

    if (t.method == "POST" && t.uploadMode) {
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(t.uploadBody.size()));
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, &onUploadRead);
        curl_easy_setopt(curl, CURLOPT_READDATA, &session);
        t.dataSize = t.uploadBody.size();
    } else if (t.method == "POST") {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(t.postData.size()));
        curl_easy_setopt(curl, CURLOPT_COPYPOSTFIELDS, t.postData.constData());
    }

    const CURLcode result = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (TEventThread::CurrentCancelled())
        return;
    if (t.uploadMode)
        t.uploadBody.clear();
    if (!t.failure.isEmpty())
        throw std::runtime_error(t.failure.toStdString());
    if (!t.headersDone) {
        t.statusCode = -1;
        return;
    }
    if (t.fileFailed)
        t.success = true; // reported as a failure without any stream
    else if (t.lengthGiven)
        t.success = t.bytesMoved == t.dataSize;
    else
        // Without a length only a reply that ended cleanly is whole.
        t.success = t.statusCode == 200 && result == CURLE_OK;
}

void TCustomHTTPClient::HTTPException(const QString&) {
    Q_EMIT OnAnyError(this);
}

void TCustomHTTPClient::HTTPDone(const std::shared_ptr<HTTPTransfer>& t) {
    if (t != transfer_)
        return;
    busy_ = false;
    transfer_.reset();
    // The body and the output file go once the outcome has been delivered.
    struct Release {
        HTTPTransfer& t;
        ~Release() {
            t.body = QByteArray();
            t.closeFile();
        }
    } release{*t};

    QBuffer memory;
    QFile file;
    QIODevice* stream = nullptr;
    if (t->toFile && t->fileFd >= 0) {
        if (file.open(t->fileFd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
            file.seek(0);
            stream = &file;
        }
    } else if (!t->toFile) {
        memory.setBuffer(&t->body);
        memory.open(QIODevice::ReadOnly);
        stream = &memory;
    }

    if (t->success) {
        if (stream == nullptr) {
            Q_EMIT OnAnyError(this);
            return;
        }
        if (stream == &file) {
            file.close();
            t->closeFile(); // closed and complete before the event
            stream = nullptr;
        }
        Q_EMIT OnDone(this, t->contentType, t->bytesMoved, stream);
        return;
    }

    Q_EMIT OnAnyError(this);
    if (t->statusCode == 200) {
        Q_EMIT OnConnLost(this, t->contentType, t->dataSize, t->bytesMoved, stream);
    } else if (t->statusCode == -1) {
        Q_EMIT OnHostUnreachable(this);
    } else if (t->statusCode == 401 &&
               connected(QMetaMethod::fromSignal(&TCustomHTTPClient::OnPasswordRequest))) {
        bool tryAgain = false;
        Q_EMIT OnPasswordRequest(this, tryAgain);
        if (tryAgain) {
            file.close();
            memory.close();
            Read();
        }
    } else {
        Q_EMIT OnHTTPError(this, t->statusCode, stream);
    }
}

void TCustomHTTPClient::DoProgress(HTTPTransfer& t) {
    if (destroying_)
        return;
    QBuffer memory;
    QFile file;
    QIODevice* stream = nullptr;
    if (t.toFile && t.fileFd >= 0) {
        if (file.open(t.fileFd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
            file.seek(0);
            stream = &file;
        }
    } else if (!t.toFile) {
        memory.setBuffer(&t.body);
        memory.open(QIODevice::ReadOnly);
        stream = &memory;
    }
    Q_EMIT OnProgress(this, t.contentType, t.dataSize, t.bytesMoved, t.elapsedSeconds,
                      t.estimatedSecondsLeft, t.percentsDone, t.transferRate, stream);
}

void TCustomHTTPClient::DoUploadProgress(HTTPTransfer& t) {
    if (destroying_)
        return;
    Q_EMIT OnUploadProgress(this, t.dataSize, t.bytesMoved, t.elapsedSeconds,
                            t.estimatedSecondsLeft, t.percentsDone, t.transferRate);
}

} // namespace korvalo

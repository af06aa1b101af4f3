#pragma once

#include "online/THTTPProxy.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>

namespace korvalo {

// The state of one request. The component fills the request half on the
// user-interface thread before the worker starts; the worker alone then
// writes the reply half until it hands the transfer back, so no field is
// ever touched by two threads at once.
struct HTTPTransfer {
    HTTPTransfer() = default;
    ~HTTPTransfer();
    HTTPTransfer(const HTTPTransfer&) = delete;
    HTTPTransfer& operator=(const HTTPTransfer&) = delete;

    // The request.
    QString url;
    QString userName;
    QString password;
    QByteArray agent;
    QByteArray referer;
    QList<QByteArray> headers; // each a whole header line, without CR LF
    QByteArray method;         // "GET" or "POST"
    QByteArray postData;
    bool uploadMode = false;
    QByteArray uploadBody;
    QByteArray uploadContentType; // the whole header line
    THTTPProxy proxy;
    bool useCookies = true;
    bool workOffline = false;
    QString outputFileName;
    int bufferSize = 4096;
    bool wantProgress = false;
    bool wantUploadProgress = false;
    long connectTimeoutSeconds = 0;
    long lowSpeedTimeSeconds = 0;
    // Worker: hand a progress event over and wait for it; false once the
    // transfer has been stopped.
    std::function<bool()> progressHook;
    std::function<bool()> uploadProgressHook;

    // The reply.
    bool success = false;
    int statusCode = -1;
    QString contentType;
    bool lengthGiven = false;
    qint64 dataSize = 0; // the announced length, 0 when none
    qint64 bytesMoved = 0;
    QByteArray body; // the body when it goes to memory
    int fileFd = -1; // the output file when the body goes there
    bool toFile = false;
    bool fileFailed = false; // the output file could not be created
    bool headersDone = false;
    QString failure; // a write error on the worker, reported as an exception
    std::chrono::steady_clock::time_point started;

    // Progress figures, made before each progress event.
    uint8_t percentsDone = 0;
    int elapsedSeconds = 0;
    int estimatedSecondsLeft = 0;
    float transferRate = 0;

    void prepareProgressParams();
    void closeFile();
};

} // namespace korvalo

#include "online/HTTPTransfer.h"

#include "online/HTTPUtils.h"

#include <unistd.h>

#include <cmath>

namespace korvalo {

HTTPTransfer::~HTTPTransfer() {
    closeFile();
}

void HTTPTransfer::closeFile() {
    if (fileFd >= 0)
        ::close(fileFd);
    fileFd = -1;
}

void HTTPTransfer::prepareProgressParams() {
    using namespace std::chrono;
    const auto elapsedMs = duration_cast<milliseconds>(steady_clock::now() - started).count();
    percentsDone = PercentsOf(static_cast<double>(dataSize), static_cast<double>(bytesMoved));
    elapsedSeconds = static_cast<int>(elapsedMs / 1000);
    estimatedSecondsLeft =
        bytesMoved > 0
            ? static_cast<int>(std::llround(static_cast<double>(dataSize) /
                                            static_cast<double>(bytesMoved) * elapsedSeconds)) -
                  elapsedSeconds
            : 0;
    double rate = static_cast<double>(bytesMoved) / 1024.0;
    if (elapsedSeconds != 0)
        rate /= elapsedSeconds;
    transferRate = static_cast<float>(rate);
}

} // namespace korvalo

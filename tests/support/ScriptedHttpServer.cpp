#include "support/ScriptedHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace korvalo::test {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

const char* reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 206:
        return "Partial Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

bool sendAll(int fd, const char* data, size_t n) {
    while (n > 0) {
        const ssize_t w = ::send(fd, data, n, MSG_NOSIGNAL);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        data += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

// Reads one request; false when the connection ends first.
bool readRequest(int fd, RecordedRequest& r) {
    std::string data;
    char buffer[4096];
    size_t headEnd;
    while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            return false;
        data.append(buffer, static_cast<size_t>(got));
    }
    const std::string head = data.substr(0, headEnd);
    std::string body = data.substr(headEnd + 4);
    size_t lineEnd = head.find("\r\n");
    const std::string requestLine = head.substr(0, lineEnd);
    const size_t sp1 = requestLine.find(' ');
    const size_t sp2 = requestLine.rfind(' ');
    r.method = requestLine.substr(0, sp1);
    r.target = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
    r.path = r.target.substr(0, r.target.find('?'));
    while (lineEnd != std::string::npos) {
        const size_t next = head.find("\r\n", lineEnd + 2);
        const std::string line = head.substr(lineEnd + 2, next - lineEnd - 2);
        const size_t colon = line.find(':');
        if (colon != std::string::npos) {
            size_t valueStart = colon + 1;
            while (valueStart < line.size() && line[valueStart] == ' ')
                ++valueStart;
            r.headers.emplace_back(line.substr(0, colon), line.substr(valueStart));
        }
        lineEnd = next;
    }
    const size_t length = r.has("Content-Length") ? std::stoul(r.header("Content-Length")) : 0;
    while (body.size() < length) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            return false;
        body.append(buffer, static_cast<size_t>(got));
    }
    r.body = body.substr(0, length);
    return true;
}

} // namespace

std::string RecordedRequest::header(const std::string& name) const {
    const std::string wanted = lower(name);
    for (const auto& [key, value] : headers)
        if (lower(key) == wanted)
            return value;
    return {};
}

bool RecordedRequest::has(const std::string& name) const {
    const std::string wanted = lower(name);
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& h) { return lower(h.first) == wanted; });
}

ScriptedReply ScriptedReply::text(std::string body, int status) {
    ScriptedReply reply;
    reply.status = status;
    reply.body = std::move(body);
    reply.headers.emplace_back("Content-Type", "text/plain");
    return reply;
}

ScriptedHttpServer::ScriptedHttpServer() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 64) != 0)
        throw std::runtime_error("scripted server: cannot listen on 127.0.0.1");
    socklen_t length = sizeof address;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    fallback_ = [](const RecordedRequest&) { return ScriptedReply::text("not found", 404); };
    acceptor_ = std::thread([this] { acceptLoop(); });
}

ScriptedHttpServer::~ScriptedHttpServer() {
    stop();
}

std::string ScriptedHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void ScriptedHttpServer::route(const std::string& path, ScriptedReply reply) {
    route(path, [reply](const RecordedRequest&) { return reply; });
}

void ScriptedHttpServer::route(const std::string& path, Handler handler) {
    std::lock_guard lock(mutex_);
    routes_[path] = std::move(handler);
}

void ScriptedHttpServer::fallback(Handler handler) {
    std::lock_guard lock(mutex_);
    fallback_ = std::move(handler);
}

std::vector<RecordedRequest> ScriptedHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

size_t ScriptedHttpServer::requestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

RecordedRequest ScriptedHttpServer::lastRequest(const std::string& path) const {
    std::lock_guard lock(mutex_);
    for (auto it = requests_.rbegin(); it != requests_.rend(); ++it)
        if (it->path == path)
            return *it;
    return {};
}

void ScriptedHttpServer::stop() {
    if (stopping_.exchange(true))
        return;
    ::shutdown(listenFd_, SHUT_RDWR);
    {
        std::lock_guard lock(mutex_);
        for (int fd : openFds_)
            ::shutdown(fd, SHUT_RDWR);
    }
    stopped_.notify_all();
    if (acceptor_.joinable())
        acceptor_.join();
    // The acceptor has ended, so no thread is added any more.
    for (auto& thread : threads_)
        thread.join();
    ::close(listenFd_);
}

void ScriptedHttpServer::acceptLoop() {
    while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard lock(mutex_);
        if (stopping_) {
            ::close(fd);
            break;
        }
        openFds_.push_back(fd);
        threads_.emplace_back([this, fd] { serve(fd); });
    }
}

bool ScriptedHttpServer::pause(int ms) {
    std::unique_lock lock(mutex_);
    return !stopped_.wait_for(lock, std::chrono::milliseconds(ms),
                              [this] { return stopping_.load(); });
}

ScriptedReply ScriptedHttpServer::replyFor(const RecordedRequest& request) {
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        const auto it = routes_.find(request.path);
        handler = it != routes_.end() ? it->second : fallback_;
    }
    return handler(request);
}

void ScriptedHttpServer::serve(int fd) {
    RecordedRequest request;
    if (readRequest(fd, request)) {
        const ScriptedReply reply = replyFor(request);
        bool ok = reply.headerDelayMs == 0 || pause(reply.headerDelayMs);
        std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + reason(reply.status) +
                           "\r\nConnection: close\r\n";
        for (const auto& [name, value] : reply.headers)
            head += name + ": " + value + "\r\n";
        if (reply.announceLength)
            head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
        head += "\r\n";
        ok = ok && sendAll(fd, head.data(), head.size());
        if (ok && reply.stallAfterHeaders)
            while (pause(1000)) {
            }
        size_t limit = reply.body.size();
        if (reply.dropAfter >= 0)
            limit = std::min(limit, static_cast<size_t>(reply.dropAfter));
        const size_t piece = reply.chunkBytes > 0 ? static_cast<size_t>(reply.chunkBytes) : limit;
        for (size_t sent = 0; ok && sent < limit;) {
            if (reply.chunkDelayMs > 0 && !pause(reply.chunkDelayMs))
                break;
            const size_t n = std::min(piece, limit - sent);
            ok = sendAll(fd, reply.body.data() + sent, n);
            sent += n;
        }
    }
    {
        std::lock_guard lock(mutex_);
        std::erase(openFds_, fd);
    }
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
}

} // namespace korvalo::test

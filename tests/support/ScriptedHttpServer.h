#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace korvalo::test {

// One request as the scripted server received it.
struct RecordedRequest {
    std::string method;
    std::string target;                                       // path and query, as sent
    std::string path;                                         // target without its query
    std::vector<std::pair<std::string, std::string>> headers; // in order, as sent
    std::string body;
    // The first header of that name (compared without regard to case), or
    // empty; has() tells a missing header from an empty one.
    std::string header(const std::string& name) const;
    bool has(const std::string& name) const;
};

// What the scripted server answers to one request.
struct ScriptedReply {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers; // besides the ones below
    std::string body;
    bool announceLength = true;     // send Content-Length; without it the body ends at the close
    int dropAfter = -1;             // close the connection after this many body bytes
    int headerDelayMs = 0;          // wait before the status line
    int chunkBytes = 0;             // with chunkDelayMs: send the body in pieces of this size...
    int chunkDelayMs = 0;           // ...with this pause before each
    bool stallAfterHeaders = false; // send the headers, then nothing until stopped

    static ScriptedReply text(std::string body, int status = 200);
};

// An HTTP/1.1 server on 127.0.0.1 and a free port, running on threads of its
// own and answering every request with a scripted reply (one request per
// connection). Stopping it (the destructor) cuts every connection and joins
// every thread, so a stalled reply never outlives the test.
class ScriptedHttpServer {
public:
    using Handler = std::function<ScriptedReply(const RecordedRequest&)>;

    ScriptedHttpServer();
    ~ScriptedHttpServer();
    ScriptedHttpServer(const ScriptedHttpServer&) = delete;
    ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

    uint16_t port() const { return port_; }
    // "http://127.0.0.1:PORT" followed by path.
    std::string url(const std::string& path = "/") const;

    // Requests whose path (target without query) is exactly path get reply.
    void route(const std::string& path, ScriptedReply reply);
    void route(const std::string& path, Handler handler);
    // Every other request; by default a 404 page with its length.
    void fallback(Handler handler);

    std::vector<RecordedRequest> requests() const;
    size_t requestCount() const;
    // The most recent request for path; empty when there was none.
    RecordedRequest lastRequest(const std::string& path) const;

    void stop();

private:
    void acceptLoop();
    void serve(int fd);
    bool pause(int ms); // false once stopping
    ScriptedReply replyFor(const RecordedRequest& request);

    int listenFd_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    std::map<std::string, Handler> routes_;
    Handler fallback_;
    std::vector<RecordedRequest> requests_;
    std::vector<int> openFds_;
    std::vector<std::thread> threads_;
    std::thread acceptor_;
};

} // namespace korvalo::test

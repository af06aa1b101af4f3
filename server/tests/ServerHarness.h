#pragma once

// What the server tests share: a scratch data folder, korvalo-server as a
// child process, and HTTP requests made with libcurl.

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace serverharness {

namespace fs = std::filesystem;

// A scratch data folder, removed afterwards.
struct DataDir {
    fs::path path;
    DataDir() {
        char pattern[] = "/tmp/korvalo-server-test-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~DataDir() { fs::remove_all(path); }
    void write(const std::string& name, const std::string& content) const {
        fs::create_directories((path / name).parent_path());
        std::ofstream(path / name, std::ios::binary) << content;
    }
};

struct ProcessEnd {
    int status = -1; // the exit status, or -1
    std::string out;
    std::string err;
};

// korvalo-server as a child process with its standard output and error read
// through pipes.
class ServerProcess {
public:
    explicit ServerProcess(const std::vector<std::string>& arguments) {
        int out[2], err[2];
        if (::pipe(out) != 0 || ::pipe(err) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, err[0]);
        std::vector<std::string> all{KORVALO_SERVER_BINARY};
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, KORVALO_SERVER_BINARY, &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~ServerProcess() {
        stop();
        ::close(out_);
        ::close(err_);
    }

    // Waits for the "listening on" line; the port it names, or 0 when the
    // process ended first.
    int waitListening() {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            char c;
            if (::read(out_, &c, 1) != 1)
                return 0;
            if (c != '\n') {
                line += c;
                continue;
            }
            const auto colon = line.rfind(':');
            if (line.find("listening on 127.0.0.1:") != std::string::npos)
                return std::stoi(line.substr(colon + 1));
            line.clear();
        }
        return 0;
    }
    // Sends SIGTERM (when still running) and collects the exit status and
    // standard error.
    ProcessEnd stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            return wait();
        }
        return last_;
    }
    ProcessEnd wait() {
        if (pid_ > 0) {
            int status = 0;
            ::waitpid(pid_, &status, 0);
            last_.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            pid_ = -1;
            char buffer[4096];
            ssize_t n;
            while ((n = ::read(err_, buffer, sizeof buffer)) > 0)
                last_.err.append(buffer, static_cast<size_t>(n));
        }
        return last_;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    ProcessEnd last_;
};

inline ProcessEnd runToEnd(const std::vector<std::string>& arguments) {
    ServerProcess p(arguments);
    return p.wait();
}

struct Response {
    long status = 0;
    std::string body;
    std::map<std::string, std::string> headers; // names in lower case
};

inline size_t collect(char* data, size_t size, size_t n, void* out) {
    static_cast<std::string*>(out)->append(data, size * n);
    return size * n;
}

inline size_t collectHeader(char* data, size_t size, size_t n, void* out) {
    std::string line(data, size * n);
    const auto colon = line.find(':');
    if (colon != std::string::npos) {
        std::string name = line.substr(0, colon);
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        value.erase(value.find_last_not_of("\r\n") + 1);
        (*static_cast<std::map<std::string, std::string>*>(out))[name] = value;
    }
    return size * n;
}

inline Response request(const std::string& url, const std::string& postBody = {}, bool post = false,
                        const std::vector<std::string>& headers = {}) {
    Response r;
    CURL* curl = curl_easy_init();
    curl_slist* extra = nullptr;
    for (const std::string& h : headers)
        extra = curl_slist_append(extra, h.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, extra);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &r.body);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &collectHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &r.headers);
    if (post) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(postBody.size()));
        curl_easy_setopt(curl, CURLOPT_COPYPOSTFIELDS, postBody.c_str());
    }
    if (curl_easy_perform(curl) == CURLE_OK)
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &r.status);
    curl_easy_cleanup(curl);
    curl_slist_free_all(extra);
    return r;
}

// Sends raw bytes and returns the status line of the answer ("" when none).
inline std::string rawStatusLine(int port, const std::string& bytes) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        timeval timeout{5, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        char buffer[4096];
        ssize_t n;
        while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
            answer.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return answer.substr(0, answer.find("\r\n"));
}

// A server on a free port of 127.0.0.1 over a data folder.
struct Served {
    DataDir data;
    std::unique_ptr<ServerProcess> process;
    int port = 0;
    std::vector<std::string> options; // besides --listen and --data
    void start() {
        std::vector<std::string> arguments{"--listen", "127.0.0.1:0", "--data", data.path.string()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        process = std::make_unique<ServerProcess>(arguments);
        port = process->waitListening();
        ASSERT_GT(port, 0);
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port) + path;
    }
};

} // namespace serverharness

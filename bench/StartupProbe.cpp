#include "StartupProbe.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace korvalo::bench {

namespace {

// The environment with the given variables replaced or added.
std::vector<std::string> environmentWith(const std::vector<std::string>& overrides) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const std::string& o : overrides)
            if (entry.compare(0, o.find('=') + 1, o, 0, o.find('=') + 1) == 0)
                replaced = true;
        if (!replaced)
            env.push_back(entry);
    }
    env.insert(env.end(), overrides.begin(), overrides.end());
    return env;
}

} // namespace

StartupProbe::StartupProbe(std::string program, std::string configHome, std::string runtimeDir,
                           const PeakMemory& peak)
    : program_(std::move(program))
    , configHome_(std::move(configHome))
    , runtimeDir_(std::move(runtimeDir))
    , peak_(peak) {}

StartupProbe::Result StartupProbe::run(const std::string& folder) const {
    const std::vector<std::string> env = environmentWith({
        "KORVALO_HOME=" + folder,
        "XDG_CONFIG_HOME=" + configHome_,
        // Our own runtime folder: a copy someone else runs must not count as
        // an already running instance.
        "XDG_RUNTIME_DIR=" + runtimeDir_,
        "QT_QPA_PLATFORM=offscreen",
        "KORVALO_EXIT_WHEN_SHOWN=1",
    });
    std::vector<char*> envp;
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    std::vector<std::string> args = peak_.wrap({program_});
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    const int err = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (err != 0) {
        ::close(pipeFds[0]);
        throw std::runtime_error("cannot start " + program_ + ": " + std::strerror(err));
    }

    // Wait for the line; anything else on standard output is passed over.
    std::string output;
    bool shown = false;
    double seconds = 0;
    const auto deadline = start + std::chrono::seconds(60);
    while (!shown && std::chrono::steady_clock::now() < deadline) {
        pollfd p{pipeFds[0], POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0)
            continue;
        char buf[256];
        const ssize_t n = ::read(pipeFds[0], buf, sizeof buf);
        if (n <= 0)
            break;
        output.append(buf, static_cast<size_t>(n));
        if (output.find("shown\n") != std::string::npos) {
            seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            shown = true;
        }
    }
    if (!shown)
        ::kill(pid, SIGKILL);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!shown)
        throw std::runtime_error("the program was not shown: " + output);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the program ended badly after it was shown");
    return {seconds, peak_.result()};
}

} // namespace korvalo::bench

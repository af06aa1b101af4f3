#include "browser/Execute.h"

#include "browser/CommandLine.h"

#include <QByteArray>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace korvalo {

namespace {

struct SpawnReport {
    int error;
    pid_t pid;
};

// Everything the spawn needs, prepared before fork: between fork and exec the
// intermediate child may only make async-signal-safe calls.
class SpawnPlan {
public:
    explicit SpawnPlan(const CommandLine& parts) {
        bytes_.push_back(parts.program.toUtf8());
        for (const QString& argument : parts.arguments)
            bytes_.push_back(argument.toUtf8());
        for (QByteArray& b : bytes_) {
            // A NUL would silently cut an argument short.
            if (b.contains('\0'))
                problem_ = EINVAL;
            argv_.push_back(b.data());
        }
        if (bytes_.front().isEmpty())
            problem_ = ENOENT;
        argv_.push_back(nullptr);
        searchPath_ = !parts.program.contains(u'/');

        posix_spawn_file_actions_init(&actions_);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
        posix_spawn_file_actions_addclosefrom_np(&actions_, 3);
#endif
        posix_spawnattr_init(&attr_);
        // A clean signal state: nothing blocked, nothing we ignore (SIGPIPE)
        // carried over into the browser.
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attr_, &none);
        sigset_t all;
        sigfillset(&all);
        posix_spawnattr_setsigdefault(&attr_, &all);
        posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnPlan() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attr_);
    }
    SpawnPlan(const SpawnPlan&) = delete;
    SpawnPlan& operator=(const SpawnPlan&) = delete;

    // An errno value when the command cannot be started at all, else 0.
    int problem() const {
        return problem_;
    }

    int spawn(pid_t* pid) const {
        return searchPath_ ? posix_spawnp(pid, argv_[0], &actions_, &attr_, argv_.data(), environ)
                           : posix_spawn(pid, argv_[0], &actions_, &attr_, argv_.data(), environ);
    }

private:
    std::vector<QByteArray> bytes_;
    std::vector<char*> argv_;
    bool searchPath_ = false;
    int problem_ = 0;
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attr_;
};

bool readAll(int fd, void* data, size_t size) {
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::read(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Double fork: a short-lived intermediate child starts the program and exits
// at once, and we reap it here. The program is then an orphan that init (or
// the nearest subreaper) reaps, so no zombie is left behind, nothing needs a
// SIGCHLD handler, and we never wait for the program itself. The intermediate
// also opens a new session, so the program survives our terminal's hang-up.
int spawnDetached(const SpawnPlan& plan, pid_t* started) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return errno;

    const pid_t intermediate = ::fork();
    if (intermediate < 0) {
        const int err = errno;
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return err;
    }
    if (intermediate == 0) {
        ::close(pipeFds[0]);
        ::setsid();
        SpawnReport report{0, 0};
        report.error = plan.spawn(&report.pid);
        // The parent reads the report whole or treats it as lost.
        [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &report, sizeof report);
        ::_exit(0);
    }

    ::close(pipeFds[1]);
    SpawnReport report{0, 0};
    const bool reported = readAll(pipeFds[0], &report, sizeof report);
    ::close(pipeFds[0]);
    while (::waitpid(intermediate, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (!reported)
        return ECHILD;
    *started = report.pid;
    return report.error;
}

bool isBlankOnly(const QString& text) {
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t')
            return false;
    }
    return true;
}

CommandResult failure(const QString& commandLine, int errorNumber) {
    CommandResult result;
    result.commandLine = commandLine;
    result.errorNumber = errorNumber;
    result.errorText = systemErrorText(errorNumber);
    return result;
}

} // namespace

QString systemErrorText(int errorNumber) {
    if (errorNumber == kAddressOptionRefused)
        return QStringLiteral("The address holds a part beginning with \"-\", which the browser "
                              "would take as an option rather than as an address, so it was "
                              "not opened.");
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 32))
    // glibc names every errno it has a text for; any other number has none.
    if (strerrorname_np(errorNumber) == nullptr)
        return QString();
#endif
    char buffer[256];
    return QString::fromLocal8Bit(strerror_r(errorNumber, buffer, sizeof buffer));
}

QString commandErrorText(const QString& commandLine, int errorNumber) {
    return QStringLiteral("Trying to open \"") + commandLine + QStringLiteral("\"\r\n") +
           systemErrorText(errorNumber);
}

CommandResult StartCommand(const QString& commandLine) {
    const SpawnPlan plan(splitCommandLine(commandLine));
    if (plan.problem() != 0)
        return failure(commandLine, plan.problem());
    pid_t pid = 0;
    const int err = spawnDetached(plan, &pid);
    if (err != 0)
        return failure(commandLine, err);
    CommandResult result;
    result.commandLine = commandLine;
    result.processId = pid;
    return result;
}

CommandResult RunCommand(const QString& commandLine) {
    // There is no handle to release: the program was never our child.
    return StartCommand(commandLine);
}

QString browserCommandLine(const QString& browserPath, const QString& address) {
    return browserPath + u' ' + address;
}

bool addressGivesAnOption(const QString& browserPath, const QString& address) {
    const CommandLine whole = splitCommandLine(browserCommandLine(browserPath, address));
    const CommandLine own = splitCommandLine(browserPath);
    // The arguments the browser path gives by itself come first, unchanged;
    // everything from the first one that differs comes from the address.
    qsizetype first = 0;
    if (whole.program == own.program)
        while (first < own.arguments.size() && first < whole.arguments.size() &&
               whole.arguments[first] == own.arguments[first])
            ++first;
    for (qsizetype i = first; i < whole.arguments.size(); ++i)
        if (whole.arguments[i].startsWith(u'-'))
            return true;
    return false;
}

CommandResult OpenInBrowser(const QString& browserPath, const QString& address) {
    const QString commandLine = browserCommandLine(browserPath, address);
    if (isBlankOnly(browserPath))
        return failure(commandLine, ENOENT);
    if (addressGivesAnOption(browserPath, address))
        return failure(commandLine, kAddressOptionRefused);
    return RunCommand(commandLine);
}

} // namespace korvalo

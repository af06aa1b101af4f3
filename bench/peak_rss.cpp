// korvalo_peak_rss --out FILE PROGRAM [ARGS...]
//
// Runs PROGRAM and writes its peak resident set in KiB to FILE. A child made
// by posix_spawn (vfork) inherits its parent's high-water mark at exec, so a
// large benchmark process cannot measure its children directly; this small
// process forks them instead, and their mark starts from its own few pages.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 4 || std::strcmp(argv[1], "--out") != 0) {
        std::fprintf(stderr, "usage: korvalo_peak_rss --out FILE PROGRAM [ARGS...]\n");
        return 2;
    }
    const pid_t pid = ::fork();
    if (pid < 0)
        return 2;
    if (pid == 0) {
        ::execv(argv[3], argv + 3);
        std::fprintf(stderr, "korvalo_peak_rss: cannot run %s: %s\n", argv[3],
                     std::strerror(errno));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0)
        if (errno != EINTR)
            return 2;
    if (FILE* out = std::fopen(argv[2], "w")) {
        std::fprintf(out, "%ld\n", usage.ru_maxrss);
        std::fclose(out);
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

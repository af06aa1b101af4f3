#include "PeakMemory.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace korvalo::bench {

PeakMemory::PeakMemory(std::string self, std::string work)
    : self_(std::move(self))
    , helper_((std::filesystem::path(self_).parent_path() / "korvalo_peak_rss").string())
    , resultFile_(work + "/peak-rss-" + std::to_string(::getpid())) {}

std::vector<std::string> PeakMemory::wrap(const std::vector<std::string>& argv) const {
    ::unlink(resultFile_.c_str());
    std::vector<std::string> out = {helper_, "--out", resultFile_};
    out.insert(out.end(), argv.begin(), argv.end());
    return out;
}

long PeakMemory::result() const {
    long kb = 0;
    std::ifstream(resultFile_) >> kb;
    return kb;
}

long PeakMemory::ofBenchmark(const std::string& name) const {
    const std::string filter =
        "--benchmark_filter=" + (name.empty() ? std::string("^$") : "^" + name + "(/|$)");
    std::vector<std::string> args =
        wrap({self_, kChildFlag, filter, "--benchmark_min_time=0", "--benchmark_repetitions=1"});
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int err = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0)
        return 0;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return 0;
    return result();
}

} // namespace korvalo::bench

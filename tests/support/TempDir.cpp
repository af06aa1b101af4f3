#include "support/TempDir.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace korvalo::test {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

void writeRecordingBrowser(const std::string& script, const std::string& log) {
    // Several browsers may start at once: each takes the lock for its turn.
    writeFile(script, "#!/bin/sh\nexec 9>>'" + log + ".lock'\nflock 9\nt='" + log +
                          "'.$$\n{ cat '" + log +
                          "' 2>/dev/null; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } "
                          "> \"$t\" && mv -f \"$t\" '" +
                          log + "'\n");
    ::chmod(script.c_str(), 0755);
}

bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace korvalo::test

#pragma once

#include <QTemporaryDir>

#include <cstdint>
#include <string>
#include <vector>

namespace korvalo::test {

// A scratch folder for one test, removed afterwards.
class TempDir {
public:
    TempDir() { dir_.setAutoRemove(true); }
    std::string path() const { return dir_.path().toStdString(); }
    std::string file(const std::string& name) const { return path() + "/" + name; }

private:
    QTemporaryDir dir_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
bool fileExists(const std::string& path);

// Writes an executable stand-in for a web browser that appends each of its
// arguments as one line to `log`. The log is replaced by a rename, so a test
// that sees the file sees every line of the call that made it, and calls made
// at the same time take turns.
void writeRecordingBrowser(const std::string& script, const std::string& log);

} // namespace korvalo::test

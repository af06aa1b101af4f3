#pragma once

#include <QString>

namespace korvalo {

// Notices a copy of the program that is already running: the first copy
// holds an advisory lock on a file named after the executable for as long
// as it runs. A copy that finds the lock taken is told so and may go on.
class TXJustOne {
public:
    // lockFolder: where the lock file lives; empty means $XDG_RUNTIME_DIR,
    // else the system's temporary folder.
    explicit TXJustOne(const QString& executableName, const QString& lockFolder = QString());
    ~TXJustOne();
    TXJustOne(const TXJustOne&) = delete;
    TXJustOne& operator=(const TXJustOne&) = delete;

    // True when another copy holds the lock, or when no lock could be made
    // (which counts the same).
    bool alreadyExists() const { return alreadyExists_; }

private:
    int fd_ = -1;
    bool alreadyExists_ = false;
};

} // namespace korvalo

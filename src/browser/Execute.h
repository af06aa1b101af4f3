#pragma once

#include <QString>

#include <sys/types.h>

namespace korvalo {

// The caption of the warning box shown when a command cannot be started.
inline constexpr char16_t kCommandErrorCaption[] = u"Error executing command";

// How a start went. The started program is not ours to keep: nothing waits
// for it and it outlives us.
struct CommandResult {
    QString commandLine;
    int errorNumber = 0; // 0 when the program started, else an errno value
    QString errorText;   // the system's text for errorNumber, empty when it has none
    pid_t processId = 0; // the started program, for information only

    bool started() const { return errorNumber == 0; }
};

// Splits the command line with splitCommandLine and starts the program,
// detached, with the caller's environment and current folder, in a session
// of its own and with no descriptors beyond 0, 1 and 2. Never through a
// shell: every argument reaches the program as plain text (UTF-8).
CommandResult StartCommand(const QString& commandLine);

// StartCommand, keeping nothing of the started program.
CommandResult RunCommand(const QString& commandLine);

// The browser path, exactly one blank and the address, nothing quoted or trimmed.
QString browserCommandLine(const QString& browserPath, const QString& address);

// The error number of a start refused because a part of the address would
// reach the browser as an option; systemErrorText explains it.
inline constexpr int kAddressOptionRefused = -1000;

// Whether the command line of browserPath and address hands the browser an
// argument that comes from the address and begins with '-'. Arguments of the
// browser path itself are its own business.
bool addressGivesAnOption(const QString& browserPath, const QString& address);

// Opens an address with the browser: RunCommand on browserCommandLine.
// A browser path that is empty or only blanks fails with ENOENT without
// starting anything, rather than running the address itself as the program.
// An address that would give the browser an option (a shortcut's
// "URL=http://x/<TAB>--some-switch") fails with kAddressOptionRefused.
CommandResult OpenInBrowser(const QString& browserPath, const QString& address);

// The system's text for an error number, or empty when it has none.
QString systemErrorText(int errorNumber);

// The text of the warning box for a failed start: Trying to open "<command
// line>", a CR LF line break, then the system's text for the error number.
QString commandErrorText(const QString& commandLine, int errorNumber);

} // namespace korvalo

#pragma once

#include <QString>
#include <QStringList>

namespace korvalo {

// A command line taken apart the way the Windows process start does it when it
// is given no separate program name. Each address is handed to the browser as
// one unquoted line, so these rules decide what the browser receives.
struct CommandLine {
    QString program;       // as found: a path, or a bare name looked up in PATH
    QStringList arguments; // without the program

    bool operator==(const CommandLine&) const = default;
};

// Finds the program, then splits the rest with splitArguments.
// - Leading blanks (space, tab) are skipped.
// - A line that then starts with '"' names the program up to the next '"'
//   (or the end of the line); no backslash rules apply inside it, and the
//   arguments start right after the closing quote.
// - Otherwise the text up to each blank, shortest first, and finally the whole
//   line, is tried as the program; the first that names an executable file
//   (isExecutableFile) wins. When none does, the program is the first token.
CommandLine splitCommandLine(const QString& line);

// The Microsoft C runtime's rules (2008 and later) for the text after the
// program:
// - blanks outside quotes separate arguments; runs of blanks count as one;
// - '"' opens or closes a quoted part, which may hold blanks; the quotes
//   themselves are dropped, and "" alone makes an empty argument;
// - inside a quoted part, "" is one literal '"' and the part goes on;
// - 2n backslashes before '"' give n backslashes, and the quote opens or closes;
// - 2n+1 backslashes before '"' give n backslashes and a literal '"';
// - backslashes anywhere else are literal;
// - a quoted part left open runs to the end of the line.
QStringList splitArguments(QStringView text);

// Whether a name is a regular file this process may execute. A name with a
// slash is taken as a path (relative to the current folder); a bare name is
// looked up in the folders of PATH, as posix_spawnp would.
bool isExecutableFile(const QString& name);

} // namespace korvalo

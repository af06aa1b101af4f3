#pragma once

#include <QString>

class QWidget;

namespace korvalo {

// The warning box of a program that could not be started: the platform's
// own box, in English, with the system's text for the error.
void ShowCommandError(QWidget* owner, const QString& caption, const QString& commandLine,
                      int errorCode);

// Opens an address with the browser path; a failed start shows the warning
// box owned by owner.
void openInBrowserOrWarn(QWidget* owner, const QString& browserPath, const QString& address);

} // namespace korvalo

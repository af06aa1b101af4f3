#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace korvalo::test {

// Answers the next modal dialog, so a test can call code that runs one and
// go on. Once a modal QDialog is active, `inspect` (when given) sees it, then
// the button named `button` is clicked: found by objectName first, else by
// its text without the "&" of a mnemonic. Calls queue up: the second answers
// the modal that appears after the first was answered.
//
// The test fails, naming the button, when no modal appears within
// `timeoutMs` of the answer's turn, or when the dialog has no such visible,
// enabled button; the dialog is then rejected so the test never hangs.
void answerNextModal(const QString& button, std::function<void(QDialog*)> inspect = {},
                     int timeoutMs = 5000);

// An inspection for answerNextModal that keeps the text of the message
// window (its Label1) in into.
std::function<void(QDialog*)> recordMessage(QString& into);

// Answers still waiting for their modal. A test that expected every dialog
// to have appeared checks this is 0.
int pendingModalAnswers();

// Drops the answers still waiting, without failing.
void cancelModalAnswers();

// The widget with the keyboard focus, waiting up to `timeoutMs` for a freshly
// shown window to be activated; nullptr when none takes it.
QWidget* waitForFocusWidget(int timeoutMs = 2000);

} // namespace korvalo::test

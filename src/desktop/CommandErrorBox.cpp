#include "desktop/CommandErrorBox.h"

#include "browser/Execute.h"

#include <QMessageBox>

namespace korvalo {

void ShowCommandError(QWidget* owner, const QString& caption, const QString& commandLine,
                      int errorCode) {
    QMessageBox box(QMessageBox::Warning, caption, commandErrorText(commandLine, errorCode),
                    QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("CommandErrorBox"));
    box.setLayoutDirection(Qt::LeftToRight); // its texts are English
    box.exec();
}

void openInBrowserOrWarn(QWidget* owner, const QString& browserPath, const QString& address) {
    const CommandResult r = OpenInBrowser(browserPath, address);
    if (!r.started())
        ShowCommandError(owner, QString::fromUtf16(kCommandErrorCaption), r.commandLine,
                         r.errorNumber);
}

} // namespace korvalo

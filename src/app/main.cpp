#include "desktop/TSplash.h"
#include "images/PictureFormats.h"
#include "mainwindow/TForm1.h"

#include <QApplication>
#include <QMessageBox>

#include <curl/curl.h>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    // Before any thread: the HTTP workers share what this sets up.
    curl_global_init(CURL_GLOBAL_DEFAULT);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvalo"));
    QApplication::setLayoutDirection(Qt::RightToLeft);

    // Without these readers every window would come up blank.
    const QStringList missing = korvalo::missingPictureFormats();
    if (!missing.isEmpty()) {
        QMessageBox::critical(nullptr, QStringLiteral("Korvalo"),
                              korvalo::missingPictureFormatsMessage(missing));
        return 1;
    }

    try {
        // On the screen while the main window is built; its own timer closes it.
        korvalo::TSplash splash;
        splash.showSplash();
        korvalo::TForm1 form;
        if (!form.startUp())
            return 1;
        form.show();
        // Kept above by the window manager; where there is none, the window
        // shown after it would cover it.
        if (splash.isVisible())
            splash.raise();
        // For the start-up benchmark: once the window is shown and painted,
        // say so on standard output and end.
        if (qEnvironmentVariableIsSet("KORVALO_EXIT_WHEN_SHOWN"))
            QMetaObject::invokeMethod(
                &app,
                [&form] {
                    form.repaint();
                    std::fputs("shown\n", stdout);
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                },
                Qt::QueuedConnection);
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Korvalo"), QString::fromLocal8Bit(e.what()));
        return 1;
    }
}

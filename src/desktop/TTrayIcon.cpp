#include "desktop/TTrayIcon.h"

#include "images/ArtworkResources.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

namespace korvalo {

TTrayIcon::TTrayIcon(QWidget* window, QMenu* menu, QObject* parent)
    : QObject(parent)
    , window_(window)
    , icon_(new QSystemTrayIcon(this)) {
    registerArtworkResources();
    icon_->setObjectName(QStringLiteral("TrayIcon1"));
    icon_->setIcon(QIcon(QStringLiteral(":/artwork/korvalo-icon.png")));
    icon_->setToolTip(QStringLiteral("Korvalo 2.5"));
    icon_->setContextMenu(menu); // opens when the right button is released
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::DoubleClick)
            Restore();
    });
    icon_->show();
}

void TTrayIcon::Minimize() {
    // Hidden, the window has no taskbar button; only the icon stays. Without
    // a tray there would be no way back, so it minimises to the taskbar.
    inTray_ = QSystemTrayIcon::isSystemTrayAvailable();
    if (inTray_)
        window_->hide();
    else
        window_->showMinimized();
    Q_EMIT minimized();
}

void TTrayIcon::Restore() {
    inTray_ = false;
    window_->showNormal();
    window_->raise();
    window_->activateWindow();
}

} // namespace korvalo

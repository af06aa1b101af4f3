#pragma once

#include <QObject>

class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace korvalo {

// The program's icon in the notification area, for the whole run. Minimising
// to it takes the window off the taskbar; a double click brings it back and
// the right button opens the tray menu. Where the desktop has no tray the
// window simply minimises to the taskbar.
class TTrayIcon : public QObject {
    Q_OBJECT
public:
    TTrayIcon(QWidget* window, QMenu* menu, QObject* parent = nullptr);

    void Minimize();
    void Restore();

    QSystemTrayIcon* icon() const { return icon_; }
    bool minimizedToTray() const { return inTray_; }

Q_SIGNALS:
    // After each minimise (the OnMinimize event).
    void minimized();

private:
    QWidget* window_;
    QSystemTrayIcon* icon_;
    bool inTray_ = false;
};

} // namespace korvalo

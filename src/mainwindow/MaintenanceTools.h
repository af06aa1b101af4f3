#pragma once

#include <QObject>
#include <QString>

class QProgressBar;
class QWidget;

namespace korvalo {

class Directory;
class PanelHost;

// The maintainer's buttons of the main window: a new database ("New"),
// another database ("Open", with the progress bar), and the conversions of
// "cate.dat" ("Category") and of the site file ("Url") from their old
// layouts. The dialogs are Qt's own, the same on every desktop.
class MaintenanceTools : public QObject {
    Q_OBJECT
public:
    MaintenanceTools(PanelHost& host, Directory& directory, QWidget* window,
                     QProgressBar* progressBar, QObject* parent = nullptr);

    void Button11Click(); // "Category"
    void Button12Click(); // "Open"
    void Button13Click(); // "New"
    void Button14Click(); // "Url"

private:
    // The folder the dialogs start in: the current site file's.
    QString startFolder() const;

    PanelHost& host_;
    Directory& directory_;
    QWidget* window_;
    QProgressBar* ProgressBar1;
};

} // namespace korvalo

#include "mainwindow/MaintenanceTools.h"

#include "data/Directory.h"
#include "data/SourceText.h"
#include "mainwindow/PanelHost.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressBar>
#include <QWidget>

#include <algorithm>

namespace korvalo {

MaintenanceTools::MaintenanceTools(PanelHost& host, Directory& directory, QWidget* window,
                                   QProgressBar* progressBar, QObject* parent)
    : QObject(parent)
    , host_(host)
    , directory_(directory)
    , window_(window)
    , ProgressBar1(progressBar) {}

QString MaintenanceTools::startFolder() const {
    return QFileInfo(QFile::decodeName(QByteArray::fromStdString(directory_.state().sitePath())))
        .absolutePath();
}

void MaintenanceTools::Button13Click() {
    QFileDialog dialog(window_, u("جديـد"), startFolder(), QStringLiteral("Korvalo (*.kvl)"));
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setLayoutDirection(Qt::LeftToRight); // paths, and Qt's own words
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("kvl"));
    // Qt's own dialog asks before an existing file is replaced.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString file = dialog.selectedFiles().constFirst();
    if (file.isEmpty())
        return;
    directory_.newDatabase(file);
}

void MaintenanceTools::Button12Click() {
    QFileDialog dialog(window_, u("فتـــح"), startFolder());
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setLayoutDirection(Qt::LeftToRight);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString file = dialog.selectedFiles().constFirst();
    // The dialog's place is painted again before the long read begins.
    window_->repaint();

    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    directory_.openSiteFile(file, [this] {
        // Painted at once: the read runs on this thread, and a queued paint
        // would wait for its end.
        ProgressBar1->setValue(std::min(ProgressBar1->value() + 1, ProgressBar1->maximum()));
        ProgressBar1->repaint();
    });
    QApplication::restoreOverrideCursor();
    ProgressBar1->hide();
}

void MaintenanceTools::Button11Click() {
    directory_.convertCategoryFile([this] {
        return host_.showMessageBox(u("يوجد عناوين تحت مواضيع سيتغير رقمها\n هل تريد الاستمرار ؟"),
                                    true) != 2;
    });
}

void MaintenanceTools::Button14Click() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    directory_.convertSiteFile();
    QApplication::restoreOverrideCursor();
}

} // namespace korvalo

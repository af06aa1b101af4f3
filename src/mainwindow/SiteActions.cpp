#include "mainwindow/SiteActions.h"

#include "data/Directory.h"
#include "data/SourceText.h"
#include "mainwindow/PanelHost.h"
#include "mainwindow/SiteListModel.h"
#include "mainwindow/TAddForm1.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>

#include <algorithm>

namespace korvalo {

namespace {

// The selected rows in list order.
QList<int> selectedRows(QAbstractItemView* view) {
    QList<int> rows;
    for (const QModelIndex& i : view->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

SiteActions::SiteActions(PanelHost& host, Directory& directory, TAddForm1& dialog, QObject* parent)
    : QObject(parent)
    , host_(host)
    , directory_(directory)
    , dialog_(dialog) {
    connect(&dialog_, &TAddForm1::openRequested, this, &SiteActions::openSite);
}

void SiteActions::openSite(const QString& address) {
    host_.openSite(address);
}

void SiteActions::copyToClipboard(const QString& address) {
    QApplication::clipboard()->setText(address);
}

void SiteActions::sendToBrowserFavorites(const QString& address) {
    directory_.sendToBrowserFavorites(address);
}

void SiteActions::sendToFriend(const QString& address) {
    if (friend_)
        friend_(address);
}

bool SiteActions::deleteSite(const QString& address) {
    if (host_.showMessageBox(u("سيتم حذف العنوان \n") + address + u("\n هل تريد الاستمرار ؟"),
                             true) == 2)
        return false;
    return directory_.removeSite(address).ok();
}

bool SiteActions::editSite(const QString& address) {
    std::optional<EditedSite> site;
    if (!directory_.beginEdit(address, site).ok())
        return false;
    // Without a record of the address the dialog shows what it last held.
    if (site) {
        if (site->categoryName) {
            // When several entries are equal the last is chosen; when none
            // is, the choice stays as it was.
            int found = -1;
            for (int i = 0; i < dialog_.ComboBox1->count(); ++i)
                if (dialog_.ComboBox1->itemText(i) == *site->categoryName)
                    found = i;
            if (found >= 0)
                dialog_.ComboBox1->setCurrentIndex(found);
        }
        dialog_.Edit1->setText(site->title);
        dialog_.Edit3->setText(site->url);
        dialog_.ComboBox2->setEditText(site->language);
        dialog_.Edit2->setText(QString::number(site->userMark));
    }

    for (;;) {
        if (dialog_.exec() != QDialog::Accepted)
            return false;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const Outcome o = directory_.replaceSite(address,
                                                 {dialog_.Edit1->text(), dialog_.Edit3->text(),
                                                  dialog_.ComboBox2->currentText(),
                                                  dialog_.ComboBox1->currentText()},
                                                 dialog_.Edit2->text());
        QApplication::restoreOverrideCursor();
        if (o.status != Outcome::Status::Refused)
            return o.ok();
        // Back to the dialog, with the user's text kept.
    }
}

QMenu* SiteActions::buildMenu(QAbstractItemView* view, SiteListModel* model,
                              const QString& deleteCaption) {
    auto* menu = new QMenu(view);
    menu->setLayoutDirection(Qt::RightToLeft);
    auto first = [view, model]() -> QString {
        const QList<int> rows = selectedRows(view);
        return rows.isEmpty() ? QString() : model->url(rows.first());
    };
    auto withFirst = [first](auto action) {
        return [first, action] {
            const QString address = first();
            if (!address.isNull())
                action(address);
        };
    };
    menu->addAction(u("فتح الموقع"), this, withFirst([this](const QString& a) { openSite(a); }));
    menu->addSeparator();
    QMenu* send = menu->addMenu(u("ارسل الى"));
    send->setObjectName(QStringLiteral("SendTo"));
    send->addAction(u("المفضلة"), this,
                    withFirst([this](const QString& a) { directory_.addFavorite(a); }));
    send->addAction(u("مفضلة المتصفح"), this,
                    withFirst([this](const QString& a) { sendToBrowserFavorites(a); }));
    send->addAction(u("الحافظة"), this,
                    withFirst([this](const QString& a) { copyToClipboard(a); }));
    send->addAction(u("صديق"), this, withFirst([this](const QString& a) { sendToFriend(a); }));
    menu->addSeparator();
    menu->addAction(deleteCaption, this, [this, view, model] {
        const QList<int> rows = selectedRows(view);
        if (rows.isEmpty())
            return;
        const int row = rows.last(); // delete takes the last selected row
        if (deleteSite(model->url(row)))
            model->removeRowAt(row);
    });
    menu->addAction(u("تعـديل"), this, withFirst([this](const QString& a) { editSite(a); }));
    return menu;
}

} // namespace korvalo

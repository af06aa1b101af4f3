#include "mainwindow/SiteActions.h"

#include "browser/InternetShortcut.h"
#include "data/CategoryFile.h"
#include "data/Cp1256.h"
#include "data/FieldText.h"
#include "data/Outcome.h"
#include "data/ProgramState.h"
#include "data/SiteFile.h"
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

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

SiteFile siteFileOf(ProgramState& state) {
    return SiteFile(state.path(QString()), QFile::encodeName(state.siteFileName).toStdString());
}

// The selected rows in list order.
QList<int> selectedRows(QAbstractItemView* view) {
    QList<int> rows;
    for (const QModelIndex& i : view->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

SiteActions::SiteActions(PanelHost& host, TAddForm1& dialog, QObject* parent)
    : QObject(parent)
    , host_(host)
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
    ProgramState& state = host_.state();
    const std::string url = Cp1256::fromUnicode(address).value_or(std::string());
    siteFileOf(state).ReadSites([&](const SiteRecord& r) {
        if (r.Url != url)
            return true;
        if (!WriteInternetShortcut(state.favoritesFolder, Cp1256::toUnicode(r.Title),
                                   Cp1256::toUnicode(r.Url))) {
            host_.showMessageBox(u("لم يتم نقل العنوان الى المفضلة لعدم وجود مساحة خالية"), false);
            return false;
        }
        host_.showMessageBox(u("تمت عملية نقل الموقع الى مفضلة المتصفح بنجاح"), false);
        return true;
    });
}

bool SiteActions::deleteSite(const QString& address) {
    if (host_.showMessageBox(u("سيتم حذف العنوان \n") + address + u("\n هل تريد الاستمرار ؟"),
                             true) == 2)
        return false;
    const std::string url = Cp1256::fromUnicode(address).value_or(std::string());
    const DataFileResult r = siteFileOf(host_.state()).RemoveSites(url);
    if (r.status == DataFileStatus::ScratchFailed)
        host_.showMessageBox(scratchFileMessage(), false);
    if (!r.ok())
        return false;
    host_.setSiteCount(static_cast<int64_t>(r.count));
    return true;
}

bool SiteActions::editSite(const QString& address) {
    ProgramState& state = host_.state();
    const SiteFile sites = siteFileOf(state);
    const std::string url = Cp1256::fromUnicode(address).value_or(std::string());

    // Fill the dialog from the record (the last with the address wins).
    bool opened = false;
    bool missingCategories = false;
    const DataFileResult read = sites.ReadSites([&](const SiteRecord& r) {
        opened = true;
        if (r.Url != url)
            return true;
        const int32_t id = r.SubCategoryId != 0 ? r.SubCategoryId : r.CategoryId;
        const CategoryNameLookup name = FindCategoryName(state.catePath(), id);
        if (!name.opened) {
            missingCategories = true;
            return false;
        }
        if (name.name) {
            const QString text = Cp1256::toUnicode(*name.name);
            int found = -1;
            for (int i = 0; i < dialog_.ComboBox1->count(); ++i)
                if (dialog_.ComboBox1->itemText(i) == text)
                    found = i;
            if (found >= 0)
                dialog_.ComboBox1->setCurrentIndex(found);
        }
        dialog_.Edit1->setText(Cp1256::toUnicode(r.Title));
        dialog_.Edit3->setText(Cp1256::toUnicode(r.Url));
        dialog_.ComboBox2->setEditText(Cp1256::toUnicode(r.Language));
        dialog_.Edit2->setText(QString::number(r.UserMark));
        return true;
    });
    if (missingCategories) {
        host_.categoryFileMissing();
        return false;
    }
    if (!read.ok())
        return false;

    // The edit goes through the scratch file; without one there is no edit.
    QFile scratch(QFile::decodeName(QByteArray::fromStdString(sites.scratchPath())));
    if (!scratch.open(QIODevice::WriteOnly | QIODevice::Append)) {
        host_.showMessageBox(scratchFileMessage(), false);
        return false;
    }
    scratch.close();

    for (;;) {
        if (dialog_.exec() != QDialog::Accepted)
            return false;
        // Nothing is written until every field fits its record.
        QString problem;
        const auto title = fieldBytes(dialog_.Edit1->text(), TextField::Title, &problem);
        const auto newUrl =
            title ? fieldBytes(dialog_.Edit3->text(), TextField::Url, &problem) : std::nullopt;
        const auto language =
            newUrl ? fieldBytes(dialog_.ComboBox2->currentText(), TextField::Language, &problem)
                   : std::nullopt;
        bool markOk = false;
        const int32_t mark = dialog_.Edit2->text().trimmed().toInt(&markOk);
        if (language && !markOk)
            problem = u("رقم المستخدم يجب ان يكون عدداً صحيحاً");
        if (!language || !markOk) {
            host_.showMessageBox(problem, false);
            continue; // back to the dialog, with the user's text kept
        }

        const std::string name =
            Cp1256::fromUnicode(dialog_.ComboBox1->currentText()).value_or(std::string());
        const auto root = IsRootCategory(state.catePath(), name);
        const auto id = FindCategoryId(state.catePath(), name);
        const auto parent = FindParentId(state.catePath(), name);
        if (!root || !id || !parent) {
            host_.categoryFileMissing();
            return false;
        }
        SiteRecord record{*newUrl, *root != 0 ? *id : *parent, *title, *language,
                          mark,    *root != 0 ? 0 : *id};
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const DataFileResult r = sites.ReplaceSite(url, record);
        QApplication::restoreOverrideCursor();
        if (r.status == DataFileStatus::ScratchFailed)
            host_.showMessageBox(scratchFileMessage(), false);
        if (!r.ok())
            return false;
        host_.setSiteCount(static_cast<int64_t>(r.count));
        return true;
    }
}

QMenu* SiteActions::buildMenu(QAbstractItemView* view, SiteListModel* model,
                              const QString& deleteCaption, std::function<void()> onEdited) {
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
                    withFirst([this](const QString& a) { host_.addToFavorites(a); }));
    send->addAction(u("مفضلة المتصفح"), this,
                    withFirst([this](const QString& a) { sendToBrowserFavorites(a); }));
    send->addAction(u("الحافظة"), this,
                    withFirst([this](const QString& a) { copyToClipboard(a); }));
    menu->addSeparator();
    menu->addAction(deleteCaption, this, [this, view, model] {
        const QList<int> rows = selectedRows(view);
        if (rows.isEmpty())
            return;
        const int row = rows.last(); // delete takes the last selected row
        if (deleteSite(model->url(row)))
            model->removeRowAt(row);
    });
    menu->addAction(u("تعـديل"), this, withFirst([this, onEdited](const QString& a) {
                        if (editSite(a) && onEdited)
                            onEdited();
                    }));
    return menu;
}

} // namespace korvalo

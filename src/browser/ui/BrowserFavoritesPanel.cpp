#include "browser/ui/BrowserFavoritesPanel.h"

#include "browser/ui/TAddToKvlForm.h"
#include "data/Directory.h"
#include "data/SourceText.h"
#include "mainwindow/DisplayLook.h"
#include "mainwindow/PanelHost.h"
#include "widgets/ButtonHoverGroup.h"
#include "widgets/ButtonWithColor.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace korvalo {

BrowserFavoritesPanel::BrowserFavoritesPanel(PanelHost& host, Directory& directory, QWidget* parent)
    : QWidget(parent)
    , host_(host)
    , directory_(directory)
    , dialog_(new TAddToKvlForm(this))
    , hover_(new ButtonHoverGroup(this)) {
    setObjectName(QStringLiteral("Ie_Fav_Panel"));
    setAutoFillBackground(true);

    auto button = [this](const char* name, const char* text, QRect r) {
        auto* b = new ButtonWithColor(u(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(r);
        return b;
    };
    BitBtnWithColor12 = button("BitBtnWithColor12", "تحــديث", {560, 4, 84, 25});
    BitBtnWithColor10 = button("BitBtnWithColor10", "تحديد كلي", {472, 4, 84, 25});
    BitBtn10 = button("BitBtn10", "اضافة المواقع المحددة الى Korvalo", {236, 4, 232, 25});
    BitBtn10->setEnabled(false);
    connect(BitBtnWithColor12, &QPushButton::clicked, this,
            &BrowserFavoritesPanel::BitBtnWithColor12Click);
    connect(BitBtnWithColor10, &QPushButton::clicked, this,
            &BrowserFavoritesPanel::BitBtnWithColor10Click);
    connect(BitBtn10, &QPushButton::clicked, this, &BrowserFavoritesPanel::BitBtn10Click);

    auto* urlCaption = new QLabel(u("العنوان"), this);
    urlCaption->setGeometry(8, 34, 315, 20);
    auto* nameCaption = new QLabel(u("إسم العنوان   "), this);
    nameCaption->setGeometry(323, 34, 321, 20);
    for (QLabel* l : {urlCaption, nameCaption}) {
        l->setAutoFillBackground(true);
        l->setAlignment(Qt::AlignCenter);
        l->setStyleSheet(QStringLiteral("background: #c08080; color: white;"));
    }

    ListView6 = new QTreeWidget(this);
    ListView6->setObjectName(QStringLiteral("ListView6"));
    ListView6->setGeometry(8, 54, 636, 264);
    ListView6->setColumnCount(2);
    ListView6->setLayoutDirection(Qt::LeftToRight); // the address column stays on the left
    ListView6->setRootIsDecorated(false);
    ListView6->setHeaderHidden(true);
    ListView6->setUniformRowHeights(true);
    ListView6->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView6->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView6->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView6->header()->setStretchLastSection(false);
    ListView6->setColumnWidth(0, 315);
    ListView6->setColumnWidth(1, 310);
    QPalette purple = ListView6->palette();
    purple.setColor(QPalette::Text, QColor(128, 0, 128));
    ListView6->setPalette(purple);
    connect(ListView6, &QTreeWidget::itemDoubleClicked, this,
            &BrowserFavoritesPanel::ListView6DblClick);
    connect(ListView6, &QTreeWidget::itemSelectionChanged, this,
            &BrowserFavoritesPanel::ListView6Click);

    for (ButtonWithColor* b : {BitBtn10, BitBtnWithColor10, BitBtnWithColor12})
        hover_->addButton(b);
    hover_->addResetArea(ListView6);
    hover_->addResetArea(ListView6->viewport());

    connect(dialog_, &TAddToKvlForm::openAddressRequested, this,
            [this](const QString& address) { host_.openSite(address); });
}

void BrowserFavoritesPanel::reload() {
    BitBtn10->setEnabled(false);
    ListView6->clear();
    entries_.clear();
    level_ = 0;
    levels_ = QStringList{directory_.state().favoritesFolder};
    ListFavoritesFolder(levels_.front());
}

void BrowserFavoritesPanel::ListFavoritesFolder(const QString& path) {
    ListView6->clear();
    const auto read = ReadFavoritesFolder(path);
    if (!read) {
        entries_.clear();
        return;
    }
    entries_.insert(entries_.end(), read->begin(), read->end());

    QList<QTreeWidgetItem*> items;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const FavoritesEntry& e = entries_[i];
        QStringList texts;
        switch (e.kind) {
        case FavoritesEntry::Up:
            texts = {QStringLiteral(".."), QStringLiteral("..")};
            break;
        case FavoritesEntry::Folder:
            texts = {QString(), QLatin1Char('[') + e.name + QLatin1Char(']')};
            break;
        case FavoritesEntry::Shortcut:
            texts = {e.address, e.name};
            break;
        }
        auto* item = new QTreeWidgetItem(texts);
        // The entry's kind travels with the row, so that no address can pass
        // for a folder or the up entry.
        item->setData(0, Qt::UserRole, qulonglong(i));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
        items << item;
    }
    ListView6->addTopLevelItems(items);
}

const FavoritesEntry& BrowserFavoritesPanel::entryOf(const QTreeWidgetItem* item) const {
    return entries_.at(item->data(0, Qt::UserRole).toULongLong());
}

std::vector<QTreeWidgetItem*> BrowserFavoritesPanel::selectedItems() const {
    std::vector<QTreeWidgetItem*> selected;
    for (int i = 0; i < ListView6->topLevelItemCount(); ++i)
        if (QTreeWidgetItem* item = ListView6->topLevelItem(i); item->isSelected())
            selected.push_back(item);
    return selected;
}

void BrowserFavoritesPanel::showLevel() {
    entries_.clear();
    if (level_ > 0)
        entries_.push_back({FavoritesEntry::Up, QStringLiteral(".."), {}});
    ListFavoritesFolder(levels_.at(level_));
}

void BrowserFavoritesPanel::ListView6DblClick() {
    for (QTreeWidgetItem* item : selectedItems()) {
        const FavoritesEntry entry = entryOf(item); // the store changes below
        switch (entry.kind) {
        case FavoritesEntry::Up:
            if (level_ > 0) {
                --level_;
                levels_ = levels_.mid(0, level_ + 1);
                showLevel();
            }
            return;
        case FavoritesEntry::Folder:
            // Levels are held as deep as the folders go.
            levels_ = levels_.mid(0, level_ + 1);
            levels_ << QDir(levels_.at(level_)).filePath(entry.name);
            ++level_;
            showLevel();
            return;
        case FavoritesEntry::Shortcut:
            host_.openSite(entry.address);
            break;
        }
    }
}

void BrowserFavoritesPanel::ListView6Click() {
    bool shortcut = false;
    for (QTreeWidgetItem* item : selectedItems())
        shortcut = shortcut || entryOf(item).kind == FavoritesEntry::Shortcut;
    BitBtn10->setEnabled(shortcut);
}

void BrowserFavoritesPanel::BitBtnWithColor12Click() {
    reload();
}

void BrowserFavoritesPanel::BitBtnWithColor10Click() {
    bool any = false;
    for (int i = 0; i < ListView6->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = ListView6->topLevelItem(i);
        if (entryOf(item).kind == FavoritesEntry::Shortcut) {
            item->setSelected(true);
            any = true;
        }
    }
    if (any)
        BitBtn10->setEnabled(true);
}

void BrowserFavoritesPanel::BitBtn10Click() {
    AddSelectedToDirectory();
}

void BrowserFavoritesPanel::AddSelectedToDirectory() {
    const std::vector<QTreeWidgetItem*> selected = selectedItems();
    dialog_->BitBtnWithColor3->setVisible(selected.size() > 1);
    std::vector<FavoritesEntry> shortcuts;
    for (QTreeWidgetItem* item : selected)
        if (entryOf(item).kind == FavoritesEntry::Shortcut)
            shortcuts.push_back(entryOf(item));
    for (const FavoritesEntry& entry : shortcuts)
        if (!offerShortcut(entry))
            return;
}

bool BrowserFavoritesPanel::offerShortcut(const FavoritesEntry& entry) {
    dialog_->offer(entry.name, entry.address);
    for (;;) {
        const int result = dialog_->exec();
        // "إضافة الكل" adds like "اضف": every row is still offered. Closing
        // the dialog any other way passes the row over.
        if (result != TAddToKvlForm::AddResult && result != TAddToKvlForm::AddAllResult)
            return true;
        const Outcome o = directory_.addShortcut({dialog_->Edit1->text(), dialog_->Edit2->text(),
                                                  dialog_->ComboBox1->currentText(),
                                                  dialog_->selectedCategory()});
        switch (o.status) {
        case Outcome::Status::Done:
        case Outcome::Status::Duplicate: // passed over: the next row
            return true;
        case Outcome::Status::Refused: // the same row again, to be corrected
            continue;
        default: // the site file could not be opened or written: the run stops
            return false;
        }
    }
}

QTreeWidget* BrowserFavoritesPanel::categoryTree() const {
    return dialog_->TreeView1;
}

void BrowserFavoritesPanel::restButtons() {
    hover_->rest();
}

void BrowserFavoritesPanel::applyDisplay(const DisplayLook& look) {
    look.applyToList(ListView6);
}

} // namespace korvalo

#include "mainwindow/FavoritesPanel.h"

#include "data/Cp1256.h"
#include "mainwindow/SiteListModel.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTreeView>

namespace korvalo {

FavoritesPanel::FavoritesPanel(PanelHost& host, QWidget* parent)
    : QWidget(parent)
    , host_(host)
    , model_(new SiteListModel({SiteListModel::Url, SiteListModel::Title}, this)) {
    setObjectName(QStringLiteral("Favorites_Panel"));
    setAutoFillBackground(true);

    auto* urlCaption = new QLabel(QString::fromUtf8("العنوان"), this);
    urlCaption->setGeometry(8, 8, 280, 20);
    auto* titleCaption = new QLabel(QString::fromUtf8("إسم العنوان"), this);
    titleCaption->setGeometry(288, 8, 340, 20);
    for (QLabel* l : {urlCaption, titleCaption}) {
        l->setAutoFillBackground(true);
        l->setAlignment(Qt::AlignCenter);
        l->setStyleSheet(QStringLiteral("background: #c08080; color: white;"));
    }

    ListView5 = new QTreeView(this);
    ListView5->setObjectName(QStringLiteral("ListView5"));
    ListView5->setGeometry(8, 28, 636, 200);
    ListView5->setModel(model_);
    ListView5->setLayoutDirection(Qt::LeftToRight); // the address column stays on the left
    ListView5->setRootIsDecorated(false);
    ListView5->setHeaderHidden(true);
    ListView5->setUniformRowHeights(true);
    ListView5->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView5->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView5->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView5->header()->setStretchLastSection(false);
    ListView5->setColumnWidth(0, 280);
    ListView5->setColumnWidth(1, 320);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->hide();
}

void FavoritesPanel::setRows(const std::vector<SiteRow>& rows) {
    model_->setRows(rows);
    ListBox1->clear();
    for (const SiteRow& r : rows)
        ListBox1->addItem(Cp1256::toUnicode(r.title));
}

void FavoritesPanel::refreshButtons() {
    Q_UNUSED(host_);
}

void FavoritesPanel::clear() {
    model_->clear();
    ListBox1->clear();
}

} // namespace korvalo

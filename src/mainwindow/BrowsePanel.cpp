#include "mainwindow/BrowsePanel.h"

#include "data/Directory.h"
#include "mainwindow/DisplayLook.h"
#include "mainwindow/FloatingHint.h"
#include "mainwindow/PanelHost.h"
#include "mainwindow/SiteActions.h"
#include "mainwindow/SiteListModel.h"

#include <QApplication>
#include <QCursor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

namespace korvalo {

namespace {

QLabel* captionStrip(const QString& name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setAutoFillBackground(true);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setLayoutDirection(Qt::RightToLeft);
    return l;
}

} // namespace

BrowsePanel::BrowsePanel(PanelHost& host, Directory& directory, QWidget* parent)
    : QWidget(parent)
    , host_(host)
    , directory_(directory)
    , model_(new SiteListModel({SiteListModel::Url, SiteListModel::Language, SiteListModel::Title},
                               this)) {
    setObjectName(QStringLiteral("Show_Panel"));
    setAutoFillBackground(true);

    // The list's columns run left to right: the address (never visible), the
    // language, the description; so it sits on the left with the tree right.
    Panel7 = captionStrip(QStringLiteral("Panel7"), QString::fromUtf8("لغته"), this);
    Panel7->setGeometry(8, 8, 56, 20);
    Panel6 = captionStrip(QStringLiteral("Panel6"), QString::fromUtf8("وصف العنوان   "), this);
    Panel6->setGeometry(64, 8, 304, 20);
    Panel8 = captionStrip(QStringLiteral("Panel8"), QString::fromUtf8("المواضيع      "), this);
    Panel8->setGeometry(376, 8, 268, 20);

    ListView1 = new QTreeView(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(8, 28, 360, 264);
    ListView1->setModel(model_);
    ListView1->setLayoutDirection(Qt::LeftToRight); // keeps the column order
    ListView1->setRootIsDecorated(false);
    ListView1->setHeaderHidden(true);      // the caption strips stand in for headers
    ListView1->setUniformRowHeights(true); // lets the view lay out 50 000 rows at once
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setMouseTracking(true);
    ListView1->setCursor(Qt::PointingHandCursor);
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->header()->setMinimumSectionSize(0);
    ListView1->setColumnWidth(0, 0);
    ListView1->setColumnWidth(1, 55);
    ListView1->setColumnWidth(2, 286);

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setGeometry(376, 28, 268, 264);
    TreeView1->setHeaderHidden(true);
    TreeView1->setLayoutDirection(Qt::RightToLeft);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    TreeView1->setMouseTracking(true);

    connect(TreeView1, &QTreeWidget::itemClicked, this, [this] { TreeView1Click(); });
    TreeView1->installEventFilter(this);
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BrowsePanel::ListView1SelectItem);
    connect(ListView1, &QTreeView::doubleClicked, this, &BrowsePanel::ListView1DblClick);
    // The context menu is built on first use: the actions belong to the
    // window, which is still being made.
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        if (!PopupMenu1) {
            PopupMenu1 =
                host_.siteActions().buildMenu(ListView1, model_, QString::fromUtf8("حـــذف"));
            PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
        }
        PopupMenu1->popup(ListView1->viewport()->mapToGlobal(p));
    });

    Label8 = new QLabel(QString::fromUtf8("انقر زر الفأرة الأيمن على أي عنوان لأستعراض خدمات  "
                                          "الحذف والتعديل والارسال....."),
                        this);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setGeometry(8, 298, 636, 20);
    Label8->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label8->setStyleSheet(QStringLiteral("color: grey;"));
}

bool BrowsePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TreeView1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            TreeView1Click();
    }
    return QWidget::eventFilter(watched, event);
}

void BrowsePanel::TreeView1Click() {
    ListCategorySites();
}

void BrowsePanel::ListCategorySites() {
    QTreeWidgetItem* node = TreeView1->currentItem();
    if (!node || !node->isSelected())
        return;
    QString& current = directory_.state().currentCategoryName;
    if (node->text(0) == current)
        return; // already listed
    // The name changes even when the site file then cannot be read.
    current = node->text(0);
    listSitesOf(node, true);
}

bool BrowsePanel::listSitesOf(QTreeWidgetItem* node, bool updateHeader) {
    return listSites(node->text(0), node->parent() != nullptr, updateHeader);
}

bool BrowsePanel::listSites(const QString& name, bool sub, bool updateHeader) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::optional<SiteRowBuffer> rows = directory_.categorySites(name, sub);
    if (!rows) {
        QApplication::restoreOverrideCursor();
        return false;
    }
    ListView1->setUpdatesEnabled(false);
    model_->setRows(std::move(*rows));
    ListView1->setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
    if (updateHeader)
        setHeader(name, model_->rowCount());
    return true;
}

void BrowsePanel::ListView1SelectItem() {
    FloatingHint* hint = host_.hint();
    if (!hint)
        return;
    const QPoint mouse = QCursor::pos();
    hint->HintTimer->stop();
    // A strip just below the pointer at a fixed horizontal place; with several
    // rows selected the last one's address stays.
    const QRect strip(QPoint(130, mouse.y() + 20), QPoint(480 - 1, mouse.y() + 35 - 1));
    QModelIndexList rows = ListView1->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    for (const QModelIndex& row : rows) {
        hint->HintTimer->start();
        hint->activate(strip, model_->url(row.row()), QColor(255, 255, 196));
    }
}

void BrowsePanel::ListView1DblClick() {
    const QModelIndex current = ListView1->currentIndex();
    if (current.isValid())
        host_.openSite(model_->url(current.row()));
}

void BrowsePanel::refill() {
    // The level comes from the tree's selected node; none counts as a main
    // category.
    QTreeWidgetItem* node = TreeView1->currentItem();
    listSites(directory_.state().currentCategoryName, node && node->parent(), false);
}

void BrowsePanel::showSites(const QString& categoryName, SiteRowBuffer rows) {
    model_->setRows(std::move(rows));
    setHeader(categoryName, model_->rowCount());
}

void BrowsePanel::appendSite(const SiteRow& row) {
    model_->appendRow(row);
}

void BrowsePanel::clear() {
    model_->clear();
}

QString BrowsePanel::selectedCategoryName() const {
    const QTreeWidgetItem* item = TreeView1->currentItem();
    return item ? item->text(0) : QString();
}

void BrowsePanel::addTopLevelCategory(const QString& name) {
    TreeView1->addTopLevelItem(new QTreeWidgetItem(QStringList{name}));
}

void BrowsePanel::useDesignFont(const QFont& font) {
    ListView1->setFont(font);
}

QFont BrowsePanel::listFont() const {
    return ListView1->font();
}

void BrowsePanel::applyDisplay(const DisplayLook& look) {
    look.applyToList(ListView1);
    look.applyToTree(TreeView1);
    for (QLabel* strip : {Panel6, Panel7, Panel8})
        look.applyToStrip(strip);
}

QString BrowsePanel::headerText(const QString& categoryName, int rows) {
    return QStringLiteral("   ") + categoryName + QStringLiteral("         ") +
           QString::number(rows) + QStringLiteral("   ");
}

void BrowsePanel::setHeader(const QString& categoryName, int rows) {
    Panel6->setText(headerText(categoryName, rows));
}

} // namespace korvalo

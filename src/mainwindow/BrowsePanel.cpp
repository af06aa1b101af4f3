#include "mainwindow/BrowsePanel.h"

#include "mainwindow/SiteListModel.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QTreeWidget>

namespace korvalo {

namespace {

QLabel* captionStrip(const QString& name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setAutoFillBackground(true);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setLayoutDirection(Qt::RightToLeft);
    return l;
}

} // namespace

BrowsePanel::BrowsePanel(QWidget* parent)
    : QWidget(parent)
    , model_(new SiteListModel({SiteListModel::Url, SiteListModel::Language, SiteListModel::Title},
                               this))
{
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
    ListView1->setHeaderHidden(true); // the caption strips stand in for headers
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

    Label8 = new QLabel(QString::fromUtf8("انقر زر الفأرة الأيمن على أي عنوان لأستعراض خدمات  "
                                          "الحذف والتعديل والارسال....."),
                        this);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setGeometry(8, 298, 636, 20);
    Label8->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label8->setStyleSheet(QStringLiteral("color: grey;"));
}

QString BrowsePanel::headerText(const QString& categoryName, int rows)
{
    return QStringLiteral("   ") + categoryName + QStringLiteral("         ") +
           QString::number(rows) + QStringLiteral("   ");
}

void BrowsePanel::setHeader(const QString& categoryName, int rows)
{
    Panel6->setText(headerText(categoryName, rows));
}

} // namespace korvalo

#include "search/ui/SearchPanel.h"

#include "data/Directory.h"
#include "mainwindow/DisplayLook.h"
#include "mainwindow/PanelHost.h"
#include "mainwindow/SiteActions.h"
#include "mainwindow/SiteListModel.h"
#include "mainwindow/WidgetNaming.h"
#include "widgets/ButtonHoverGroup.h"
#include "widgets/ButtonWithColor.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTableView>

namespace korvalo {

namespace {

QLabel* captionStrip(const char* name, const char* text, QWidget* parent, QRect geometry) {
    auto* l = named(new QLabel(u(text), parent), name);
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignCenter);
    l->setStyleSheet(QStringLiteral("background: #8080c0; color: white;"));
    return l;
}

constexpr int kUrlColumn = 270;
constexpr int kCategoryColumn = 135;
constexpr int kTitleColumn = 225;

} // namespace

SearchPanel::SearchPanel(PanelHost& host, Directory& directory, QWidget* parent)
    : QWidget(parent)
    , host_(host)
    , directory_(directory)
    , model_(new SiteListModel({SiteListModel::Url, SiteListModel::Category, SiteListModel::Title},
                               this))
    , hoverGroup_(new ButtonHoverGroup(this)) {
    setObjectName(QStringLiteral("Search_Panel"));
    setAutoFillBackground(true);

    GroupBox3 = named(new QGroupBox(u(" الاسم المطلوب البحث عنه"), this), "GroupBox3");
    GroupBox3->setGeometry(330, 6, 314, 64);
    Edit4 = named(new QLineEdit(GroupBox3), "Edit4");
    Edit4->setGeometry(96, 26, 208, 24);
    Edit4->setLayoutDirection(Qt::RightToLeft);
    Edit4->installEventFilter(this);
    BitBtnWithColor1 = named(new ButtonWithColor(u("ابحث"), GroupBox3), "BitBtnWithColor1");
    BitBtnWithColor1->setGeometry(10, 25, 76, 26);

    RadioGroup1 = named(new QGroupBox(u("مجال البحث"), this), "RadioGroup1");
    RadioGroup1->setGeometry(8, 6, 314, 64);
    RadioButton1 = named(new QRadioButton(u("وصف العنوان"), RadioGroup1), "RadioButton1");
    RadioButton1->setGeometry(164, 28, 140, 22);
    RadioButton1->setChecked(true);
    RadioButton2 = named(new QRadioButton(u("العنوان"), RadioGroup1), "RadioButton2");
    RadioButton2->setGeometry(20, 28, 130, 22);

    // The list keeps its columns left to right, the address first, like the
    // browse list; the strips sit over the columns they name.
    constexpr int listX = 2, listWidth = 647;
    constexpr int urlX = listX + 1, categoryX = urlX + kUrlColumn,
                  titleX = categoryX + kCategoryColumn;
    UrlCaption = captionStrip("UrlCaption", "العنوان", this, {urlX, 78, kUrlColumn, 20});
    CategoryCaption =
        captionStrip("CategoryCaption", "الموضوع", this, {categoryX, 78, kCategoryColumn, 20});
    TitleCaption = captionStrip("TitleCaption", "وصف العنوان", this,
                                {titleX, 78, listX + listWidth - titleX, 20});

    ListView2 = named(new QTableView(this), "ListView2");
    ListView2->setGeometry(listX, 98, listWidth, 196);
    ListView2->setModel(model_);
    ListView2->setLayoutDirection(Qt::LeftToRight); // keeps the column order
    ListView2->horizontalHeader()->hide();
    ListView2->verticalHeader()->hide();
    ListView2->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView2->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView2->horizontalHeader()->setStretchLastSection(false);
    ListView2->setColumnWidth(0, kUrlColumn);
    ListView2->setColumnWidth(1, kCategoryColumn);
    ListView2->setColumnWidth(2, kTitleColumn);
    ListView2->setShowGrid(true);
    ListView2->setWordWrap(false);
    ListView2->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView2->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView2->setCursor(Qt::PointingHandCursor);
    ListView2->installEventFilter(this);
    connect(ListView2, &QTableView::doubleClicked, this, &SearchPanel::ListView2DblClick);
    // The same actions as the browse list; the menu is made on first use,
    // once the window that owns the actions is complete.
    ListView2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView2, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        if (!PopupMenu2) {
            PopupMenu2 =
                host_.siteActions().buildMenu(ListView2, model_, QString::fromUtf8("حــذف"));
            PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
        }
        PopupMenu2->popup(ListView2->viewport()->mapToGlobal(p));
    });

    Found_Label = named(new QLabel(this), "Found_Label");
    Found_Label->setGeometry(340, 298, 300, 22);
    Found_Label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Found_Label->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));

    connect(BitBtnWithColor1, &QPushButton::clicked, this, &SearchPanel::BitBtnWithColor1Click);
    connect(Edit4, &QLineEdit::returnPressed, this, &SearchPanel::Edit4Enter);
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton1Click();
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton2Click();
    });

    hoverGroup_->addButton(BitBtnWithColor1);
    for (QWidget* area : {static_cast<QWidget*>(ListView2), ListView2->viewport(),
                          static_cast<QWidget*>(this), static_cast<QWidget*>(GroupBox3)})
        hoverGroup_->addResetArea(area);
    // The scope group rests the button when the focus enters it.
    RadioButton1->installEventFilter(this);
    RadioButton2->installEventFilter(this);
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit4 && event->type() == QEvent::MouseButtonDblClick &&
        !Edit4->text().isEmpty()) {
        Edit4DblClick();
        return true;
    }
    if ((watched == RadioButton1 || watched == RadioButton2) && event->type() == QEvent::FocusIn)
        hoverGroup_->rest();
    // Fixed row heights keep a long list fast; they follow the display font.
    if (watched == ListView2 && event->type() == QEvent::FontChange)
        ListView2->verticalHeader()->setDefaultSectionSize(ListView2->fontMetrics().height() + 6);
    return QWidget::eventFilter(watched, event);
}

void SearchPanel::searchIfGiven() {
    if (!Edit4->text().isEmpty())
        SearchSites(Edit4->text());
}

void SearchPanel::BitBtnWithColor1Click() {
    searchIfGiven();
}

void SearchPanel::Edit4Enter() {
    searchIfGiven();
}

void SearchPanel::Edit4DblClick() {
    searchIfGiven();
}

void SearchPanel::SearchSites(const QString& query) {
    model_->clear();
    Edit4->clear();
    Found_Label->setText(QStringLiteral("      "));
    QApplication::setOverrideCursor(Qt::WaitCursor);

    const SearchScope scope =
        RadioButton2->isChecked() ? SearchScope::Address : SearchScope::Description;
    std::optional<SiteRowBuffer> rows = directory_.searchSites(query, scope);
    if (!rows) {
        QApplication::restoreOverrideCursor();
        return;
    }
    model_->setRowsByUrl(std::move(*rows));
    QApplication::restoreOverrideCursor();

    const int count = model_->rowCount();
    if (count == 0)
        host_.showMessageBox(u("الاسم المدخل غير موجود."), false);
    Found_Label->setText(foundText(count));
}

QString SearchPanel::foundText(int count) {
    return QStringLiteral("   ") + u("وجــد") + QLatin1Char(' ') + QString::number(count);
}

void SearchPanel::RadioButton1Click() {
    Edit4->setLayoutDirection(Qt::RightToLeft);
    Edit4->setFocus();
}

void SearchPanel::RadioButton2Click() {
    Edit4->setLayoutDirection(Qt::LeftToRight);
    Edit4->setFocus();
}

void SearchPanel::ListView2DblClick() {
    const QModelIndex current = ListView2->currentIndex();
    if (current.isValid() && ListView2->selectionModel()->isRowSelected(current.row(), {}))
        host_.openSite(model_->url(current.row()));
}

void SearchPanel::clearResults() {
    model_->clear();
}

void SearchPanel::focusQuery() {
    Edit4->setFocus();
}

void SearchPanel::restButtons() {
    hoverGroup_->rest();
}

void SearchPanel::applyDisplay(const DisplayLook& look) {
    look.applyToList(ListView2);
}

} // namespace korvalo

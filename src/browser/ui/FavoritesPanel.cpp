#include "browser/ui/FavoritesPanel.h"

#include "browser/InternetShortcut.h"
#include "data/Cp1256.h"
#include "data/Directory.h"
#include "data/SourceText.h"
#include "mainwindow/DisplayLook.h"
#include "mainwindow/PanelHost.h"
#include "mainwindow/SiteListModel.h"
#include "platform/LongTimerInterval.h"
#include "widgets/ButtonHoverGroup.h"
#include "widgets/ButtonWithColor.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QSlider>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace korvalo {

namespace {

constexpr int64_t kMinuteMs = 60000;

} // namespace

FavoritesPanel::FavoritesPanel(PanelHost& host, Directory& directory, QWidget* parent)
    : QWidget(parent)
    , host_(host)
    , directory_(directory)
    , model_(new SiteListModel({SiteListModel::Url, SiteListModel::Title}, this))
    , hover_(new ButtonHoverGroup(this)) {
    setObjectName(QStringLiteral("Favorites_Panel"));
    setAutoFillBackground(true);

    auto* urlCaption = new QLabel(u("العنوان"), this);
    urlCaption->setGeometry(8, 8, 280, 20);
    auto* titleCaption = new QLabel(u("إسم العنوان"), this);
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
    QPalette teal = ListView5->palette();
    teal.setColor(QPalette::Text, QColor(0, 128, 128));
    ListView5->setPalette(teal);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->hide();

    auto button = [this](const char* name, const char* text, QRect r) {
        auto* b = new ButtonWithColor(u(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(r);
        return b;
    };
    Button1 = button("Button1", "فتح كل المواقع", {529, 236, 115, 25});
    Button3 = button("Button3", "فتح المواقع المحددة", {399, 236, 126, 25});
    Button7 = button("Button7", "نقل المواقع المحددة الى مفضلة المتصفح", {159, 236, 236, 25});
    Button4 = button("Button4", "مسح محتويات المفضلة", {8, 236, 147, 25});
    Button3->setEnabled(false);
    Button7->setEnabled(false);
    connect(Button1, &QPushButton::clicked, this, &FavoritesPanel::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &FavoritesPanel::Button3Click);
    connect(Button7, &QPushButton::clicked, this, &FavoritesPanel::Button7Click);
    connect(Button4, &QPushButton::clicked, this, &FavoritesPanel::Button4Click);

    TrackBar1 = new QSlider(Qt::Horizontal, this);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setGeometry(8, 272, 330, 40);
    TrackBar1->setRange(0, kMaxMinutes);
    TrackBar1->setSingleStep(1);
    TrackBar1->setPageStep(1);
    TrackBar1->setTickPosition(QSlider::TicksAbove);
    TrackBar1->setTickInterval(1);
    connect(TrackBar1, &QSlider::valueChanged, this, &FavoritesPanel::TrackBar1Change);

    Label1 = new QLabel(u("المؤقت : فتح موقع كل 0 دقيقة"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(346, 282, 298, 20);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    connect(Timer2, &QTimer::timeout, this, &FavoritesPanel::Timer2Timer);

    connect(ListView5, &QAbstractItemView::doubleClicked, this, &FavoritesPanel::ListView5DblClick);
    connect(ListView5->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FavoritesPanel::ListView5SelectItem);

    for (ButtonWithColor* b : {Button1, Button3, Button4, Button7})
        hover_->addButton(b);
    hover_->addResetArea(ListView5);
    hover_->addResetArea(ListView5->viewport());
    hover_->addResetArea(this);

    // A site sent here from any list lands in this one.
    connect(&directory_, &Directory::favoriteAdded, this, &FavoritesPanel::appendRow);
}

void FavoritesPanel::setRows(const std::vector<SiteRow>& rows) {
    model_->setRows(rows);
    ListBox1->clear();
    for (const SiteRow& r : rows)
        ListBox1->addItem(Cp1256::toUnicode(r.title));
}

void FavoritesPanel::appendRow(const SiteRow& row) {
    model_->appendRow(row);
    ListBox1->addItem(Cp1256::toUnicode(row.title));
}

void FavoritesPanel::clear() {
    model_->clear();
    ListBox1->clear();
}

void FavoritesPanel::refreshButtons() {
    const bool selected = ListView5->selectionModel()->hasSelection();
    const bool rows = model_->rowCount() > 0;
    Button3->setEnabled(selected);
    Button7->setEnabled(selected);
    Button1->setEnabled(rows);
    Button4->setEnabled(rows);
    TrackBar1->setEnabled(rows);
}

void FavoritesPanel::refreshButtonsFromTray() {
    const bool rows = model_->rowCount() > 0;
    for (QWidget* w :
         std::initializer_list<QWidget*>{Button1, Button3, Button4, Button7, TrackBar1})
        w->setEnabled(rows);
}

std::vector<int> FavoritesPanel::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : ListView5->selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void FavoritesPanel::AddToFavorites(const QString& address) {
    directory_.addFavorite(address);
}

void FavoritesPanel::restButtons() {
    hover_->rest();
}

void FavoritesPanel::applyDisplay(const DisplayLook& look) {
    look.applyToList(ListView5);
}

void FavoritesPanel::Button1Click() {
    // A start that fails shows its warning box and the run goes on.
    for (int row = 0; row < model_->rowCount(); ++row)
        host_.openSite(model_->url(row));
}

void FavoritesPanel::Button3Click() {
    for (int row : selectedRows())
        host_.openSite(model_->url(row));
}

void FavoritesPanel::ListView5DblClick() {
    const std::vector<int> rows = selectedRows();
    if (!rows.empty())
        host_.openSite(model_->url(rows.front()));
}

void FavoritesPanel::Button7Click() {
    const QString folder = directory_.state().favoritesFolder;
    for (int row : selectedRows()) {
        if (!WriteInternetShortcut(folder, model_->title(row), model_->url(row))) {
            host_.showMessageBox(u("لم يتم نقل العنوان الى المفضلة لعدم وجود مساحة خالية"), false);
            return;
        }
    }
    host_.showMessageBox(u("تمت عملية النقل بنجاح"), false);
}

void FavoritesPanel::Button4Click() {
    if (host_.showMessageBox(u("سيتم مسح جميع العناوين\n هل تريد الاستمرار ؟"), true) != 1)
        return;
    clear();
    for (QWidget* w :
         std::initializer_list<QWidget*>{Button1, Button7, Button3, Button4, TrackBar1})
        w->setEnabled(false);
    // The timer and its counter go on: later ticks find no row to open.
    directory_.clearFavorites();
}

void FavoritesPanel::TrackBar1Change(int minutes) {
    if (minutes == 0)
        Timer2->stop();
    else // every change starts the countdown afresh
        Timer2->start(longTimerInterval(minutes * kMinuteMs));
    // The slider's own groove shows the range from 0 to the position.
    Label1->setText(u("المؤقت : فتح موقع كل ") + QString::number(minutes) + u(" دقيقة "));
}

void FavoritesPanel::Timer2Timer() {
    if (nextRow_ >= model_->rowCount())
        return;
    // Counted before opening: a failed start's warning box runs a nested
    // event loop, in which a later tick must not open the same row again.
    const QString url = model_->url(nextRow_);
    ++nextRow_;
    host_.openSite(url);
}

void FavoritesPanel::ListView5SelectItem() {
    Button3->setEnabled(true);
    Button7->setEnabled(true);
}

} // namespace korvalo

#include "mainwindow/TForm1.h"

#include "browser/ui/BrowserFavoritesPanel.h"
#include "browser/ui/FavoritesPanel.h"
#include "data/CategoryFile.h"
#include "data/Cp1256.h"
#include "data/Records.h"
#include "data/SettingsStore.h"
#include "data/SiteListing.h"
#include "desktop/CommandErrorBox.h"
#include "desktop/TMessageForm.h"
#include "desktop/TTrayIcon.h"
#include "images/ArtworkResources.h"
#include "mainwindow/AddPanel.h"
#include "mainwindow/BrowsePanel.h"
#include "mainwindow/FloatingHint.h"
#include "mainwindow/NavigationShell.h"
#include "mainwindow/OptionsPanel.h"
#include "mainwindow/SiteActions.h"
#include "mainwindow/SiteListModel.h"
#include "mainwindow/TAddForm1.h"
#include "online/TOnlineIP.h"
#include "online/ui/OnlineStatus.h"
#include "platform/AtomicFile.h"
#include "platform/ProgramDirectory.h"
#include "platform/RegistryFile.h"
#include "platform/TAutoRunner.h"
#include "platform/TXJustOne.h"
#include "search/ui/SearchPanel.h"
#include "search/ui/WebSearchBox.h"
#include "widgets/ButtonHoverGroup.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/ColorPickerButton.h"
#include "widgets/PlatformColor.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace korvalo {

namespace {

// Stand-in for the lists' design face: installed with the program and
// drawing Arabic as well as Latin text.
const char* const kListDesignFamily = "DejaVu Sans";
constexpr int kListDesignPointSize = 10;

// The lists and trees whose font and colours follow the display settings;
// only the lists take the font size.
constexpr const char* kDisplayLists[] = {"ListView1", "ListView2", "ListView5", "ListView6"};
constexpr const char* kDisplayTrees[] = {"TreeView1", "TreeView2"};
constexpr const char* kCaptionStrips[] = {"Panel6", "Panel7", "Panel8"};
constexpr const char* kRightToLeftTrees[] = {"TreeView1", "TreeView2", "TreeView3"};

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Selects the entry whose text equals text; when several do, the last one
// wins, and when none does nothing is selected.
void selectLastEqual(QComboBox* box, const QString& text) {
    int found = -1;
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i) == text)
            found = i;
    box->setCurrentIndex(found);
}

// Trees keep a right-to-left layout; only their reading order follows the
// background colour. Each label is aligned the way it then reads.
void setReadingOrder(QTreeWidget* tree, Qt::LayoutDirection direction) {
    tree->setProperty("readingOrder", int(direction));
    // Absolute, or the right-to-left layout would mirror it back.
    const Qt::Alignment a = (direction == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft) |
                            Qt::AlignAbsolute | Qt::AlignVCenter;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        (*it)->setTextAlignment(0, a);
}

} // namespace

TForm1::TForm1(StartupEnvironment environment, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , env_(std::move(environment)) {
    registerArtworkResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Korvalo"));
    setFixedSize(kWidth, kHeight);
    setLayoutDirection(Qt::RightToLeft);
    setWindowIcon(QIcon(QStringLiteral(":/artwork/korvalo-icon.png")));

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(0, 0, kWidth, kHeight);
    Image2->setPixmap(QPixmap(QStringLiteral(":/artwork/background.jpg")));

    // Over the background: the drag area, then the toolbar's hot zones and
    // their lit pictures; everything else is laid on top of them.
    Image3 = new BackgroundArea(this);
    connect(Image3, &BackgroundArea::mouseMovedOver, this, &TForm1::Image3MouseMove);
    for (const ToolbarButton& b : toolbarButtons()) {
        const QString name = QString::fromLatin1(b.name);
        auto* zone = new HotZone(name + QStringLiteral("_Image1"), b.zone, this);
        auto* lit =
            new LitPicture(name + QStringLiteral("_Image2"), b.lit,
                           QStringLiteral(":/artwork/toolbar/") + name + QStringLiteral(".jpg"),
                           QString::fromUtf8(b.hint), this);
        connect(zone, &HotZone::entered, lit, &QWidget::show);
        connect(lit, &LitPicture::clicked, this, [this, name] { toolbarClick(name); });
        litPictures_.push_back(lit);
    }

    // The online watcher polls from the start; the web search and the status
    // strip follow it.
    OnlineIP1 = new TOnlineIP(this);
    OnlineIP1->setObjectName(QStringLiteral("OnlineIP1"));
    Web_Search = new WebSearchBox(*this, this);
    Web_Search->setGeometry(WebSearchBox::kGeometry);
    Web_Search->setOnlineWatcher(OnlineIP1);
    Online_Status = new OnlineStatus(*this, this);
    Online_Status->setGeometry(OnlineStatus::kGeometry);
    connect(OnlineIP1, &TOnlineIP::changed, this, &TForm1::OnlineIP1Changed);

    BitBtnWithColor6 = new ButtonWithColor(QStringLiteral("X"), this);
    BitBtnWithColor6->setObjectName(QStringLiteral("BitBtnWithColor6"));
    BitBtnWithColor6->setToolTip(u("اغلاق"));
    BitBtnWithColor6->setGeometry(5, 2, 15, 14);
    BitBtnWithColor4 = new ButtonWithColor(u("ــ"), this);
    BitBtnWithColor4->setObjectName(QStringLiteral("BitBtnWithColor4"));
    BitBtnWithColor4->setToolTip(u("تصغير"));
    BitBtnWithColor4->setGeometry(23, 2, 17, 14);
    for (ButtonWithColor* b : {BitBtnWithColor6, BitBtnWithColor4}) {
        // Silver nine-pixel captions on pure blue.
        b->setBackgroundColor(QColor(0, 0, 255));
        b->setTextColor(QColor(0xC0, 0xC0, 0xC0));
        QFont f = b->font();
        f.setPixelSize(9);
        f.setBold(true);
        b->setFont(f);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(BitBtnWithColor6, &QPushButton::clicked, this, &TForm1::N18Click);
    connect(BitBtnWithColor4, &QPushButton::clicked, this, &TForm1::MinimizeClick);

    Caption = new QLabel(this);
    Caption->setObjectName(QStringLiteral("Caption"));
    Caption->setGeometry(44, 1, 160, 16);
    Caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Caption->setStyleSheet(QStringLiteral("color: silver; font-size: 9px;"));

    Count_Label = new QLabel(this);
    Count_Label->setObjectName(QStringLiteral("Count_Label"));
    Count_Label->setGeometry(150, 512, 230, 22);
    Count_Label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Count_Label->setStyleSheet(QStringLiteral("color: #1b3a5c;"));

    // Hidden controls that hold program state, as the rest of the window
    // reads it.
    ProgramDirEdit = new QLineEdit(this);
    ProgramDirEdit->setObjectName(QStringLiteral("ProgramDirEdit"));
    ProgramDirEdit->hide();
    Edit6 = new QLineEdit(this);
    Edit6->setObjectName(QStringLiteral("Edit6"));
    Edit6->hide();
    Category = new QListWidget(this);
    Category->setObjectName(QStringLiteral("Category"));
    Category->hide();

    // The site edit dialog lives for the whole run, hidden until an edit.
    AddForm1 = new TAddForm1(this);
    siteActions_ = new SiteActions(*this, *AddForm1, this);

    const QRect panelArea(1, 171, 651, 326);
    Show_Panel = new BrowsePanel(*this, this);
    Favorites_Panel = new FavoritesPanel(*this, this);
    Config_Panel = new OptionsPanel(*this, this);
    Add_Panel = new AddPanel(*this, this);
    Search_Panel = new SearchPanel(*this, this);
    Ie_Fav_Panel = new BrowserFavoritesPanel(*this, this);
    for (QWidget* panel : panels()) {
        panel->setGeometry(panelArea);
        panel->setVisible(panel == Show_Panel);
    }

    auto maintenance = [this](const char* name, const char* text, QRect r) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(r);
        b->hide();
        return b;
    };
    Button13 = maintenance("Button13", "New", {552, 72, 37, 21});
    Button12 = maintenance("Button12", "Open", {496, 72, 37, 21});
    Button11 = maintenance("Button11", "Category", {64, 24, 65, 17});
    Button14 = maintenance("Button14", "Url", {120, 0, 51, 17});

    // Coloured-button hover groups and the areas that rest them.
    auto group = [this](std::initializer_list<const char*> buttons,
                        std::initializer_list<QWidget*> areas) {
        auto* g = new ButtonHoverGroup(this);
        for (const char* name : buttons)
            for (ButtonWithColor* b : ownButtons(name))
                g->addButton(b);
        for (QWidget* area : areas)
            g->addResetArea(area);
    };
    group({"BitBtnWithColor8", "BitBtnWithColor9"}, {Config_Panel});
    group({"BitBtnWithColor2"}, {});
    group({"BitBtnWithColor3", "BitBtnWithColor13", "BitBtnWithColor15"},
          {findChild<QWidget*>(QStringLiteral("GroupBox4")), Add_Panel->TreeView2,
           Add_Panel->Add_Cat});

    buildTrayMenu();
    TrayIcon1 = new TTrayIcon(this, TrayMenu, this);
    connect(TrayIcon1, &TTrayIcon::minimized, this, &TForm1::TrayIcon1Minimize);

    addCategoryTree(Show_Panel->TreeView1);
    addCategoryTree(Add_Panel->TreeView2);
    addCategoryList(Add_Panel->ComboBox2);
    addCategoryList(AddForm1->ComboBox1);
}

TForm1::~TForm1() = default;

void TForm1::plainMessage(const QString& text) {
    if (env_.plainMessage) {
        env_.plainMessage(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Korvalo"), text, QMessageBox::Ok);
    box.setLayoutDirection(Qt::RightToLeft);
    box.exec();
}

void TForm1::quit(int status) {
    ending_ = true;
    if (env_.quit)
        env_.quit(status);
    else // queued, so that it also ends a program whose loop has not started yet
        QMetaObject::invokeMethod(
            qApp, [status] { QCoreApplication::exit(status); }, Qt::QueuedConnection);
}

QString TForm1::categoryFileMissingMessage() {
    return u("cate.dat  تعذر فتح الملف") + QLatin1Char('\n') + u(" الملف مطلوب لتشغيل البرنامج");
}

void TForm1::categoryFileMissing() {
    plainMessage(categoryFileMissingMessage());
    hide();
    quit(1);
}

void TForm1::openSite(const QString& address) {
    openInBrowserOrWarn(this, state_.browserPath, address);
}

int TForm1::showMessageBox(const QString& text, bool yesNo) {
    return ShowMessageBox(text, yesNo);
}

QList<ButtonWithColor*> TForm1::ownButtons(const char* name) const {
    // The dialogs this window owns reuse some of its button names.
    QList<ButtonWithColor*> own;
    for (ButtonWithColor* b : findChildren<ButtonWithColor*>(QString::fromLatin1(name)))
        if (b->window() == this)
            own << b;
    return own;
}

void TForm1::Image3MouseMove() {
    if (hint_)
        hint_->activate({}, {}, {});
    // The coloured buttons of every panel rest again.
    for (const char* name :
         {"Button1", "Button3", "Button4", "Button7", "BitBtn10", "BitBtnWithColor10",
          "BitBtnWithColor12", "BitBtnWithColor8", "BitBtnWithColor9", "BitBtnWithColor1",
          "BitBtnWithColor3", "BitBtnWithColor2"})
        for (ButtonWithColor* b : ownButtons(name))
            b->setBackgroundColor(colorFromWord(ButtonWithColor::kRestingColor));
    for (QLabel* lit : litPictures_)
        lit->hide();
}

void TForm1::toolbarClick(const QString& name) {
    if (name == QStringLiteral("Show"))
        ShowPanel(Show_Panel);
    else if (name == QStringLiteral("Favorites")) {
        ShowPanel(Favorites_Panel);
        Favorites_Panel->refreshButtons();
    } else if (name == QStringLiteral("Favorites_Ie")) {
        ShowPanel(Ie_Fav_Panel);
        Ie_Fav_Panel->reload();
    } else if (name == QStringLiteral("Add"))
        ShowPanel(Add_Panel);
    else if (name == QStringLiteral("Email"))
        ShowPanel(Config_Panel);
    else if (name == QStringLiteral("Search")) {
        ShowPanel(Search_Panel);
        Search_Panel->Edit4->setFocus();
    }
    // The contact, assistant and about buttons have no window yet; they only
    // light up.
}

std::vector<QWidget*> TForm1::panels() const {
    return {Show_Panel, Favorites_Panel, Config_Panel, Add_Panel, Search_Panel, Ie_Fav_Panel};
}

QWidget* TForm1::browsePanel() const {
    return Show_Panel;
}

void TForm1::endProgram(int status) {
    FormClose();
    quit(status);
}

void TForm1::ShowPanel(QWidget* panel) {
    for (QWidget* p : panels())
        p->setVisible(p == panel);
}

int32_t TForm1::userMark() const {
    return Add_Panel->userMark();
}

void TForm1::addToFavorites(const QString& address) {
    Favorites_Panel->AddToFavorites(address);
}

void TForm1::appendBrowseRow(const SiteRow& row) {
    Show_Panel->sites()->appendRow(row);
}

bool TForm1::browsePanelShown() const {
    return Show_Panel->isVisible();
}

QString TForm1::browseTreeSelection() const {
    QTreeWidgetItem* item = Show_Panel->TreeView1->currentItem();
    return item ? item->text(0) : QString();
}

void TForm1::switchMaintainerModeOn() {
    maintainerMode_ = true;
    const QString info =
        QString::fromLatin1(kInfoCategoryName.data(), qsizetype(kInfoCategoryName.size()));
    Add_Panel->ComboBox2->addItem(info);
    AddForm1->ComboBox1->addItem(info);
    Show_Panel->TreeView1->addTopLevelItem(new QTreeWidgetItem(QStringList{info}));
    for (QWidget* w :
         std::initializer_list<QWidget*>{Add_Panel->Button2, Add_Panel->Edit10, AddForm1->Edit2,
                                         Button11, Button12, Button13, Button14})
        w->show();
}

void TForm1::setSiteCount(int64_t count) {
    state_.siteCount = count;
    Count_Label->setText(u("عدد المواقع المسجلة    ") + QString::number(count));
}

void TForm1::placeOnScreen() {
    const QSize screen = env_.screenSize ? *env_.screenSize
                         : QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->size()
                             : QSize(1024, 768);
    if (screen.width() < 800) {
        plainMessage(u("يفضل ضبط الشاشة على دقة 800*600 او اكثر"));
        move(kDesignedPosition);
    } else {
        move(0, 0);
    }
    // Integer division rounds each half toward zero.
    if (screen.width() > 800)
        move(screen.width() / 2 - width() / 2, screen.height() / 2 - height() / 2);
}

void TForm1::loadStartupSettings() {
    const StartupSettings s = LoadStartupSettings(
        *settings_, env_.autorunEntryFound || Config_Panel->autoRunner().AutoRun());
    state_.firstRunMarker = s.firstRunMarker;
    state_.browserPath = s.browserPath;
    state_.favoritesFolder = s.favoritesFolder;
    state_.banerNo = s.banerNo;
    state_.minimiseFlag = s.minimiseFlag;
    Config_Panel->Edit9->setText(s.browserPath);
    Config_Panel->Edit8->setText(s.favoritesFolder);
    Config_Panel->CheckBox2->setChecked(s.startWithSystemTicked);
    Config_Panel->MinimCheck->setChecked(s.minimTicked);
    Config_Panel->MinimCheck->setEnabled(s.minimEnabled);
}

bool TForm1::startUp() {
    // Another running copy is only reported; this one goes on starting.
    justOne_ = std::make_unique<TXJustOne>(
        env_.instanceName.isEmpty() ? QCoreApplication::applicationName() : env_.instanceName,
        env_.instanceLockFolder);
    if (justOne_->alreadyExists())
        plainMessage(u("البرنامج يعمل حالياً"));

    // 1-2. The floating hint; the category trees lay out right to left.
    hint_ = new FloatingHint(this);
    for (const char* name : kRightToLeftTrees)
        if (auto* tree = findChild<QWidget*>(QString::fromLatin1(name)))
            tree->setLayoutDirection(Qt::RightToLeft);

    // 3. The program directory.
    state_.programDir = env_.programDir.isEmpty()
                            ? resolveProgramDirectory(QCoreApplication::applicationDirPath())
                            : env_.programDir;
    if (!state_.programDir.endsWith(QLatin1Char('/')))
        state_.programDir += QLatin1Char('/');
    ProgramDirEdit->setText(state_.programDir);

    // 4. The screen.
    placeOnScreen();

    // 5-6. Settings.
    registry_ = std::make_unique<RegistryFile>(
        env_.registryPath.isEmpty() ? RegistryFile::defaultPath() : env_.registryPath);
    settings_ = std::make_unique<SettingsStore>(*registry_);
    loadStartupSettings();
    Edit6->setText(state_.browserPath);

    // 7. The folder of the scratch file.
    const QString temp = state_.programDir + QStringLiteral("temp");
    if (!QFileInfo(temp).isDir() && !QDir().mkdir(temp))
        plainMessage(QStringLiteral("Cannot create \\temp  directory."));

    // 8. The name of category 1, for the header of the list.
    const CategoryNameLookup first = FindCategoryName(state_.catePath(), 1);
    if (!first.opened) {
        categoryFileMissing();
        return false;
    }
    const QString firstName = first.name ? Cp1256::toUnicode(*first.name) : QString();

    // 9-10. One pass over the site file.
    Show_Panel->sites()->clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int32_t infoId =
        FindCategoryId(state_.catePath(), std::string(kInfoCategoryName)).value_or(0);
    const StartupScan scan = ScanSiteFileAtStartup(state_.sitePath(), infoId);
    if (!scan.opened) {
        QApplication::restoreOverrideCursor();
        plainMessage(state_.siteFileName + u(" تعذر فتح الملف"));
        quit(1);
        return false;
    }
    state_.siteCount = static_cast<int64_t>(scan.siteCount);
    state_.versionLabel = Cp1256::toUnicode(scan.versionLabel);
    state_.storedPassword = Cp1256::toUnicode(scan.storedPassword);
    Show_Panel->sites()->setRows(scan.firstCategoryRows);

    // Writers killed midway in an earlier run may have left their temporary
    // files beside the data files.
    for (const std::string& data : {state_.sitePath(), state_.catePath(), state_.favoritesPath()})
        removeStaleTemporaries(data);

    // 11. The header over the list.
    Show_Panel->setHeader(firstName, static_cast<int>(scan.firstCategoryRows.size()));

    // 12. The favourites.
    Favorites_Panel->setRows(ReadSiteRows(state_.favoritesPath()));

    // 13. The labels.
    Caption->setText(u("الاصدار ") + state_.versionLabel);
    setSiteCount(state_.siteCount);
    QApplication::restoreOverrideCursor();

    FormCreate();
    return true;
}

void TForm1::FormCreate() {
    loadDisplaySettings();
}

void TForm1::loadDisplaySettings() {
    OptionsPanel* o = Config_Panel;
    QStringList families = QFontDatabase::families();
    families.sort();
    o->FontComboBox1->clear();
    o->FontComboBox1->addItems(families);

    const DisplaySettings d = LoadDisplaySettings(*settings_);
    if (d.fontName) {
        selectLastEqual(o->FontComboBox1, *d.fontName);
        if (d.fontSize)
            selectLastEqual(o->FontSizeComboBox, *d.fontSize);
        if (d.bold)
            o->FontCheckBox1->setChecked(*d.bold);
        if (d.italic)
            o->FontCheckBox2->setChecked(*d.italic);
        o->ColorPickerButton3->setColor(d.colors.listText);
        o->ColorPickerButton4->setColor(d.colors.listBack);
        o->ColorPickerButton1->setColor(d.colors.headText);
        o->ColorPickerButton2->setColor(d.colors.headBack);
    } else {
        const QFont design(QString::fromLatin1(kListDesignFamily), kListDesignPointSize);
        Show_Panel->ListView1->setFont(design);
        const QFontInfo listFont(Show_Panel->ListView1->font());
        selectLastEqual(o->FontComboBox1, listFont.family());
        selectLastEqual(o->FontSizeComboBox,
                        QString::number(Show_Panel->ListView1->font().pointSize()));
    }
    ApplyDisplaySettings();
}

void TForm1::ApplyDisplaySettings() {
    OptionsPanel* o = Config_Panel;
    std::vector<QWidget*> lists, trees;
    for (const char* name : kDisplayLists)
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(name)))
            lists.push_back(w);
    for (const char* name : kDisplayTrees)
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(name)))
            trees.push_back(w);

    bool sizeOk = false;
    const int size = o->FontSizeComboBox->currentText().toInt(&sizeOk);
    const QColor text = colorFromWord(o->ColorPickerButton3->color());
    const QColor back = colorFromWord(o->ColorPickerButton4->color());
    auto apply = [&](QWidget* w, bool isList) {
        QFont f = w->font();
        f.setBold(o->FontCheckBox1->isChecked());
        if (!o->FontComboBox1->currentText().isEmpty())
            f.setFamily(o->FontComboBox1->currentText());
        f.setItalic(o->FontCheckBox2->isChecked());
        if (isList && sizeOk && size > 0)
            f.setPointSize(size);
        w->setFont(f);
        QPalette pal = w->palette();
        pal.setColor(QPalette::Text, text);
        pal.setColor(QPalette::Base, back);
        w->setPalette(pal);
    };
    for (QWidget* w : lists)
        apply(w, true);
    for (QWidget* w : trees)
        apply(w, false);

    const QColor headText = colorFromWord(o->ColorPickerButton1->color());
    const QColor headBack = colorFromWord(o->ColorPickerButton2->color());
    for (const char* name : kCaptionStrips) {
        if (auto* strip = findChild<QWidget*>(QString::fromLatin1(name))) {
            QPalette pal = strip->palette();
            pal.setColor(QPalette::Window, headBack);
            pal.setColor(QPalette::WindowText, headText);
            strip->setPalette(pal);
        }
    }

    // The trees read right to left only on a plain white background.
    const Qt::LayoutDirection reading =
        o->ColorPickerButton4->color() == 0x00FFFFFF ? Qt::RightToLeft : Qt::LeftToRight;
    for (QWidget* tree : trees)
        if (auto* t = qobject_cast<QTreeWidget*>(tree))
            setReadingOrder(t, reading);
    for (const char* name : kRightToLeftTrees)
        if (auto* tree = findChild<QWidget*>(QString::fromLatin1(name))) {
            tree->setLayoutDirection(Qt::RightToLeft);
            tree->update();
        }
}

bool TForm1::BuildCategoryViews(QTreeWidget* except) {
    std::vector<QTreeWidget*> trees;
    for (QTreeWidget* t : categoryTrees_)
        if (t != except)
            trees.push_back(t);
    for (QTreeWidget* t : trees)
        t->setUpdatesEnabled(false);
    for (QComboBox* l : categoryLists_)
        l->setUpdatesEnabled(false);
    auto resume = [this, &trees] {
        for (QTreeWidget* t : trees)
            t->setUpdatesEnabled(true);
        for (QComboBox* l : categoryLists_)
            l->setUpdatesEnabled(true);
    };
    for (QTreeWidget* t : trees)
        t->clear();
    for (QComboBox* l : categoryLists_)
        l->clear();
    Category->clear();

    const auto tree = ReadCategoryTree(state_.catePath());
    if (!tree) {
        resume();
        categoryFileMissing();
        return false;
    }
    for (QTreeWidget* t : trees) {
        QList<QTreeWidgetItem*> tops;
        for (const CategoryTree::Main& m : tree->mains) {
            auto* top = new QTreeWidgetItem(QStringList{Cp1256::toUnicode(m.name)});
            for (const std::string& c : m.children)
                top->addChild(new QTreeWidgetItem(QStringList{Cp1256::toUnicode(c)}));
            tops << top;
        }
        t->addTopLevelItems(tops);
    }
    QStringList flat;
    for (const std::string& n : tree->flat)
        flat << Cp1256::toUnicode(n);
    for (QComboBox* l : categoryLists_)
        l->addItems(flat);
    for (const std::string& n : tree->names)
        Category->addItem(Cp1256::toUnicode(n));
    for (QTreeWidget* t : trees)
        if (const QVariant order = t->property("readingOrder"); order.isValid())
            setReadingOrder(t, Qt::LayoutDirection(order.toInt()));
    resume();
    return true;
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
}

void TForm1::FormShow() {
    if (!BuildCategoryViews())
        return;
    // A stored password guards the rest of the start.
    if (!state_.storedPassword.isEmpty() && !Config_Panel->RunPasswordGate(state_.storedPassword))
        return;
    Web_Search->selectFirstEngine();
    // The current category is the first of the tree, whose sites the list
    // already shows, so a click on it reads nothing again.
    state_.currentCategoryName = Category->count() > 0 ? Category->item(0)->text() : QString();
}

void TForm1::clearLists() {
    for (QListWidget* l : findChildren<QListWidget*>())
        if (l != Category)
            l->clear();
    Show_Panel->sites()->clear();
    Favorites_Panel->clear();
    Search_Panel->clearResults();
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TForm1::FormClose() {
    setEnabled(false);
    hide();
    clearLists();
    if (hint_) {
        hint_->deleteLater();
        hint_ = nullptr;
    }
}

void TForm1::N18Click() {
    setEnabled(false);
    hide();
    clearLists();
    for (const char* name : {"temp/Temp.tmp", "temp/1.gif", "temp/ad.tmp"})
        QFile::remove(state_.programDir + QString::fromLatin1(name));
    quit(0);
}

void TForm1::MinimizeClick() {
    N1->setEnabled(true);
    TrayIcon1->Minimize();
}

void TForm1::TrayIcon1Minimize() {
    if (settings_ && settings_->ReadSetting(QStringLiteral("Task")) == QStringLiteral("1"))
        return;
    TMessageForm& box = TMessageForm::instance();
    box.Image2->show();
    box.CheckBox1->show();
    ShowMessageBox(u("دائماً عند تصغير البرنامج,البرنامج سيستمر في العمل ") + QLatin1Char('\n') +
                       u("وتجده قرب الساعة الموجودة في الشريط السفلي"),
                   false);
    box.Image2->hide();
    box.CheckBox1->hide();
    if (box.CheckBox1->isChecked() && settings_)
        settings_->WriteSetting(QStringLiteral("Task"), QStringLiteral("1"));
}

void TForm1::OnlineIP1Changed() {
    Online_Status->showState(OnlineIP1->Online(), OnlineIP1->IP());
}

void TForm1::restoreAnd(QWidget* panel) {
    TrayIcon1->Restore();
    if (panel)
        ShowPanel(panel);
}

void TForm1::buildTrayMenu() {
    TrayMenu = new QMenu(this);
    TrayMenu->setObjectName(QStringLiteral("TrayMenu"));
    TrayMenu->setLayoutDirection(Qt::RightToLeft);
    N1 = TrayMenu->addAction(u("إظهار النافذة"), this, [this] {
        TrayIcon1->Restore();
        N1->setEnabled(false);
    });
    N1->setEnabled(false);
    TrayMenu->addSeparator();
    TrayMenu->addAction(u("مواقع"), this, [this] { restoreAnd(Show_Panel); });
    QMenu* add = TrayMenu->addMenu(u("اضافة"));
    add->addAction(u("عنوان"), this, [this] {
        restoreAnd(Add_Panel);
        Add_Panel->showTab(AddPanel::kAddressTab);
    });
    add->addAction(u("موضوع"), this, [this] {
        restoreAnd(Add_Panel);
        Add_Panel->showTab(AddPanel::kCategoryTab);
        Add_Panel->Edit7->clear();
        Add_Panel->Edit7->setFocus();
    });
    TrayMenu->addAction(u("بحث"), this, [this] {
        restoreAnd(Search_Panel);
        Search_Panel->Edit4->setFocus();
    });
    QMenu* favorites = TrayMenu->addMenu(u("المفضلة"));
    favorites->addAction(u("مفضلة Korvalo"), this, [this] {
        restoreAnd(Favorites_Panel);
        Favorites_Panel->refreshButtonsFromTray();
    });
    // Filled with the browsers' bookmarks by the bookmarks reader.
    QMenu* bookmarks = favorites->addMenu(u("مفضلة المتصفحات"));
    bookmarks->setObjectName(QStringLiteral("BookmarksMenu"));
    TrayMenu->addSeparator();
    TrayMenu->addAction(u("خصائص"), this, [this] { restoreAnd(Config_Panel); });
    TrayMenu->addSeparator();
    TrayMenu->addAction(u("انهاء"), this, &TForm1::N18Click);
}

} // namespace korvalo

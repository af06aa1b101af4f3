#include "mainwindow/TForm1.h"

#include "browser/ui/BrowserFavoritesPanel.h"
#include "browser/ui/FavoritesPanel.h"
#include "browser/ui/TBookmarks.h"
#include "data/SettingsStore.h"
#include "data/SourceText.h"
#include "desktop/CommandErrorBox.h"
#include "desktop/THelpArt.h"
#include "desktop/TMessageForm.h"
#include "desktop/TSplash.h"
#include "desktop/TTrayIcon.h"
#include "images/ArtworkResources.h"
#include "mainwindow/AddPanel.h"
#include "mainwindow/AssistantExplanations.h"
#include "mainwindow/AssistantMode.h"
#include "mainwindow/BackgroundArea.h"
#include "mainwindow/BrowsePanel.h"
#include "mainwindow/DisplayLook.h"
#include "mainwindow/FloatingHint.h"
#include "mainwindow/HotZone.h"
#include "mainwindow/LitPicture.h"
#include "mainwindow/MaintenanceTools.h"
#include "mainwindow/OptionsPanel.h"
#include "mainwindow/SiteActions.h"
#include "mainwindow/TAddForm1.h"
#include "mainwindow/ToolbarButton.h"
#include "online/TOnlineIP.h"
#include "online/ui/BannerStrip.h"
#include "online/ui/ContactMenu.h"
#include "online/ui/OnlineStatus.h"
#include "online/ui/TFormMail.h"
#include "online/ui/TSendUrlToFrind.h"
#include "platform/ProgramDirectory.h"
#include "platform/RegistryFile.h"
#include "platform/TAutoRunner.h"
#include "platform/TXJustOne.h"
#include "search/ui/SearchPanel.h"
#include "search/ui/WebSearchBox.h"
#include "widgets/ButtonWithColor.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace korvalo {

namespace {

// Stand-in for the lists' design face: installed with the program and
// drawing Arabic as well as Latin text.
const char* const kListDesignFamily = "DejaVu Sans";
constexpr int kListDesignPointSize = 10;

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
    Online_Status = new OnlineStatus(this);
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

    // The settings are read at start-up; the options panel works on them.
    registry_ = std::make_unique<RegistryFile>(
        env_.registryPath.isEmpty() ? RegistryFile::defaultPath() : env_.registryPath);
    settings_ = std::make_unique<SettingsStore>(*registry_);

    createAssistantWindows();
    // The site edit dialog lives for the whole run, hidden until an edit.
    AddForm1 = new TAddForm1(this);
    siteActions_ = new SiteActions(*this, directory_, *AddForm1, this);

    const QRect panelArea(1, 171, 651, 326);
    Show_Panel = new BrowsePanel(*this, directory_, this);
    Favorites_Panel = new FavoritesPanel(*this, directory_, this);
    Config_Panel = new OptionsPanel(*this, directory_, *settings_, this);
    Add_Panel = new AddPanel(*this, directory_, this);
    Search_Panel = new SearchPanel(*this, directory_, this);
    Ie_Fav_Panel = new BrowserFavoritesPanel(*this, directory_, this);
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

    buildTrayMenu();
    TrayIcon1 = new TTrayIcon(this, TrayMenu, this);
    connect(TrayIcon1, &TTrayIcon::minimized, this, &TForm1::TrayIcon1Minimize);

    // The views BuildCategoryViews fills.
    categoryViews_.addTree(Show_Panel->TreeView1);
    categoryViews_.addTree(Add_Panel->TreeView2, true); // renamed in place
    categoryViews_.addTree(Ie_Fav_Panel->categoryTree());
    categoryViews_.addList(Add_Panel->ComboBox2);
    categoryViews_.addList(AddForm1->ComboBox1);
    categoryViews_.setNameList(Category);

    connect(Add_Panel, &AddPanel::maintainerCodeGiven, this, &TForm1::switchMaintainerModeOn);
    connect(Config_Panel, &OptionsPanel::displaySettingsSaved, this, &TForm1::ApplyDisplaySettings);
    // A delete pressed while the browse panel is shown takes its tree's name.
    Add_Panel->setDeleteNameSource([this]() -> std::optional<QString> {
        if (!Show_Panel->isVisible())
            return std::nullopt;
        return Show_Panel->selectedCategoryName();
    });
    wireDirectory();
    wireMaintenance();
    wireBanners();
    wireMail();
    // Made last: it finds the controls of its table among the window's.
    assistantMode_ = new AssistantMode(this);
    wireAssistant();
}

void TForm1::createAssistantWindows() {
    AboutForm = new TSplash(this);
    AboutForm->setObjectName(QStringLiteral("AboutForm"));
    AboutForm->setSiteOpener([this](const QString& address) {
        openInBrowserOrWarn(AboutForm, directory_.state().browserPath, address);
    });
    HelpArt = new THelpArt(this);
    HelpArt->setScreenSize(env_.screenSize);
}

void TForm1::wireAssistant() {
    addAssistantExplanations(
        *assistantMode_,
        [this](const QString& title, const QStringList& lines) { ExplainControl(title, lines); });
    // A click on the bare background brings a closed assistant back.
    connect(Image3, &BackgroundArea::leftButtonReleased, this, [this] {
        if (assistantMode_->isOn()) {
            HelpArt->hide();
            HelpArt->show();
        }
    });
}

void TForm1::ExplainControl(const QString& title, const QStringList& lines) {
    HelpArt->hide();
    HelpArt->show();
    HelpArt->setText(title, lines);
}

void TForm1::HelpClick() {
    HelpArt->setText(u("مرحباً "),
                     {u("انا مساعدك الشخصي"), u("أنقر على اي مكان تريد استفساراً عنه")});
    assistantMode_->setOn(!assistantMode_->isOn());
    if (assistantMode_->isOn())
        HelpArt->show();
    else
        HelpArt->close();
}

void TForm1::wireDirectory() {
    Directory* d = &directory_;
    connect(d, &Directory::siteCountChanged, this, &TForm1::showSiteCount);
    connect(d, &Directory::siteAppended, Show_Panel, &BrowsePanel::appendSite);
    // An edit from either list changes what the browse list shows.
    connect(d, &Directory::siteEdited, Show_Panel, &BrowsePanel::refill);
    connect(d, &Directory::categoriesChanged, this, [this] { BuildCategoryViews(); });
    // The tree the name was typed in shows it already, as the user left it.
    connect(d, &Directory::categoryRenamed, this,
            [this] { BuildCategoryViews(Add_Panel->TreeView2); });
    connect(d, &Directory::siteFileChanged, Search_Panel, &SearchPanel::clearResults);
    connect(d, &Directory::browserPathChanged, Edit6, &QLineEdit::setText);
    connect(d, &Directory::categoryFileMissing, this,
            [this] { report(Outcome::categoryFileMissing()); });
    connect(d, &Directory::notice, this, &TForm1::report);
}

void TForm1::wireMaintenance() {
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(8, 515, 136, 16);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
    maintenanceTools_ = new MaintenanceTools(*this, directory_, this, ProgressBar1, this);
    MaintenanceTools* tools = maintenanceTools_;
    connect(Button11, &QPushButton::clicked, tools, &MaintenanceTools::Button11Click);
    connect(Button12, &QPushButton::clicked, tools, &MaintenanceTools::Button12Click);
    connect(Button13, &QPushButton::clicked, tools, &MaintenanceTools::Button13Click);
    connect(Button14, &QPushButton::clicked, tools, &MaintenanceTools::Button14Click);
    // Another database: its name where the version label stood, and the
    // browse list empty until its category 1 comes (the search results are
    // emptied by wireDirectory's connection).
    Directory* d = &directory_;
    connect(d, &Directory::siteFileChanged, this, [this] {
        Show_Panel->clear();
        showSiteFileName();
    });
    connect(d, &Directory::siteFileOpened, this, [this](const OpeningRead& opening) {
        Show_Panel->showSites(opening.firstCategoryName, opening.firstCategoryRows);
    });
}

void TForm1::showSiteFileName() {
    // A path from elsewhere is cut at its start, so the file's own name stays.
    const QString name = directory_.state().siteFileName;
    Caption->ensurePolished();
    Caption->setText(Caption->fontMetrics().elidedText(name, Qt::ElideLeft, Caption->width()));
    Caption->setToolTip(name);
}

// After OnlineIP1Changed is connected, so that a change shows in the status
// strip before the banner and counter requests go out.
void TForm1::wireBanners() {
    Banners = new BannerStrip(*this, directory_.state(), *settings_, this);
    Banners->setFolder(env_.bannerFolder);
    Banners->setOnlineWatcher(OnlineIP1);
}

void TForm1::wireMail() {
    SendUrlToFrind = new TSendUrlToFrind(*registry_, this);
    SendUrlToFrind->setOnlineWatcher(OnlineIP1);
    FormMail = new TFormMail(*registry_, this);
    FormMail->setOnlineWatcher(OnlineIP1);
    Contact = new ContactMenu(*this, *FormMail, this);
    siteActions_->setFriendSender(
        [this](const QString& address) { SendUrlToFrind->addSiteAndShow(address); });
    // An ordinary click handler, so the assistant mode can take the click
    // before it pops anything up.
    auto* option = findChild<LitPicture*>(QStringLiteral("Option_Image2"));
    connect(option, &LitPicture::clicked, Contact,
            [this, option] { Contact->popUp(pos() + QPoint(option->x() - 70, option->y() + 50)); });
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
    return korvalo::categoryFileMissingMessage();
}

void TForm1::report(const Outcome& outcome) {
    // A message never shows under the hourglass of the work that led to it.
    const bool busy = QGuiApplication::overrideCursor() != nullptr;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    switch (outcome.status) {
    case Outcome::Status::CategoryFileMissing:
        categoryFileMissing();
        break;
    case Outcome::Status::SiteFileMissing:
        plainMessage(outcome.message);
        endProgram(1);
        break;
    case Outcome::Status::NotAppended:
        plainMessage(outcome.message);
        break;
    default:
        if (!outcome.message.isEmpty())
            ShowMessageBox(outcome.message, false);
        break;
    }
    if (busy)
        QGuiApplication::restoreOverrideCursor();
}

void TForm1::categoryFileMissing() {
    plainMessage(categoryFileMissingMessage());
    hide();
    quit(1);
}

void TForm1::openSite(const QString& address) {
    openInBrowserOrWarn(this, directory_.state().browserPath, address);
}

int TForm1::showMessageBox(const QString& text, bool yesNo) {
    return ShowMessageBox(text, yesNo);
}

void TForm1::Image3MouseMove() {
    if (hint_)
        hint_->activate({}, {}, {});
    // The coloured buttons of every panel rest again.
    Favorites_Panel->restButtons();
    Ie_Fav_Panel->restButtons();
    Config_Panel->restButtons();
    Search_Panel->restButtons();
    Add_Panel->restButtons();
    for (QLabel* lit : litPictures_)
        lit->hide();
}

void TForm1::toolbarClick(const QString& name) {
    if (name == QStringLiteral("Help"))
        return HelpClick();
    if (name == QStringLiteral("About"))
        return AboutForm->ShowAbout();
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
        Search_Panel->focusQuery();
    }
    // The contact button pops its menu from wireMail().
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

void TForm1::switchMaintainerModeOn() {
    maintainerMode_ = true;
    const QString info =
        QString::fromLatin1(kInfoCategoryName.data(), qsizetype(kInfoCategoryName.size()));
    Add_Panel->revealMaintainerControls(info);
    AddForm1->revealMaintainerControls(info);
    Show_Panel->addTopLevelCategory(info);
    for (QWidget* w : std::initializer_list<QWidget*>{Button11, Button12, Button13, Button14})
        w->show();
}

void TForm1::showSiteCount(int64_t count) {
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
    ProgramState& state = directory_.state();
    state.firstRunMarker = s.firstRunMarker;
    state.browserPath = s.browserPath;
    state.favoritesFolder = s.favoritesFolder;
    state.banerNo = s.banerNo;
    state.minimiseFlag = s.minimiseFlag;
    Config_Panel->showStartupSettings(s);
}

bool TForm1::startUp() {
    // Another running copy is only reported; this one goes on starting.
    justOne_ = std::make_unique<TXJustOne>(
        env_.instanceName.isEmpty() ? QCoreApplication::applicationName() : env_.instanceName,
        env_.instanceLockFolder);
    if (justOne_->alreadyExists())
        plainMessage(u("البرنامج يعمل حالياً"));
    startBookmarks();

    // The floating hint; the panels built their category trees right to left.
    hint_ = new FloatingHint(this);

    directory_.setProgramDir(env_.programDir.isEmpty()
                                 ? resolveProgramDirectory(QCoreApplication::applicationDirPath())
                                 : env_.programDir);
    ProgramState& state = directory_.state();
    ProgramDirEdit->setText(state.programDir);

    placeOnScreen();

    loadStartupSettings();
    Edit6->setText(state.browserPath);

    // The folder of the scratch file.
    const QString temp = state.programDir + QStringLiteral("temp");
    if (!QFileInfo(temp).isDir() && !QDir().mkdir(temp))
        plainMessage(QStringLiteral("Cannot create \\temp  directory."));

    // One pass over the site file, for the count, the labels and the sites
    // of category 1, which the list shows first.
    Show_Panel->clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::optional<OpeningRead> opening = directory_.readAtStartup();
    if (!opening) {
        QApplication::restoreOverrideCursor();
        return false;
    }
    Show_Panel->showSites(opening->firstCategoryName, std::move(opening->firstCategoryRows));
    Favorites_Panel->setRows(directory_.favorites());
    Caption->setText(u("الاصدار ") + state.versionLabel);
    showSiteCount(state.siteCount);
    QApplication::restoreOverrideCursor();

    FormCreate();
    return true;
}

void TForm1::FormCreate() {
    loadDisplaySettings();
}

void TForm1::loadDisplaySettings() {
    const DisplaySettings d = LoadDisplaySettings(*settings_);
    if (!d.fontName)
        Show_Panel->useDesignFont(
            QFont(QString::fromLatin1(kListDesignFamily), kListDesignPointSize));
    Config_Panel->showDisplaySettings(d, Show_Panel->listFont());
    ApplyDisplaySettings();
}

void TForm1::ApplyDisplaySettings() {
    const DisplayLook look = Config_Panel->displayLook();
    Show_Panel->applyDisplay(look);
    Search_Panel->applyDisplay(look);
    Favorites_Panel->applyDisplay(look);
    Ie_Fav_Panel->applyDisplay(look);
    Add_Panel->applyDisplay(look);
    Config_Panel->applyDisplay(look);
}

bool TForm1::BuildCategoryViews(QTreeWidget* except) {
    return categoryViews_.rebuild([this] { return directory_.categoryTree(); }, except);
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
    const QString& password = directory_.state().storedPassword;
    if (!password.isEmpty() && !Config_Panel->RunPasswordGate(password))
        return;
    Web_Search->selectFirstEngine();
    // The current category is the first of the tree, whose sites the list
    // already shows, so a click on it reads nothing again.
    directory_.state().currentCategoryName =
        Category->count() > 0 ? Category->item(0)->text() : QString();
}

void TForm1::clearLists() {
    Show_Panel->clear();
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
        QFile::remove(directory_.state().programDir + QString::fromLatin1(name));
    quit(0);
}

void TForm1::MinimizeClick() {
    N1->setEnabled(true);
    TrayIcon1->Minimize();
}

void TForm1::TrayIcon1Minimize() {
    if (settings_ && settings_->ReadSetting(settings::Task) == settings::kFlagSet)
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
        settings_->WriteSetting(settings::Task, settings::kFlagSet.toString());
}

void TForm1::OnlineIP1Changed() {
    Online_Status->showState(OnlineIP1->Online(), OnlineIP1->IP());
}

void TForm1::startBookmarks() {
    Bookmarks2 = new TBookmarks(this);
    Bookmarks2->setObjectName(QStringLiteral("Bookmarks2"));
    connect(Bookmarks2, &TBookmarks::OnURL, this, &TForm1::Bookmarks2URL);
    // The settings are loaded later: the favourites folder is the one they
    // will give.
    const auto stored = settings_->readText(settings::FavoritesPath);
    BookmarkLocations where = BookmarkLocations::fromEnvironment(
        *registry_, stored && !stored->isEmpty() ? *stored : settings_->platformFavoritesFolder());
    if (const QString& home = env_.bookmarksHome; !home.isEmpty()) {
        where.home = home;
        where.winePrefix = home + QStringLiteral("/.wine");
        where.configHome = home + QStringLiteral("/.config");
        where.dataHome = home + QStringLiteral("/.local/share");
    }
    Bookmarks2->setLocations(std::move(where));
    Bookmarks2->setEnabled(true);
    Bookmarks2->setMenu(TrayMenu->findChild<QMenu*>(QStringLiteral("BookmarksMenu")));
}

void TForm1::Bookmarks2URL(TBookmarks*, const QString&, const QString& url) {
    openSite(url);
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
        Add_Panel->startNewCategory();
    });
    TrayMenu->addAction(u("بحث"), this, [this] {
        restoreAnd(Search_Panel);
        Search_Panel->focusQuery();
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

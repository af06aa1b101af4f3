#include "mainwindow/OptionsPanel.h"

#include "mainwindow/WidgetNaming.h"

#include "data/Directory.h"
#include "data/SettingsStore.h"
#include "desktop/TPasswordDlg.h"
#include "mainwindow/DisplayLook.h"
#include "mainwindow/PanelHost.h"
#include "platform/TAutoRunner.h"
#include "widgets/ButtonHoverGroup.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/ColorPickerButton.h"
#include "widgets/PlatformColor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTreeWidget>

namespace korvalo {

namespace {

constexpr const char* kSections[][3] = {
    {"بدء التشغيل", "Startup_Panel", "حدد من هنا اعدادات بدء تشغيل البرنامج"},
    {"الخط", "Font_Panel", "حدد من هنا نوع الخط المفضل لديك"},
    {"الألوان", "Color_Panel", "حدد حسب اختيارك الالوان المطلوبة للعرض"},
    {"المتصفح", "Explorer_Panel", "حدد من هنا المتصفح وموقع مفضلة المتصفح"},
};

// Where the browse dialog opens when the browser field names no folder.
constexpr const char* kProgramsFolder = "/usr/bin";

// The browse dialog lists folders and the files the user may run: on Linux a
// browser is any executable, not a file of one fixed name.
class ExecutableFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!files)
            return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || info.isExecutable();
    }
};

QString flag(bool on) {
    return (on ? settings::kFlagSet : settings::kFlagClear).toString();
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

QWidget* page(const char* name, QWidget* parent) {
    auto* w = named(new QWidget(parent), name);
    w->setGeometry(16, 72, 481, 257 - 40); // the buttons share the bottom edge
    w->hide();
    return w;
}

} // namespace

OptionsPanel::OptionsPanel(PanelHost& host, Directory& directory, SettingsStore& settings,
                           QWidget* parent)
    : QWidget(parent)
    , host_(host)
    , directory_(directory)
    , settings_(settings)
    , hover_(new ButtonHoverGroup(this)) {
    setObjectName(QStringLiteral("Config_Panel"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    Panel4 = named(new QLabel(u("خصائص"), this), "Panel4");
    Panel4->setGeometry(0, 0, 651, 30);
    Panel4->setAlignment(Qt::AlignCenter);
    Panel4->setStyleSheet(QStringLiteral("background: #8080c0; color: white; font-weight: bold;"));

    TreeView3 = named(new QTreeWidget(this), "TreeView3");
    TreeView3->setGeometry(504, 41, 129, 265);
    TreeView3->setHeaderHidden(true);
    TreeView3->setLayoutDirection(Qt::RightToLeft);
    TreeView3->setRootIsDecorated(false);
    TreeView3->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView3->setStyleSheet(QStringLiteral("QTreeWidget { background: #e9ecfe; }"));
    QFont sectionFont = TreeView3->font();
    sectionFont.setBold(true);
    TreeView3->setFont(sectionFont);
    for (const auto& s : kSections)
        TreeView3->addTopLevelItem(new QTreeWidgetItem(QStringList{u(s[0])}));
    connect(TreeView3, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { ShowOptionsSection(item); });

    auto* strip = named(new QLabel(this), "Panel17");
    strip->setGeometry(16, 41, 481, 28);
    strip->setStyleSheet(QStringLiteral("background: #8080c0;"));
    Label22 = named(new QLabel(u(kSections[0][0]), strip), "Label22");
    Label22->setGeometry(330, 0, 145, 28);
    Label22->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label22->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    Label23 = named(new QLabel(u(kSections[0][2]), strip), "Label23");
    Label23->setGeometry(6, 0, 320, 28);
    Label23->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label23->setStyleSheet(QStringLiteral("color: white;"));

    // Start-up and password.
    Startup_Panel = page("Startup_Panel", this);
    Startup_Panel->show();
    CheckPass = named(new QCheckBox(u("وضع كلمة سر على البرنامج"), Startup_Panel), "CheckPass");
    CheckPass->setGeometry(180, 16, 290, 22);
    PassEdit = named(new QLineEdit(Startup_Panel), "PassEdit");
    PassEdit->setGeometry(180, 44, 270, 24);
    PassEdit->setLayoutDirection(Qt::LeftToRight);
    PassEdit->setEchoMode(QLineEdit::Password);
    PassEdit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    PassEdit->setMaxLength(70);
    CheckBox2 =
        named(new QCheckBox(u("تشغيل البرنامج عند تشغيل الجهاز"), Startup_Panel), "CheckBox2");
    CheckBox2->setGeometry(180, 90, 290, 22);
    MinimCheck = named(new QCheckBox(u("تصغير عند التشغيل"), Startup_Panel), "MinimCheck");
    MinimCheck->setGeometry(180, 116, 290, 22);
    MinimCheck->hide();
    MinimCheck->setEnabled(false);
    connect(CheckPass, &QCheckBox::toggled, this, &OptionsPanel::CheckPassClick);
    connect(CheckBox2, &QCheckBox::toggled, this, &OptionsPanel::CheckBox2Click);
    CheckPassClick();

    // Font.
    Font_Panel = page("Font_Panel", this);
    auto* fontGroup = new QGroupBox(u("الخط"), Font_Panel);
    fontGroup->setGeometry(40, 10, 420, 150);
    FontComboBox1 = named(new QComboBox(fontGroup), "FontComboBox1");
    FontComboBox1->setGeometry(120, 30, 280, 26);
    auto* sizeLabel = new QLabel(u("حجم:"), fontGroup);
    sizeLabel->setGeometry(330, 70, 70, 26);
    FontSizeComboBox = named(new QComboBox(fontGroup), "FontSizeComboBox");
    FontSizeComboBox->setGeometry(240, 70, 80, 26);
    for (const char* s : {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24"})
        FontSizeComboBox->addItem(QString::fromLatin1(s));
    FontCheckBox1 = named(new QCheckBox(u("عريض"), fontGroup), "FontCheckBox1");
    FontCheckBox1->setGeometry(300, 110, 100, 24);
    FontCheckBox2 = named(new QCheckBox(u("مائل"), fontGroup), "FontCheckBox2");
    FontCheckBox2->setGeometry(180, 110, 100, 24);

    // Colours; the pickers start at their design values.
    Color_Panel = page("Color_Panel", this);
    auto* headGroup = new QGroupBox(u("عنوان الجدول"), Color_Panel);
    headGroup->setGeometry(250, 10, 220, 110);
    auto* listGroup = new QGroupBox(u("الجدول"), Color_Panel);
    listGroup->setGeometry(10, 10, 220, 110);
    auto picker = [](uint32_t initial, const char* name, QGroupBox* group, int y,
                     const char* caption) {
        auto* l = new QLabel(QString::fromUtf8(caption), group);
        l->setGeometry(130, y, 70, 28);
        auto* b = named(new ColorPickerButton(initial, group), name);
        b->setGeometry(30, y, 90, 28);
        return b;
    };
    ColorPickerButton1 = picker(0x00FFFFFF, "ColorPickerButton1", headGroup, 30, "النص");
    ColorPickerButton2 = picker(0x00C08080, "ColorPickerButton2", headGroup, 66, "الخلفية");
    ColorPickerButton3 = picker(0x00000000, "ColorPickerButton3", listGroup, 30, "النص");
    ColorPickerButton4 = picker(0x00FFFFFF, "ColorPickerButton4", listGroup, 66, "الخلفية");

    // Browser and favourites folder; paths read left to right.
    Explorer_Panel = page("Explorer_Panel", this);
    auto* browserGroup = new QGroupBox(u(" موقع المتصفح Internet Explorer"), Explorer_Panel);
    browserGroup->setGeometry(10, 10, 460, 70);
    Edit9 = named(new QLineEdit(browserGroup), "Edit9");
    Edit9->setGeometry(60, 30, 385, 26);
    Edit9->setLayoutDirection(Qt::LeftToRight);
    BitBtnWithColor5 =
        named(new ButtonWithColor(QStringLiteral("..."), browserGroup), "BitBtnWithColor5");
    BitBtnWithColor5->setGeometry(15, 30, 36, 26);
    connect(BitBtnWithColor5, &QPushButton::clicked, this, &OptionsPanel::BitBtnWithColor5Click);
    auto* favGroup = new QGroupBox(u(" مجلد مفضلة المتصفح  Internet Explorer"), Explorer_Panel);
    favGroup->setGeometry(10, 95, 460, 70);
    Edit8 = named(new QLineEdit(favGroup), "Edit8");
    Edit8->setGeometry(60, 30, 385, 26);
    Edit8->setLayoutDirection(Qt::LeftToRight);

    BitBtnWithColor8 = named(new ButtonWithColor(u("حفظ"), this), "BitBtnWithColor8");
    BitBtnWithColor8->setGeometry(272, 280, 97, 25);
    BitBtnWithColor9 = named(new ButtonWithColor(u("الغاء الأمر"), this), "BitBtnWithColor9");
    BitBtnWithColor9->setGeometry(136, 280, 97, 25);
    connect(BitBtnWithColor8, &QPushButton::clicked, this, &OptionsPanel::SaveOptions);
    connect(BitBtnWithColor9, &QPushButton::clicked, this, &OptionsPanel::CancelOptions);
    hover_->addButton(BitBtnWithColor8);
    hover_->addButton(BitBtnWithColor9);
    hover_->addResetArea(this);
}

OptionsPanel::~OptionsPanel() = default;

TAutoRunner& OptionsPanel::autoRunner() {
    if (!autoRunner_)
        autoRunner_ = std::make_unique<TAutoRunner>(settings_.registry());
    return *autoRunner_;
}

void OptionsPanel::ShowOptionsSection(QTreeWidgetItem* item) {
    if (!item)
        return;
    for (const auto& s : kSections) {
        const bool chosen = item->text(0) == u(s[0]);
        findChild<QWidget*>(QString::fromLatin1(s[1]))->setVisible(chosen);
        if (chosen) {
            Label22->setText(u(s[0]));
            Label23->setText(u(s[2]));
        }
    }
}

void OptionsPanel::CheckPassClick() {
    const bool on = CheckPass->isChecked();
    PassEdit->setEnabled(on);
    QPalette pal = PassEdit->palette();
    pal.setColor(QPalette::Base,
                 on ? palette().color(QPalette::Active, QPalette::Base) : QColor(0xC0, 0xC0, 0xC0));
    PassEdit->setPalette(pal);
}

void OptionsPanel::SaveOptions() {
    using namespace settings;
    ProgramState& state = directory_.state();
    SettingsStore& store = settings_;

    const bool keepPassword = CheckPass->isChecked() && !PassEdit->text().isEmpty();
    if (keepPassword && !directory_.checkPassword(PassEdit->text()).ok())
        return;

    // One guarded block: the first refused write ends it.
    const std::pair<const Setting*, QString> values[] = {
        {&IePath, Edit9->text()},
        {&FavoritesPath, Edit8->text()},
        {&FontName, FontComboBox1->currentText()},
        {&FontSize, FontSizeComboBox->currentText()},
        {&FontBlod, flag(FontCheckBox1->isChecked())},
        {&FontItalic, flag(FontCheckBox2->isChecked())},
        {&TabelHeadTextColor, ColorToText(ColorPickerButton1->color())},
        {&TabelHeadBackColor, ColorToText(ColorPickerButton2->color())},
        {&TabelTextColor, ColorToText(ColorPickerButton3->color())},
        {&TabelBackColor, ColorToText(ColorPickerButton4->color())},
    };
    for (const auto& [setting, text] : values)
        if (!store.WriteSetting(*setting, text))
            break;

    if (CheckBox2->isChecked()) {
        autoRunner().setAutoRun(true);
        store.WriteSetting(Minim, flag(MinimCheck->isChecked()));
    } else {
        autoRunner().setAutoRun(false);
    }

    // From here on every launch uses what the registry now holds.
    if (const auto browser = store.readText(IePath)) {
        directory_.setBrowserPath(*browser);
        if (const auto favorites = store.readText(FavoritesPath))
            state.favoritesFolder = *favorites;
    }

    if (!keepPassword)
        directory_.removePasswords();
    else if (!directory_.storePassword(PassEdit->text()).ok())
        return; // the site file cannot be updated: the panel stays open

    Q_EMIT displaySettingsSaved();
    host_.showPanel(host_.browsePanel());
}

void OptionsPanel::reloadStoredSettings() {
    using namespace settings;
    ProgramState& state = directory_.state();
    const SettingsStore& store = settings_;
    // One guarded block: a value that is not text, or a BanerNo that is not
    // a number, ends it; what was read before stays.
    const auto browser = store.readText(IePath);
    if (!browser)
        return;
    Edit9->setText(*browser);
    const auto favorites = store.readText(FavoritesPath);
    if (!favorites)
        return;
    Edit8->setText(*favorites);
    CheckBox2->setChecked(autoRunner().AutoRun());
    directory_.setBrowserPath(*browser);
    state.favoritesFolder = *favorites;
    const auto banerText = store.readText(BanerNo);
    const auto banerNo = banerText ? decimalInteger(*banerText) : std::nullopt;
    if (!banerNo)
        return;
    state.banerNo = *banerNo;
    if (const auto minim = store.readText(Minim))
        state.minimiseFlag = *minim;
}

void OptionsPanel::CancelOptions() {
    reloadStoredSettings();

    PassEdit->clear();
    CheckPass->setChecked(false);
    std::optional<QString> password;
    if (!directory_.readPassword(password).ok())
        return; // the site file is gone: the program is ending
    if (password) {
        PassEdit->setText(*password);
        CheckPass->setChecked(true);
    }
    host_.showPanel(host_.browsePanel());
}

void OptionsPanel::BitBtnWithColor5Click() {
    const QFileInfo current(Edit9->text());
    const QString start = current.isAbsolute() && current.absoluteDir().exists()
                              ? current.absolutePath()
                              : QString::fromLatin1(kProgramsFolder);
    QFileDialog dialog(this, u("حدد المستكشف"), start, u("المستكشف (*)"));
    dialog.setObjectName(QStringLiteral("BrowserDialog"));
    // Qt's own dialog: a platform one would ignore the executable filter.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new ExecutableFilter(&dialog));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    Edit9->setText(dialog.selectedFiles().constFirst());
}

bool OptionsPanel::RunPasswordGate(const QString& storedPassword) {
    if (storedPassword.isEmpty())
        return true;
    PassEdit->setText(storedPassword);
    CheckPass->setChecked(true);
    TPasswordDlg& prompt = TPasswordDlg::instance();
    prompt.Password->clear();
    for (;;) {
        if (prompt.exec() != TPasswordDlg::kOk) {
            host_.endProgram(0);
            return false;
        }
        // Exact: letter case and every character count.
        if (prompt.Password->text() == storedPassword) {
            prompt.Password->clear();
            return true;
        }
        host_.showMessageBox(u("عفواً كلمة السر خاطئة"), false);
        prompt.Password->clear();
    }
}

void OptionsPanel::CheckBox2Click() {
    MinimCheck->setEnabled(CheckBox2->isChecked());
}

void OptionsPanel::showStartupSettings(const StartupSettings& s) {
    Edit9->setText(s.browserPath);
    Edit8->setText(s.favoritesFolder);
    CheckBox2->setChecked(s.startWithSystemTicked);
    MinimCheck->setChecked(s.minimTicked);
    MinimCheck->setEnabled(s.minimEnabled);
}

void OptionsPanel::showDisplaySettings(const DisplaySettings& d, const QFont& listFont) {
    QStringList families = QFontDatabase::families();
    families.sort();
    FontComboBox1->clear();
    FontComboBox1->addItems(families);
    if (!d.fontName) {
        selectLastEqual(FontComboBox1, QFontInfo(listFont).family());
        selectLastEqual(FontSizeComboBox, QString::number(listFont.pointSize()));
        return;
    }
    selectLastEqual(FontComboBox1, *d.fontName);
    if (d.fontSize)
        selectLastEqual(FontSizeComboBox, *d.fontSize);
    if (d.bold)
        FontCheckBox1->setChecked(*d.bold);
    if (d.italic)
        FontCheckBox2->setChecked(*d.italic);
    ColorPickerButton3->setColor(d.colors.listText);
    ColorPickerButton4->setColor(d.colors.listBack);
    ColorPickerButton1->setColor(d.colors.headText);
    ColorPickerButton2->setColor(d.colors.headBack);
}

DisplayLook OptionsPanel::displayLook() const {
    DisplayLook look;
    look.bold = FontCheckBox1->isChecked();
    look.family = FontComboBox1->currentText();
    look.italic = FontCheckBox2->isChecked();
    // An empty or unreadable size leaves the sizes as they are.
    bool sizeOk = false;
    const int size = FontSizeComboBox->currentText().toInt(&sizeOk);
    if (sizeOk && size > 0)
        look.pointSize = size;
    look.text = colorFromWord(ColorPickerButton3->color());
    look.back = colorFromWord(ColorPickerButton4->color());
    look.headText = colorFromWord(ColorPickerButton1->color());
    look.headBack = colorFromWord(ColorPickerButton2->color());
    look.treeReading =
        ColorPickerButton4->color() == 0x00FFFFFF ? Qt::RightToLeft : Qt::LeftToRight;
    return look;
}

void OptionsPanel::applyDisplay(const DisplayLook&) {
    // The section list keeps its own look; it only lays out right to left again.
    TreeView3->setLayoutDirection(Qt::RightToLeft);
    TreeView3->update();
}

void OptionsPanel::restButtons() {
    hover_->rest();
}

} // namespace korvalo

#include "mainwindow/OptionsPanel.h"

#include "widgets/ButtonWithColor.h"
#include "widgets/ColorPickerButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace korvalo {

namespace {

constexpr const char* kSections[][3] = {
    {"بدء التشغيل", "Startup_Panel", "حدد من هنا اعدادات بدء تشغيل البرنامج"},
    {"الخط", "Font_Panel", "حدد من هنا نوع الخط المفضل لديك"},
    {"الألوان", "Color_Panel", "حدد حسب اختيارك الالوان المطلوبة للعرض"},
    {"المتصفح", "Explorer_Panel", "حدد من هنا المتصفح وموقع مفضلة المتصفح"},
};

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template <typename W> W* named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QWidget* page(const char* name, QWidget* parent) {
    auto* w = named(new QWidget(parent), name);
    w->setGeometry(16, 72, 481, 257 - 40); // the buttons share the bottom edge
    w->hide();
    return w;
}

} // namespace

OptionsPanel::OptionsPanel(PanelHost& host, QWidget* parent)
    : QWidget(parent)
    , host_(host) {
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
    PassEdit->setMaxLength(70);
    CheckBox2 =
        named(new QCheckBox(u("تشغيل البرنامج عند تشغيل الجهاز"), Startup_Panel), "CheckBox2");
    CheckBox2->setGeometry(180, 90, 290, 22);
    MinimCheck = named(new QCheckBox(u("تصغير عند التشغيل"), Startup_Panel), "MinimCheck");
    MinimCheck->setGeometry(180, 116, 290, 22);
    MinimCheck->hide();
    MinimCheck->setEnabled(false);
    connect(CheckPass, &QCheckBox::clicked, this, &OptionsPanel::CheckPassClick);
    connect(CheckBox2, &QCheckBox::clicked, this, &OptionsPanel::CheckBox2Click);
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
    auto* favGroup = new QGroupBox(u(" مجلد مفضلة المتصفح  Internet Explorer"), Explorer_Panel);
    favGroup->setGeometry(10, 95, 460, 70);
    Edit8 = named(new QLineEdit(favGroup), "Edit8");
    Edit8->setGeometry(60, 30, 385, 26);
    Edit8->setLayoutDirection(Qt::LeftToRight);

    BitBtnWithColor8 = named(new ButtonWithColor(u("حفظ"), this), "BitBtnWithColor8");
    BitBtnWithColor8->setGeometry(272, 280, 97, 25);
    BitBtnWithColor9 = named(new ButtonWithColor(u("الغاء الأمر"), this), "BitBtnWithColor9");
    BitBtnWithColor9->setGeometry(136, 280, 97, 25);
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

bool OptionsPanel::RunPasswordGate(const QString& storedPassword) {
    // The prompt comes with the options work; until then a stored password
    // does not stop the start.
    Q_UNUSED(storedPassword);
    Q_UNUSED(host_);
    return true;
}

void OptionsPanel::CheckBox2Click() {
    MinimCheck->setEnabled(CheckBox2->isChecked());
}

} // namespace korvalo

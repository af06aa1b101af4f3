#include "mainwindow/AddPanel.h"

#include "mainwindow/WidgetNaming.h"

#include "data/Directory.h"
#include "mainwindow/DisplayLook.h"
#include "mainwindow/PanelHost.h"
#include "widgets/ButtonHoverGroup.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/PlatformColor.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTreeWidget>

namespace korvalo {

namespace {

QLabel* caption(const char* text, QWidget* parent, int x, int y) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setGeometry(x, y, 160, 24);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

// Tells when the tree opens its in-place editor, whoever asked for it: the
// rename button, F2 or a slow second click on the selected node.
class LabelEditDelegate : public QStyledItemDelegate {
public:
    LabelEditDelegate(std::function<void(const QModelIndex&)> opening, QObject* parent)
        : QStyledItemDelegate(parent)
        , opening_(std::move(opening)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        opening_(index);
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

private:
    std::function<void(const QModelIndex&)> opening_;
};

const char* const kAddLabel = "اضــــــــــــــافة";
const char* const kCategoryTabText = "    إضافة وتعديل موضوع    ";
const char* const kAddressTabText = "    إضافة عنوان    ";

} // namespace

AddPanel::AddPanel(PanelHost& host, Directory& directory, QWidget* parent)
    : QWidget(parent)
    , host_(host)
    , directory_(directory)
    , siteHover_(new ButtonHoverGroup(this))
    , categoryHover_(new ButtonHoverGroup(this)) {
    setObjectName(QStringLiteral("Add_Panel"));
    setAutoFillBackground(true);

    Panel5 = named(new QLabel(this), "Panel5");
    Panel5->setGeometry(0, 0, 651, 40);
    Panel5->setStyleSheet(QStringLiteral("background: #8080c0;"));
    Label13 = named(new QLabel(Panel5), "Label13");
    Label13->setGeometry(420, 2, 220, 20);
    Label13->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label13->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    Label14 = named(new QLabel(Panel5), "Label14");
    Label14->setGeometry(300, 20, 340, 18);
    Label14->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label14->setStyleSheet(QStringLiteral("color: white;"));

    // The address page.
    Add_Web = named(new QWidget(this), "Add_Web");
    Add_Web->setGeometry(0, 40, 651, 256);
    Button2 = named(new QPushButton(Add_Web), "Button2");
    Button2->setGeometry(176, 8, 273, 25);
    Button2->hide();
    connect(Button2, &QPushButton::clicked, this, &AddPanel::Button2Click);
    caption("وصف العنوان", Add_Web, 460, 40);
    Edit2 = named(new QLineEdit(Add_Web), "Edit2");
    Edit2->setGeometry(176, 40, 273, 24);
    Edit2->setMaxLength(74);
    caption("موضوعه", Add_Web, 460, 76);
    ComboBox2 = named(new QComboBox(Add_Web), "ComboBox2");
    ComboBox2->setGeometry(176, 76, 273, 24);
    caption("العنوان", Add_Web, 460, 112);
    Edit3 = named(new QLineEdit(QStringLiteral("http://www."), Add_Web), "Edit3");
    Edit3->setGeometry(176, 112, 273, 24);
    Edit3->setMaxLength(79);
    Edit3->setLayoutDirection(Qt::LeftToRight);
    caption("لغة الموقع", Add_Web, 460, 148);
    ComboBox3 = named(new QComboBox(Add_Web), "ComboBox3");
    ComboBox3->setGeometry(329, 148, 120, 24);
    ComboBox3->setEditable(true);
    ComboBox3->addItems({u("عربي"), u("انجليزي"), u("ع/E")});
    ComboBox3->lineEdit()->setMaxLength(7);
    ComboBox3->setEditText(u("عربي"));
    Edit10 = named(new QLineEdit(QStringLiteral("1"), Add_Web), "Edit10");
    Edit10->setGeometry(184, 192, 33, 19);
    Edit10->setMaxLength(1);
    Edit10->hide();
    // A field without a digit gives no mark: a new record is then refused.
    connect(Edit10, &QLineEdit::textChanged, this, [this](const QString& text) {
        directory_.setUserMark(Directory::userMarkFromText(text));
    });
    BitBtnWithColor2 = named(new ButtonWithColor(u(kAddLabel), Add_Web), "BitBtnWithColor2");
    BitBtnWithColor2->setGeometry(299, 190, 150, 28);
    connect(BitBtnWithColor2, &QPushButton::clicked, this, &AddPanel::AddSiteClick);

    // The category page.
    Add_Cat = named(new QWidget(this), "Add_Cat");
    Add_Cat->setGeometry(0, 40, 651, 256);
    auto* group = named(new QGroupBox(u("الموضوع"), Add_Cat), "GroupBox4");
    group->setGeometry(344, 8, 296, 150);
    Edit7 = named(new QLineEdit(group), "Edit7");
    Edit7->setGeometry(12, 26, 272, 24);
    Edit7->setMaxLength(69);
    mainLevel = named(new QRadioButton(u("رئيسي"), group), "RadioButton1");
    mainLevel->setGeometry(170, 60, 110, 22);
    mainLevel->setChecked(true);
    subLevel = named(new QRadioButton(u("فرعي"), group), "RadioButton2");
    subLevel->setGeometry(40, 60, 110, 22);
    BitBtnWithColor3 = named(new ButtonWithColor(u(kAddLabel), group), "BitBtnWithColor3");
    BitBtnWithColor3->setGeometry(70, 100, 150, 28);
    connect(BitBtnWithColor3, &QPushButton::clicked, this, &AddPanel::AddCategoryClick);

    TreeView2 = named(new QTreeWidget(Add_Cat), "TreeView2");
    TreeView2->setGeometry(8, 8, 326, 240);
    TreeView2->setHeaderHidden(true);
    TreeView2->setLayoutDirection(Qt::RightToLeft);
    TreeView2->setMouseTracking(true);
    TreeView2->setContextMenuPolicy(Qt::CustomContextMenu); // a right click selects
    TreeView2->setEditTriggers(QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::SelectedClicked);
    // The edit belongs to the node it opened on; a rename needs its old name.
    TreeView2->setItemDelegate(new LabelEditDelegate(
        [this](const QModelIndex& index) {
            QTreeWidgetItem* item = TreeView2->currentItem();
            editedItem_ = item && TreeView2->currentIndex() == index ? item : nullptr;
            editedOldText_ = editedItem_ ? editedItem_->text(0) : QString();
        },
        TreeView2));
    connect(TreeView2, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        if (QTreeWidgetItem* item = TreeView2->itemAt(p))
            TreeView2->setCurrentItem(item);
    });
    connect(TreeView2, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item) { TreeView2Edited(item); });
    // Whether the editor closed with a new text (handled above, as the text
    // came in) or with Escape, no edit is running afterwards.
    connect(TreeView2->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this] { editedItem_ = nullptr; });

    BitBtnWithColor15 = named(new ButtonWithColor(u("تعديل"), Add_Cat), "BitBtnWithColor15");
    BitBtnWithColor15->setGeometry(496, 170, 144, 28);
    // It must not take the focus, or pressing it would end a running edit
    // before it can tell that one was running.
    BitBtnWithColor15->setFocusPolicy(Qt::NoFocus);
    connect(BitBtnWithColor15, &QPushButton::clicked, this, &AddPanel::RenameClick);
    BitBtnWithColor13 = named(new ButtonWithColor(u("حذف"), Add_Cat), "BitBtnWithColor13");
    BitBtnWithColor13->setGeometry(344, 170, 144, 28);
    connect(BitBtnWithColor13, &QPushButton::clicked, this, &AddPanel::DeleteCategoryClick);

    TabSet1 = named(new QTabBar(this), "TabSet1");
    TabSet1->setGeometry(8, 298, 420, 26);
    TabSet1->setShape(QTabBar::RoundedSouth);
    TabSet1->addTab(u(kCategoryTabText));
    TabSet1->addTab(u(kAddressTabText));
    TabSet1->setCurrentIndex(kAddressTab);
    connect(TabSet1, &QTabBar::currentChanged, this, &AddPanel::showTab);
    showTab(kAddressTab);

    siteHover_->addButton(BitBtnWithColor2);
    for (ButtonWithColor* b : {BitBtnWithColor3, BitBtnWithColor13, BitBtnWithColor15})
        categoryHover_->addButton(b);
    for (QWidget* area : {static_cast<QWidget*>(group), static_cast<QWidget*>(TreeView2), Add_Cat})
        categoryHover_->addResetArea(area);
}

void AddPanel::showTab(int index) {
    const bool address = index == kAddressTab;
    if (TabSet1->currentIndex() != index)
        TabSet1->setCurrentIndex(index); // comes back here through currentChanged
    Add_Web->setVisible(address);
    Add_Cat->setVisible(!address);
    Label13->setText(address ? u("اضافة عنوان") : u("اضافة موضوع"));
    Label14->setText(address ? u("يمكنك اضافة عنوان") : u("يمكنك اضافة أو حذف أو تعديل  موضوع"));
}

void AddPanel::startNewCategory() {
    showTab(kCategoryTab);
    Edit7->clear();
    Edit7->setFocus();
}

void AddPanel::setDeleteNameSource(std::function<std::optional<QString>()> source) {
    deleteNameSource_ = std::move(source);
}

void AddPanel::revealMaintainerControls(const QString& infoName) {
    ComboBox2->addItem(infoName);
    Button2->show();
    Edit10->show();
}

void AddPanel::restButtons() {
    // The background rests the add buttons only; rename and delete keep
    // their colour until their own group's areas are passed.
    for (ButtonWithColor* b : {BitBtnWithColor2, BitBtnWithColor3})
        b->setBackgroundColor(colorFromWord(ButtonWithColor::kRestingColor));
}

void AddPanel::applyDisplay(const DisplayLook& look) {
    look.applyToTree(TreeView2);
}

void AddPanel::AddSiteClick() {
    if (Edit2->text() == maintainerCode()) {
        Q_EMIT maintainerCodeGiven();
        return;
    }
    const QString category = ComboBox2->currentIndex() < 0 ? QString() : ComboBox2->currentText();
    if (!directory_.addSite({Edit2->text(), Edit3->text(), ComboBox3->currentText(), category})
             .ok())
        return; // the fields keep their text
    Edit2->clear();
    Edit3->setText(QStringLiteral("http://www."));
}

void AddPanel::Button2Click() {
    const QString category = ComboBox2->currentIndex() < 0 ? QString() : ComboBox2->currentText();
    const Outcome o = directory_.writeVersionRecord(
        {Edit2->text(), Edit3->text(), ComboBox3->currentText(), category},
        [this](const QString& firstUrl) {
            return host_.showMessageBox(u("سيتم استبدال العنوان \n") + firstUrl +
                                            u("\n بسجل الاصدار هل تريد الاستمرار ؟"),
                                        true) != 2;
        });
    if (o.ok())
        Edit2->clear();
}

void AddPanel::AddCategoryClick() {
    QTreeWidgetItem* selected = TreeView2->currentItem();
    if (selected && !selected->isSelected())
        selected = nullptr;
    const std::optional<ChosenCategory> chosen =
        selected ? std::optional(ChosenCategory{selected->text(0), !selected->parent()})
                 : std::nullopt;
    if (directory_.addCategory(Edit7->text(), subLevel->isChecked(), chosen).ok())
        Edit7->clear();
}

void AddPanel::RenameClick() {
    // A press while a label is being edited ends the edit, keeping the text.
    if (QWidget* editor = TreeView2->indexWidget(TreeView2->currentIndex())) {
        Q_EMIT TreeView2->itemDelegate()->commitData(editor);
        Q_EMIT TreeView2->itemDelegate()->closeEditor(editor);
        return;
    }
    QTreeWidgetItem* item = TreeView2->currentItem();
    if (!item)
        return;
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    TreeView2->setFocus();
    TreeView2->editItem(item);
}

void AddPanel::TreeView2Edited(QTreeWidgetItem* item) {
    if (item != editedItem_)
        return; // a change made by the program, not an edit
    editedItem_ = nullptr;
    const QString newText = item->text(0);
    host_.plainMessage(newText);
    directory_.renameCategory(editedOldText_, newText);
}

void AddPanel::DeleteCategoryClick() {
    QTreeWidgetItem* selected = TreeView2->currentItem();
    if (!selected)
        return;
    const std::optional<QString> elsewhere =
        deleteNameSource_ ? deleteNameSource_() : std::optional<QString>();
    const QString name = elsewhere ? *elsewhere : selected->text(0);
    if (host_.showMessageBox(u("سيتم حذف الموضوع \n") + name + u("\n هل تريد الاستمرار ؟"), true) ==
        2)
        return;
    directory_.deleteCategory(name, [this] {
        return host_.showMessageBox(u("يوجد عناوين تحت هذا الموضوع\n هل تريد الاستمرار ؟"), true) !=
               2;
    });
}

} // namespace korvalo

#include "browser/ui/TAddToKvlForm.h"

#include "data/SourceText.h"
#include "desktop/PictureCard.h"
#include "widgets/ButtonHoverGroup.h"
#include "widgets/ButtonWithColor.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>

#include <algorithm>

namespace korvalo {

namespace {

QLabel* caption(const char* text, int top, QWidget* parent) {
    auto* label = new QLabel(u(text), parent);
    label->setGeometry(368, top, 88, 21);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

TAddToKvlForm::TAddToKvlForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , hover_(new ButtonHoverGroup(this)) {
    // The message card's picture stands in until the dialog has its own.
    Image1 = setUpPictureCard(this, QStringLiteral("AddToKvlForm"), kWidth, kHeight,
                              QStringLiteral(":/artwork/message.gif"));
    Image1->installEventFilter(this);
    hover_->addResetArea(Image1);

    caption("وصف العنوان", 16, this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(48, 16, 312, 21);
    Edit1->setLayoutDirection(Qt::RightToLeft);
    Edit1->setMaxLength(kTitleTyped);

    caption("العنوان", 44, this);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(48, 44, 312, 21);
    Edit2->setLayoutDirection(Qt::LeftToRight);
    Edit2->setMaxLength(kUrlTyped);

    Button1 = new QPushButton(QStringLiteral("e"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(16, 42, 25, 25);
    Button1->setToolTip(u("فتح العنوان في المتصفح"));
    connect(Button1, &QPushButton::clicked, this,
            [this] { Q_EMIT openAddressRequested(Edit2->text()); });

    caption("لغتة", 72, this);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(248, 72, 112, 21);
    ComboBox1->setEditable(true);
    ComboBox1->addItems({u("عربي"), u("انجليزي"), u("ع/E")});
    ComboBox1->lineEdit()->setMaxLength(kLanguageTyped);
    ComboBox1->setCurrentIndex(0);

    caption("موضوعة", 100, this);
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setGeometry(48, 100, 312, 118);
    TreeView1->setHeaderHidden(true);
    TreeView1->setLayoutDirection(Qt::RightToLeft);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView1->setAllColumnsShowFocus(true);
    // Hot tracking: the row under the mouse is lit.
    TreeView1->setMouseTracking(true);
    TreeView1->viewport()->setAttribute(Qt::WA_Hover);

    BitBtnWithColor1 = makeButton(u("اضف"), "BitBtnWithColor1", 336, AddResult);
    BitBtnWithColor2 = makeButton(u("تخطي"), "BitBtnWithColor2", 192, SkipResult);
    BitBtnWithColor3 = makeButton(u("إضافة الكل"), "BitBtnWithColor3", 48, AddAllResult);
}

ButtonWithColor* TAddToKvlForm::makeButton(const QString& text, const char* name, int left,
                                           int result) {
    auto* button = new ButtonWithColor(text, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, 230, 84, 25);
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    hover_->addButton(button);
    return button;
}

void TAddToKvlForm::offer(const QString& name, const QString& address) {
    Edit1->setMaxLength(std::max<int>(kTitleTyped, int(name.size())));
    Edit1->setText(name);
    Edit2->setMaxLength(std::max<int>(kUrlTyped, int(address.size())));
    Edit2->setText(address);
}

QString TAddToKvlForm::selectedCategory() const {
    QTreeWidgetItem* item = TreeView1->currentItem();
    return item && item->isSelected() ? item->text(0) : QString();
}

bool TAddToKvlForm::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == Image1 && (type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                              type == QEvent::MouseButtonRelease)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint global = mouse->globalPosition().toPoint();
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            dragging_ = true;
            dragOffset_ = global - pos();
        } else if (type == QEvent::MouseMove && dragging_ && (mouse->buttons() & Qt::LeftButton)) {
            move(global - dragOffset_);
        } else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
            dragging_ = false;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAddToKvlForm::showEvent(QShowEvent* event) {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    QDialog::showEvent(event);
}

} // namespace korvalo

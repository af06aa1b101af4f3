#include "mainwindow/TAddForm1.h"

#include "mainwindow/WidgetNaming.h"

#include "widgets/ButtonHoverGroup.h"
#include "widgets/ButtonWithColor.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>

namespace korvalo {

TAddForm1::TAddForm1(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , hover_(new ButtonHoverGroup(this)) {
    setObjectName(QStringLiteral("AddForm1"));
    setWindowTitle(u("شاشة التعديل"));
    setFixedSize(kWidth, kHeight);
    setLayoutDirection(Qt::RightToLeft);

    auto row = [this](const char* caption, QWidget* field, int y) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        label->setGeometry(286, y, 84, 22);
        label->setStyleSheet(QStringLiteral("color: white;"));
        field->setGeometry(60, y, 220, 22);
    };
    Edit1 = named(new QLineEdit(this), "Edit1");
    Edit1->setMaxLength(74);
    row("وصف العنوان", Edit1, 12);
    ComboBox1 = named(new QComboBox(this), "ComboBox1");
    row("موضوعة", ComboBox1, 42);
    Edit3 = named(new QLineEdit(this), "Edit3");
    Edit3->setMaxLength(79);
    Edit3->setLayoutDirection(Qt::LeftToRight);
    row("العنوان", Edit3, 72);
    ComboBox2 = named(new QComboBox(this), "ComboBox2");
    ComboBox2->setEditable(true);
    ComboBox2->addItems({u("عربي"), u("انجليزي"), u("ع/E")});
    ComboBox2->lineEdit()->setMaxLength(7);
    row("لغتة", ComboBox2, 102);
    ComboBox2->setGeometry(180, 102, 100, 22);
    Edit2 = named(new QLineEdit(this), "Edit2");
    Edit2->setGeometry(60, 102, 40, 22);
    Edit2->hide();

    Button1 = named(new ButtonWithColor(u("تعديل"), this), "Button1");
    Button1->setGeometry(262, 146, 100, 28);
    BitBtnWithColor2 = named(new ButtonWithColor(u("فتح الموقع"), this), "BitBtnWithColor2");
    BitBtnWithColor2->setGeometry(139, 146, 100, 28);
    Button2 = named(new ButtonWithColor(u("تراجع"), this), "Button2");
    Button2->setGeometry(16, 146, 100, 28);
    for (ButtonWithColor* b : {Button1, BitBtnWithColor2, Button2})
        hover_->addButton(b);
    hover_->addResetArea(this);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtnWithColor2, &QPushButton::clicked, this,
            [this] { Q_EMIT openRequested(Edit3->text()); });
}

void TAddForm1::revealMaintainerControls(const QString& infoName) {
    ComboBox1->addItem(infoName);
    Edit2->show();
}

void TAddForm1::paintEvent(QPaintEvent*) {
    // A teal card with a lighter band where the buttons sit.
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0x0e, 0x6b, 0x73));
    g.setColorAt(1, QColor(0x09, 0x4a, 0x52));
    p.fillRect(rect(), g);
    p.fillRect(QRect(0, 136, width(), 52), QColor(255, 255, 255, 30));
    p.setPen(QColor(0x05, 0x30, 0x36));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TAddForm1::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

} // namespace korvalo

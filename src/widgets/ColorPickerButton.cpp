#include "widgets/ColorPickerButton.h"

#include "widgets/PlatformColor.h"

#include <QColorDialog>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

namespace korvalo {

namespace {

QIcon swatch(uint32_t word) {
    QPixmap pm(16, 12);
    pm.fill(colorFromWord(word));
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 15, 11);
    return QIcon(pm);
}

struct Named {
    uint32_t word;
    const char* name;
};

// Plain colours in the order of the classic sixteen-colour palette.
constexpr Named kPlainColors[] = {
    {0x00000000, "أسود"},    {0x00000080, "كستنائي"},    {0x00008000, "أخضر"},
    {0x00008080, "زيتوني"},  {0x00800000, "كحلي"},       {0x00800080, "أرجواني"},
    {0x00808000, "تركوازي"}, {0x00808080, "رمادي"},      {0x00C0C0C0, "فضي"},
    {0x000000FF, "أحمر"},    {0x0000FF00, "ليموني"},     {0x0000FFFF, "أصفر"},
    {0x00FF0000, "أزرق"},    {0x00FF00FF, "وردي"},       {0x00FFFF00, "سماوي"},
    {0x00FFFFFF, "أبيض"},    {0x00C08080, "أزرق رمادي"},
};

constexpr Named kSystemColors[] = {
    {0x80000005, "لون النافذة"},   {0x80000008, "نص النافذة"}, {0x8000000F, "وجه الزر"},
    {0x80000012, "نص الزر"},       {0x8000000D, "التحديد"},    {0x8000000E, "نص التحديد"},
    {0x80000018, "خلفية التلميح"}, {0x80000017, "نص التلميح"},
};

} // namespace

ColorPickerButton::ColorPickerButton(uint32_t defaultColor, QWidget* parent)
    : QToolButton(parent)
    , color_(defaultColor)
    , default_(defaultColor)
    , menu_(new QMenu(this)) {
    setAutoRaise(true);
    setPopupMode(QToolButton::InstantPopup);
    setMenu(menu_);
    menu_->setLayoutDirection(Qt::RightToLeft);
    buildMenu();
}

void ColorPickerButton::buildMenu() {
    menu_->addAction(swatch(default_), QString::fromUtf8("تلقائي"), this,
                     [this] { setColor(default_); });
    menu_->addSeparator();
    for (const Named& c : kPlainColors) {
        const uint32_t word = c.word;
        menu_->addAction(swatch(word), QString::fromUtf8(c.name), this,
                         [this, word] { setColor(word); });
    }
    menu_->addSeparator();
    for (const Named& c : kSystemColors) {
        const uint32_t word = c.word;
        menu_->addAction(swatch(word), QString::fromUtf8(c.name), this,
                         [this, word] { setColor(word); });
    }
    menu_->addSeparator();
    menu_->addAction(QString::fromUtf8("ألوان إضافية"), this, &ColorPickerButton::chooseMore);
}

void ColorPickerButton::chooseMore() {
    const QColor c = QColorDialog::getColor(colorFromWord(color_), this);
    if (c.isValid())
        setColor(wordFromColor(c));
}

void ColorPickerButton::setColor(uint32_t color) {
    if (color == color_)
        return;
    color_ = color;
    update();
    Q_EMIT colorChanged(color_);
}

void ColorPickerButton::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    QPainter p(this);
    const QRect r = rect().adjusted(4, 4, -14, -4);
    p.fillRect(r, colorFromWord(color_));
    p.setPen(Qt::black);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

} // namespace korvalo

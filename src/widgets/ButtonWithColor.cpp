#include "widgets/ButtonWithColor.h"

#include "widgets/PlatformColor.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace korvalo {

ButtonWithColor::ButtonWithColor(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent)
    , background_(colorFromWord(kRestingColor)) {
    setCursor(Qt::PointingHandCursor);
}

void ButtonWithColor::setBackgroundColor(const QColor& color) {
    if (background_ == color)
        return;
    background_ = color;
    update();
}

void ButtonWithColor::setTextColor(const QColor& color) {
    text_ = color;
    update();
}

void ButtonWithColor::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    Q_EMIT hovered();
}

void ButtonWithColor::paintEvent(QPaintEvent*) {
    // Painted by hand: style sheets would fight the per-button colours and
    // the platform style ignores a button's background role.
    QPainter p(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    QColor fill = background_;
    if (isDown())
        fill = fill.darker(120);
    if (!isEnabled())
        fill = QColor(0xA0, 0xA0, 0xA0);
    p.fillRect(r, fill);
    p.setPen(fill.darker(150));
    p.drawRect(r);
    if (hasFocus()) {
        p.setPen(QPen(text_, 1, Qt::DotLine));
        p.drawRect(r.adjusted(2, 2, -2, -2));
    }
    p.setPen(text_);
    p.setFont(font());
    // The caption reads in the button's own direction, not the program's: an
    // address on a button of a right-to-left window keeps its slash at the end.
    p.setLayoutDirection(layoutDirection());
    int textLeft = 0;
    if (!icon().isNull()) {
        const QSize s = iconSize();
        const QPixmap pm = icon().pixmap(s);
        p.drawPixmap(4, (height() - s.height()) / 2, pm);
        textLeft = s.width() + 4;
    }
    p.drawText(rect().adjusted(textLeft, 0, 0, 0), Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

} // namespace korvalo

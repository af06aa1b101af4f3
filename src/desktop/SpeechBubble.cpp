#include "desktop/SpeechBubble.h"

#include <QPainter>

namespace korvalo {

SpeechBubble::SpeechBubble(const QColor& fill, QWidget* parent)
    : QWidget(parent)
    , fill_(fill) {}

void SpeechBubble::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(fill_);
    p.drawRoundedRect(QRectF(rect()), kRadius, kRadius);
}

} // namespace korvalo

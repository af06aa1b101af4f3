#include "widgets/RightToLeftLabel.h"

#include <QPainter>
#include <QStyle>

namespace korvalo {

RightToLeftLabel::RightToLeftLabel(QWidget* parent)
    : QLabel(parent) {
    // Never markup: messages quote site descriptions and addresses.
    setTextFormat(Qt::PlainText);
    setLayoutDirection(Qt::RightToLeft);
}

void RightToLeftLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    int flags = int(alignment()) | Qt::TextForceRightToLeft;
    if (wordWrap())
        flags |= Qt::TextWordWrap;
    style()->drawItemText(&p, contentsRect(), flags, palette(), isEnabled(), text(),
                          foregroundRole());
}

} // namespace korvalo

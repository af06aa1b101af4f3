#include "mainwindow/LitPicture.h"

#include <QMouseEvent>

namespace korvalo {

LitPicture::LitPicture(const QString& name, const QRect& geometry, const QString& picture,
                       const QString& hint, QWidget* parent)
    : QLabel(parent) {
    setObjectName(name);
    setGeometry(geometry);
    setPixmap(QPixmap(picture));
    setCursor(Qt::PointingHandCursor);
    setToolTip(hint);
    hide();
}

void LitPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

} // namespace korvalo

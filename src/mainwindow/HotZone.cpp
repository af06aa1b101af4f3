#include "mainwindow/HotZone.h"

namespace korvalo {

HotZone::HotZone(const QString& name, const QRect& geometry, QWidget* parent)
    : QWidget(parent) {
    setObjectName(name);
    setGeometry(geometry);
}

void HotZone::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    Q_EMIT entered();
}

} // namespace korvalo

#include "mainwindow/BackgroundArea.h"

#include <QMouseEvent>

namespace korvalo {

BackgroundArea::BackgroundArea(QWidget* window)
    : QWidget(window)
    , window_(window) {
    setObjectName(QStringLiteral("Image3"));
    setGeometry(0, 0, 792, 538);
    setMouseTracking(true);
}

void BackgroundArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    downAt_ = event->position().toPoint();
}

void BackgroundArea::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT mouseMovedOver();
    // The point under the mouse goes back to where the button went down, so
    // the window follows the mouse.
    if (dragging_)
        window_->move(window_->pos() + event->position().toPoint() - downAt_);
}

void BackgroundArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    Q_EMIT leftButtonReleased();
}

} // namespace korvalo

#pragma once

#include <QPoint>
#include <QWidget>

namespace korvalo {

// A transparent area over the window's background picture: it moves the
// window while the left button drags it, and tells the window when the mouse
// moves over the bare background.
class BackgroundArea : public QWidget {
    Q_OBJECT
public:
    explicit BackgroundArea(QWidget* window);

    bool dragging() const { return dragging_; }

Q_SIGNALS:
    void mouseMovedOver();
    void leftButtonReleased();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* window_;
    bool dragging_ = false;
    QPoint downAt_;
};

} // namespace korvalo

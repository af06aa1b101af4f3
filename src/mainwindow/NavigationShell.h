#pragma once

#include <QLabel>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <vector>

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

// An invisible zone over a button painted into the background; the mouse
// coming onto it reveals the button's lit picture.
class HotZone : public QWidget {
    Q_OBJECT
public:
    HotZone(const QString& name, const QRect& geometry, QWidget* parent);

Q_SIGNALS:
    void entered();

protected:
    void enterEvent(QEnterEvent* event) override;
};

// The lit picture of a toolbar button: the part that is clicked.
class LitPicture : public QLabel {
    Q_OBJECT
public:
    LitPicture(const QString& name, const QRect& geometry, const QString& picture,
               const QString& hint, QWidget* parent);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The nine toolbar buttons, from right to left, each a hot zone and a lit
// picture named after the button: Show_Image1 and Show_Image2, ...
struct ToolbarButton {
    const char* name;
    QRect zone;
    QRect lit;
    const char* hint;
};
const std::vector<ToolbarButton>& toolbarButtons();

} // namespace korvalo

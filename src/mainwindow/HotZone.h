#pragma once

#include <QWidget>

namespace korvalo {

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

} // namespace korvalo

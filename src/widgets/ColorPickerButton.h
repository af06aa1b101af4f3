#pragma once

#include <QToolButton>

#include <cstdint>

class QMenu;

namespace korvalo {

// A flat button that shows a colour and drops down a palette to choose
// another: the default colour ("تلقائي"), a set of plain colours, the system
// colours and further colours ("ألوان إضافية"). Its value is a platform
// colour word.
class ColorPickerButton : public QToolButton {
    Q_OBJECT
public:
    explicit ColorPickerButton(uint32_t defaultColor, QWidget* parent = nullptr);

    uint32_t color() const { return color_; }
    void setColor(uint32_t color);
    uint32_t defaultColor() const { return default_; }

Q_SIGNALS:
    void colorChanged(uint32_t color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildMenu();
    void chooseMore();

    uint32_t color_;
    uint32_t default_;
    QMenu* menu_;
};

} // namespace korvalo

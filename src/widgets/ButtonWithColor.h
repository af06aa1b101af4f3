#pragma once

#include <QPushButton>

namespace korvalo {

// A push button whose background colour is set at run time. The main
// window's buttons rest in one colour and take another under the mouse.
class ButtonWithColor : public QPushButton {
    Q_OBJECT
public:
    static constexpr uint32_t kRestingColor = 16744448; // 0x00FF8000 as a colour word
    static constexpr uint32_t kHoverColor = 16121856;   // 0x00F60000

    explicit ButtonWithColor(const QString& caption, QWidget* parent = nullptr);

    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const { return background_; }
    void setTextColor(const QColor& color);

Q_SIGNALS:
    // The mouse came over the button; the window gives the hover colour to it
    // and the resting colour to the rest of its group.
    void hovered();

protected:
    void enterEvent(QEnterEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QColor background_;
    QColor text_ = Qt::white;
};

} // namespace korvalo

#pragma once

#include <QColor>
#include <QWidget>

namespace korvalo {

// The assistant's speech bubble: a rounded rectangle over the whole widget,
// filled with one colour and drawn without an outline.
class SpeechBubble : public QWidget {
    Q_OBJECT
public:
    SpeechBubble(const QColor& fill, QWidget* parent = nullptr);

    QColor fillColor() const { return fill_; }
    // How round the corners are, in pixels.
    static constexpr int kRadius = 12;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
};

} // namespace korvalo

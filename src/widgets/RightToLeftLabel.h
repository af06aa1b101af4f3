#pragma once

#include <QLabel>

namespace korvalo {

// A plain-text label whose lines always read right to left. QLabel takes the
// reading direction from the text's first strong letter, so a message that
// starts with an address would otherwise be laid out left to right.
class RightToLeftLabel : public QLabel {
    Q_OBJECT
public:
    explicit RightToLeftLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace korvalo

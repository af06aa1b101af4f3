#pragma once

#include <QLabel>

class QTimer;

namespace korvalo {

// The main window's one floating hint: a line of text in a given screen
// rectangle, hidden again by HintTimer two seconds later.
class FloatingHint : public QLabel {
    Q_OBJECT
public:
    explicit FloatingHint(QWidget* owner);

    // An empty rectangle or text hides the hint.
    void activate(const QRect& screenRect, const QString& text, const QColor& background);
    QTimer* HintTimer;
};

} // namespace korvalo

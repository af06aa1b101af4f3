#include "mainwindow/FloatingHint.h"

#include <QTimer>

namespace korvalo {

FloatingHint::FloatingHint(QWidget* owner)
    : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint)
    , HintTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("FloatingHint"));
    setAutoFillBackground(true);
    setLayoutDirection(Qt::LeftToRight); // it shows addresses
    setMargin(1);
    HintTimer->setObjectName(QStringLiteral("HintTimer"));
    HintTimer->setInterval(2000);
    HintTimer->setSingleShot(true);
    connect(HintTimer, &QTimer::timeout, this, [this] { activate({}, {}, {}); });
}

void FloatingHint::activate(const QRect& screenRect, const QString& text,
                            const QColor& background) {
    if (screenRect.isEmpty() || text.isEmpty()) {
        setText({});
        hide();
        return;
    }
    QPalette pal = palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setText(text);
    setGeometry(screenRect);
    show();
}

} // namespace korvalo

#include "online/ui/OnlineStatus.h"

#include <QLabel>

namespace korvalo {

OnlineStatus::OnlineStatus(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("OnlineStatus"));

    Label9 = new QLabel(this);
    Label9->setObjectName(QStringLiteral("Label9"));
    Label9->setGeometry(0, 4, 17, 21);
    Label9->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    Ip_Label = new QLabel(offlineText(), this);
    Ip_Label->setObjectName(QStringLiteral("Ip_Label"));
    Ip_Label->setGeometry(19, 4, 144, 21);
    Ip_Label->setLayoutDirection(Qt::LeftToRight);
    Ip_Label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Ip_Label->setStyleSheet(QStringLiteral("color: gray;"));

    Shape2 = new QLabel(this);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setGeometry(167, 9, 14, 11);
    setLamp(QColor(255, 0, 0));
}

void OnlineStatus::showState(bool online, const QString& address) {
    Label9->setText(online ? QStringLiteral("Ip") : QString());
    setLamp(online ? QColor(0, 255, 0) : QColor(255, 0, 0));
    Ip_Label->setText(online ? address : offlineText());
}

QString OnlineStatus::offlineText() {
    return QString::fromUtf8("غير متصل");
}

void OnlineStatus::setLamp(const QColor& color) {
    lamp_ = color;
    Shape2->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid black;"
                                         " border-radius: 5px;")
                              .arg(color.name()));
}

} // namespace korvalo

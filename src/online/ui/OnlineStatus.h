#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

class QLabel;

namespace korvalo {

// The online part of the status strip: Label9 ("Ip" while online), the
// address label Ip_Label and the round lamp Shape2. It shows what the main
// window's online-state watcher reports; it polls nothing itself.
class OnlineStatus : public QWidget {
    Q_OBJECT
public:
    // Where the strip's online part sits in the main window, right of the
    // user count.
    static constexpr QRect kGeometry{600, 509, 184, 29};

    explicit OnlineStatus(QWidget* parent = nullptr);

    QLabel* Label9;
    QLabel* Ip_Label; // left to right, grey
    QLabel* Shape2;   // the lamp, 14 by 11

    // The display part of OnlineIP1Changed: online shows "Ip", the address
    // and a green lamp; offline an empty Label9, "غير متصل" and a red lamp.
    void showState(bool online, const QString& address);

    QColor lampColor() const { return lamp_; }

    static QString offlineText();

private:
    void setLamp(const QColor& color);

    QColor lamp_;
};

} // namespace korvalo

#include "online/ui/ContactMenu.h"

#include "data/SourceText.h"
#include "mainwindow/PanelHost.h"
#include "online/ServerAddress.h"
#include "online/ui/TFormMail.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>

namespace korvalo {

ContactMenu::ContactMenu(PanelHost& host, TFormMail& mail, QWidget* window)
    : QObject(window)
    , host_(host)
    , mail_(mail) {
    Option_Popup = new QMenu(window);
    Option_Popup->setObjectName(QStringLiteral("Option_Popup"));
    Option_Popup->setLayoutDirection(Qt::RightToLeft);
    Option_Popup->addAction(u("راسلنا"), this, &ContactMenu::N31Click)
        ->setObjectName(QStringLiteral("N31"));
    Option_Popup->addAction(u("طلب اضافة عنوان"), this, &ContactMenu::N6Click)
        ->setObjectName(QStringLiteral("N6"));
    Option_Popup->addAction(u("اخبر صديقك"), this, &ContactMenu::N32Click)
        ->setObjectName(QStringLiteral("N32"));

    Image1 = new QLabel(window);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(kImage1Geometry);
    Image1->setPixmap(QPixmap(QStringLiteral(":/artwork/home-link.jpg")));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);
}

void ContactMenu::popUp(const QPoint& topRight) {
    Option_Popup->ensurePolished();
    const int width = Option_Popup->sizeHint().width();
    Option_Popup->popup(QPoint(topRight.x() - width, topRight.y()));
}

void ContactMenu::N31Click() {
    mail_.setContactMode();
    mail_.exec();
}

void ContactMenu::N32Click() {
    mail_.setTellMode();
    mail_.exec();
}

void ContactMenu::N6Click() {
    host_.openSite(ServerBaseAddress() + QStringLiteral("/links/addLink.asp"));
}

void ContactMenu::Image1Click() {
    host_.openSite(ServerBaseAddress());
}

bool ContactMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Image1)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress)
        return true; // the picture takes its own press, so its release follows
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            Image1->rect().contains(mouse->position().toPoint()))
            Image1Click();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace korvalo

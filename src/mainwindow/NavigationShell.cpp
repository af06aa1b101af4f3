#include "mainwindow/NavigationShell.h"

#include <QMouseEvent>

namespace korvalo {

BackgroundArea::BackgroundArea(QWidget* window)
    : QWidget(window)
    , window_(window) {
    setObjectName(QStringLiteral("Image3"));
    setGeometry(0, 0, 792, 538);
    setMouseTracking(true);
}

void BackgroundArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    downAt_ = event->position().toPoint();
}

void BackgroundArea::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT mouseMovedOver();
    // The point under the mouse goes back to where the button went down, so
    // the window follows the mouse.
    if (dragging_)
        window_->move(window_->pos() + event->position().toPoint() - downAt_);
}

void BackgroundArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    Q_EMIT leftButtonReleased();
}

HotZone::HotZone(const QString& name, const QRect& geometry, QWidget* parent)
    : QWidget(parent) {
    setObjectName(name);
    setGeometry(geometry);
}

void HotZone::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    Q_EMIT entered();
}

LitPicture::LitPicture(const QString& name, const QRect& geometry, const QString& picture,
                       const QString& hint, QWidget* parent)
    : QLabel(parent) {
    setObjectName(name);
    setGeometry(geometry);
    setPixmap(QPixmap(picture));
    setCursor(Qt::PointingHandCursor);
    setToolTip(hint);
    hide();
}

void LitPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

const std::vector<ToolbarButton>& toolbarButtons() {
    static const std::vector<ToolbarButton> buttons = {
        {"Show", {728, 16, 48, 41}, {729, 18, 51, 47}, "عرض جميع المواقع"},
        {"Favorites", {662, 16, 49, 42}, {660, 17, 51, 46}, "للتحول الى شاشة المواقع المفضلة لديك"},
        {"Favorites_Ie",
         {592, 16, 45, 38},
         {589, 18, 52, 46},
         "لعرض جميع المواقع الموجودة في مفضلة المتصفح"},
        {"Add", {504, 16, 50, 37}, {505, 16, 54, 47}, "لاضافة عنوان أو موضوع"},
        {"Search", {430, 16, 47, 41}, {428, 17, 51, 51}, "للبحث عن عنوان أو وصف لعنوان"},
        {"Email", {344, 17, 49, 40}, {340, 17, 59, 49}, "لعرض شاشة خصائص"},
        {"Option", {265, 16, 50, 41}, {268, 16, 53, 48}, "من هنا يمكنك التواصل معنا أو مع اصدقائك"},
        {"Help", {196, 18, 46, 37}, {198, 16, 49, 46}, "لعرض المساعد الشخصي"},
        {"About", {131, 17, 41, 37}, {133, 16, 44, 47}, "لعرض شاشة حول البرنامج"},
    };
    return buttons;
}

} // namespace korvalo

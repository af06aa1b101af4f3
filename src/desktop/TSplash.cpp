#include "desktop/TSplash.h"

#include "images/ArtworkResources.h"
#include "online/ServerAddress.h"
#include "widgets/ButtonHoverGroup.h"
#include "widgets/ButtonWithColor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QWindow>

namespace korvalo {

namespace {

const char* const kTextFamily = "DejaVu Sans";
// The site's address in the button's width: a long server name takes a
// smaller face rather than losing its end.
void fitCaption(QPushButton* button, const QString& caption) {
    QFont face = button->font();
    for (int pixels = 11; pixels > 7; --pixels) {
        face.setPixelSize(pixels);
        if (QFontMetrics(face).horizontalAdvance(caption) <= button->width() - 6)
            break;
    }
    button->setFont(face);
    button->setText(caption);
}

// How long the splash waits for the desktop to map it before painting anyway.
constexpr int kExposeWaitMs = 1000;

} // namespace

TSplash::TSplash(QWidget* parent, int closeAfterMs)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , hover_(new ButtonHoverGroup(this)) {
    registerArtworkResources();
    setObjectName(QStringLiteral("Splash"));
    setFixedSize(kWidth, kHeight);
    setLayoutDirection(Qt::RightToLeft);
    // Its closing never ends the program, even before the main window shows.
    setAttribute(Qt::WA_QuitOnClose, false);
    QFont face(QString::fromLatin1(kTextFamily));
    face.setPixelSize(11);
    setFont(face);

    // The panel's border is the window's thin frame.
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(0, 0, kWidth, kHeight);
    Panel2->setStyleSheet(
        QStringLiteral("QFrame#Panel2 { background: white; border: 1px solid #0b2a4a; }"));

    Image1 = new QLabel(Panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 400, 201);
    Image1->setPixmap(QPixmap(QStringLiteral(":/artwork/splash.jpg")));
    hover_->addResetArea(Image1);

    Label1 = new QLabel(Panel2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(3, 8, 160, 14);
    Label1->setLayoutDirection(Qt::LeftToRight);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1->setStyleSheet(QStringLiteral("color: yellow; background: transparent;"));

    BitBtnWithColor4 = button("BitBtnWithColor4", 8);
    BitBtnWithColor4->setText(QString::fromUtf8("اغـلاق"));
    connect(BitBtnWithColor4, &QPushButton::clicked, this, &QDialog::accept);
    BitBtnWithColor1 = button("BitBtnWithColor1", 96);
    fitCaption(BitBtnWithColor1, siteAddress());
    // The address reads left to right whatever the window's direction.
    BitBtnWithColor1->setLayoutDirection(Qt::LeftToRight);
    connect(BitBtnWithColor1, &QPushButton::clicked, this, [this] {
        if (open_)
            open_(siteAddress());
    });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(closeAfterMs);
    connect(Timer1, &QTimer::timeout, this, &QWidget::close);
    Timer1->start();
}

ButtonWithColor* TSplash::button(const char* name, int left) {
    auto* b = new ButtonWithColor(QString(), Panel2);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, 152, 86, 25);
    b->hide();
    hover_->addButton(b);
    return b;
}

QString TSplash::siteAddress() {
    // The authority keeps an IPv6 host in its brackets and drops no port.
    return QUrl(ServerBaseAddress()).adjusted(QUrl::RemoveUserInfo).authority() + QLatin1Char('/');
}

QString TSplash::buildText() {
    return QStringLiteral("Build 1702b - 11/2003");
}

void TSplash::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
}

void TSplash::showSplash() {
    show();
    // No event loop runs while the main window is built, so the first paint
    // must happen here; a desktop maps a new window only after a round trip.
    const QDeadlineTimer deadline(kExposeWaitMs);
    while (windowHandle() && !windowHandle()->isExposed() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TSplash::ShowAbout() {
    // Its own timer ran out long ago; stopped, it can never close the window
    // under the user.
    Timer1->stop();
    Panel2->show();
    BitBtnWithColor4->show();
    fitCaption(BitBtnWithColor1, siteAddress());
    BitBtnWithColor1->show();
    Label1->setText(buildText());
    hover_->rest();
    exec();
}

} // namespace korvalo

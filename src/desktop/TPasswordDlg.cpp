#include "desktop/TPasswordDlg.h"

#include "data/SourceText.h"
#include "desktop/PictureCard.h"
#include "widgets/ButtonHoverGroup.h"
#include "widgets/ButtonWithColor.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPolygonF>
#include <QScreen>

#include <limits>

namespace korvalo {

namespace {

constexpr QSize kGlyphSize{12, 12};

// The glyphs of the OK and Cancel buttons, light on the buttons' blue.
QIcon answerGlyph(bool ok) {
    constexpr qreal kScale = 2; // sharp on high-density screens too
    QPixmap pixmap(kGlyphSize * kScale);
    pixmap.setDevicePixelRatio(kScale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(ok ? QColor(0xa6, 0xff, 0xa6) : QColor(0xff, 0xb0, 0xb0), 2.2);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    if (ok) {
        p.drawPolyline(QPolygonF({QPointF(2, 6.5), QPointF(5, 9.5), QPointF(10, 2.5)}));
    } else {
        p.drawLine(QPointF(2.5, 2.5), QPointF(9.5, 9.5));
        p.drawLine(QPointF(9.5, 2.5), QPointF(2.5, 9.5));
    }
    p.end();
    return QIcon(pixmap);
}

} // namespace

TPasswordDlg::TPasswordDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , hover_(new ButtonHoverGroup(this)) {
    Image1 = setUpPictureCard(this, QStringLiteral("PasswordDlg"), kWidth, kHeight,
                              QStringLiteral(":/artwork/password.gif"));

    Label1 = new QLabel(u("ادخل كلمة السر"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(164, 17);
    Label1->adjustSize();

    Password = new QLineEdit(this);
    Password->setObjectName(QStringLiteral("Password"));
    Password->setGeometry(16, 35, 217, 19);
    Password->setFrame(false);
    Password->setEchoMode(QLineEdit::Password);
    // Shown as "*" rather than the style's bullet.
    Password->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    Password->setMaxLength(std::numeric_limits<int>::max());

    Button1 = new ButtonWithColor(u("موافق"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setIcon(answerGlyph(true));
    Button1->setIconSize(kGlyphSize);
    Button1->setGeometry(162, 67, 71, 22);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { done(kOk); });

    Button2 = new ButtonWithColor(u("الغاء"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setIcon(answerGlyph(false));
    Button2->setIconSize(kGlyphSize);
    Button2->setGeometry(74, 68, 71, 21);
    connect(Button2, &QPushButton::clicked, this, [this] { done(kCancel); });

    for (ButtonWithColor* button : {Button1, Button2})
        hover_->addButton(button);
    hover_->addResetArea(Image1);
    hover_->addResetArea(Label1);
    hover_->addResetArea(Password);
}

TPasswordDlg& TPasswordDlg::instance() {
    static QPointer<TPasswordDlg> dialog;
    if (!dialog) {
        dialog = new TPasswordDlg;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [] { delete dialog.data(); });
    }
    return *dialog;
}

void TPasswordDlg::reject() {
    done(kCancel);
}

void TPasswordDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
    Password->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace korvalo

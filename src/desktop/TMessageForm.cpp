#include "desktop/TMessageForm.h"

#include "data/SourceText.h"
#include "desktop/PictureCard.h"
#include "widgets/ButtonHoverGroup.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/RightToLeftLabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QScreen>

namespace korvalo {

namespace {

// The check box of the minimise notice takes one pixel less than the text, so
// its caption fits beside the picture.
constexpr int kCheckBoxPixelSize = 11;

} // namespace

TMessageForm::TMessageForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , hover_(new ButtonHoverGroup(this)) {
    Image1 = setUpPictureCard(this, QStringLiteral("MessageForm"), kWidth, kHeight,
                              QStringLiteral(":/artwork/message.gif"));

    Label1 = new RightToLeftLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 32, 267, 58);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Wrapped rather than cut off at the card's edge, so a long message stays readable.
    Label1->setWordWrap(true);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(16, 64, 99, 40);
    Image2->setScaledContents(true);
    Image2->setPixmap(QPixmap(QStringLiteral(":/artwork/tray-notice.gif")));
    Image2->hide();

    CheckBox1 = new QCheckBox(u("لا تعرض هذه الرسالة مرة اخرى"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setLayoutDirection(Qt::RightToLeft);
    CheckBox1->setGeometry(120, 85, 170, 17);
    QFont small = font();
    small.setPixelSize(kCheckBoxPixelSize);
    CheckBox1->setFont(small);
    CheckBox1->hide();

    Yes = makeButton(u("موافق"), "Yes", 193, kPositive);
    Ok = makeButton(u("تم"), "Ok", 113, kPositive);
    No = makeButton(u("الغاء"), "No", 33, kCancel);

    hover_->addResetArea(Image1);
    hover_->addResetArea(Label1);
    prepare(QString(), false);
}

ButtonWithColor* TMessageForm::makeButton(const QString& caption, const char* name, int left,
                                          int result) {
    auto* button = new ButtonWithColor(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, 104, 75, 23);
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    hover_->addButton(button);
    return button;
}

TMessageForm& TMessageForm::instance() {
    static QPointer<TMessageForm> form;
    if (!form) {
        form = new TMessageForm;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [] { delete form.data(); });
    }
    return *form;
}

void TMessageForm::prepare(const QString& text, bool yesNo) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Label1->setText(shown);

    Ok->setVisible(!yesNo);
    Yes->setVisible(yesNo);
    No->setVisible(yesNo);
    // Enter answers with the positive button even when the focus has moved
    // to the check box of the minimise notice.
    (yesNo ? Yes : Ok)->setDefault(true);
}

ButtonWithColor* TMessageForm::firstVisibleButton() const {
    for (ButtonWithColor* button : {Yes, Ok, No}) {
        if (!button->isHidden())
            return button;
    }
    return nullptr;
}

void TMessageForm::reject() {
    done(kCancel);
}

void TMessageForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
    if (ButtonWithColor* button = firstVisibleButton())
        button->setFocus(Qt::ActiveWindowFocusReason);
}

void TMessageForm::keyPressEvent(QKeyEvent* event) {
    // Escape is "الغاء" when the question shows it; an information box has
    // only "تم", which Escape must not give.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (!No->isHidden())
            No->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

int ShowMessageBox(const QString& text, bool yesNo) {
    TMessageForm& shared = TMessageForm::instance();
    int result = 0;
    if (!shared.isVisible()) {
        shared.prepare(text, yesNo);
        result = shared.exec();
    } else {
        // A message raised while another is open (by a timer or a network
        // event) gets a window of its own: reusing the open one would replace
        // its text, and a second exec() of it fails at once.
        TMessageForm nested;
        nested.prepare(text, yesNo);
        result = nested.exec();
    }
    // A window hidden or destroyed without an answer counts as "الغاء", so a
    // caller never goes on with a question that was not agreed to.
    return result == TMessageForm::kPositive ? TMessageForm::kPositive : TMessageForm::kCancel;
}

} // namespace korvalo

#include "online/ui/MailDialog.h"

#include "data/SourceText.h"
#include "desktop/PictureCard.h"
#include "online/TOnlineIP.h"
#include "widgets/ButtonHoverGroup.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/MemoField.h"
#include "widgets/TRegComboBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QMovie>

namespace korvalo {

MailDialog::MailDialog(const QString& objectName, QSize size, const QString& picture,
                       const RegistryFile& registry, QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags | Qt::FramelessWindowHint)
    , registry_(registry)
    , hover_(new ButtonHoverGroup(this)) {
    Image1 = setUpPictureCard(this, objectName, size.width(), size.height(), picture);
    Image1->installEventFilter(this);
    hover_->addResetArea(Image1);
}

void MailDialog::setOnlineWatcher(const TOnlineIP* watcher) {
    watcher_ = watcher;
}

bool MailDialog::online() const {
    return watcher_ && watcher_->Online();
}

TRegComboBox* MailDialog::addHistoryBox(const char* name, const QRect& geometry, int maxLength,
                                        bool leftToRight) {
    auto* box = new TRegComboBox(registry_, this);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    box->setMaxLength(maxLength);
    if (leftToRight)
        box->setLayoutDirection(Qt::LeftToRight);
    return box;
}

QLineEdit* MailDialog::addEdit(const char* name, const QRect& geometry, int maxLength) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(geometry);
    edit->setMaxLength(maxLength);
    return edit;
}

QLabel* MailDialog::addLabel(const char* name, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    label->setStyleSheet(QStringLiteral("color: #1b344c;"));
    // The background under a label drags the window too.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

ButtonWithColor* MailDialog::addButton(const char* name, const QString& caption,
                                       const QRect& geometry) {
    auto* button = new ButtonWithColor(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    // Enter in a field sends nothing: only a click on "ارسل" does.
    button->setAutoDefault(false);
    hover_->addButton(button);
    return button;
}

MemoField* MailDialog::addMessage(const QRect& geometry) {
    Message = new MemoField(this);
    Message->setObjectName(QStringLiteral("Message"));
    Message->setGeometry(geometry);
    return Message;
}

void MailDialog::addSendingNotice(const QRect& clockGeometry, const QRect& labelGeometry,
                                  const QString& clock) {
    Clock_Image = new QLabel(this);
    Clock_Image->setObjectName(QStringLiteral("Clock_Image"));
    Clock_Image->setGeometry(clockGeometry);
    if (!clock.isEmpty()) {
        clock_ = new QMovie(clock, QByteArray(), this);
        Clock_Image->setMovie(clock_);
    }
    Clock_Image->hide();
    SendLabel = new QLabel(u("يتم الأن ارسال الرسالة ,يرجى الانتظار........"), this);
    SendLabel->setObjectName(QStringLiteral("SendLabel"));
    SendLabel->setGeometry(labelGeometry);
    SendLabel->setAlignment(Qt::AlignCenter);
    SendLabel->setWordWrap(true);
    SendLabel->setStyleSheet(QStringLiteral("color: #0d4f63; font-weight: bold;"));
    SendLabel->hide();
}

void MailDialog::showSending(bool on) {
    Clock_Image->setVisible(on);
    SendLabel->setVisible(on);
    if (!clock_)
        return;
    if (on)
        clock_->start();
    else
        clock_->stop();
}

void MailDialog::restButtons() {
    hover_->rest();
}

void MailDialog::appendTwoBlanks() {
    QStringList lines = Message->lines();
    for (QString& line : lines)
        line += QStringLiteral("  ");
    Message->setLines(lines);
}

QString MailDialog::body() const {
    return Message->lines().join(QStringLiteral("\r\n"));
}

void MailDialog::loadHistories() {
    for (TRegComboBox* box : findChildren<TRegComboBox*>())
        box->LoadHistory();
}

bool MailDialog::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched != Image1 || (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
                              type != QEvent::MouseButtonRelease))
        return QDialog::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        dragging_ = true;
        pressedAt_ = mouse->globalPosition().toPoint();
        windowAtPress_ = pos();
    } else if (type == QEvent::MouseMove && dragging_) {
        // Measured on the screen: the picture itself moves with the window.
        move(windowAtPress_ + mouse->globalPosition().toPoint() - pressedAt_);
    } else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
        dragging_ = false;
    }
    return QDialog::eventFilter(watched, event);
}

QString MailDialog::offlineMessage() {
    return u("انت غير متصل بالانترنت....!");
}

QString MailDialog::missingFieldsMessage() {
    return u("يجب ملئ جميع الخانات");
}

QString MailDialog::badAddressMessage() {
    return u("اكتب بريدك الالكتروني بشكل صحيح");
}

QString MailDialog::sentMessage() {
    return u("تم ارسال رسالتك");
}

QString MailDialog::notSentMessage() {
    return u("حدث خطاء في ارسال الرسالة") + QStringLiteral("\n\n") +
           u("تأكد من كتابة البريد الالكتروني بشكل صحيح");
}

QString MailDialog::failedMessage() {
    return u("حدث خطاء في ارسال الرسالة") + QStringLiteral("\n\n") +
           u("ارجو ان تحاول مرة اخرى او في وقت لاحق..");
}

} // namespace korvalo

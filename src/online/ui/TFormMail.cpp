#include "online/ui/TFormMail.h"

#include "data/SourceText.h"
#include "desktop/TMessageForm.h"
#include "online/MailRelay.h"
#include "online/THTTPClient.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/MemoField.h"
#include "widgets/TRegComboBox.h"

#include <QCheckBox>
#include <QFrame>
#include <QGuiApplication>
#include <QIODevice>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>

namespace korvalo {

namespace {

// Labels on the right, fields on the left of them; the room further left
// holds the sending notice.
constexpr int kFieldLeft = 120;
constexpr int kFieldWidth = 226;
constexpr int kLabelLeft = 352;
constexpr int kLabelWidth = 89;
constexpr int kRowHeight = 22;
constexpr int kMessageLeft = 12;
constexpr int kMessageWidth = TFormMail::kWidth - 2 * kMessageLeft;

// The lines of the template that the typing fills in.
constexpr int kGreetingLine = 0;
constexpr int kSenderNameLine = 8;
constexpr int kSenderEmailLine = 9;

QRect field(int top) {
    return {kFieldLeft, top, kFieldWidth, kRowHeight};
}

QRect label(int top) {
    return {kLabelLeft, top, kLabelWidth, kRowHeight};
}

QString greeting(const QString& friendName) {
    return u("عزيزي ") + friendName;
}

} // namespace

QString TFormMail::tellSubject() {
    return u("صديق يريدك ان تقوم بتجربة برنامج Korvalo ");
}

QStringList TFormMail::tellTemplate() {
    return {u("عزيزي  (اسم صديقك)"),
            QString(),
            u("السلام عليكم ورحمة الله وبركاتة."),
            u("انا استخدم برنامج Korvalo  ,واتوقع ان يعجبك."),
            u("حيث يحتوي على قائمة باكثر من 6000 موقع مع تصنيف لكل المواقع "),
            u(",مواقع تاريخية,لغة عربية,شعر,محادثة,تسلية,طب,صحف,والكثير غيرها."),
            QString(),
            QString(),
            u("(اسمك)"),
            u("(بريدك الالكتروني)")};
}

TFormMail::TFormMail(const RegistryFile& registry, QWidget* parent)
    : MailDialog(QStringLiteral("FormMail"), {kWidth, kHeight},
                 QStringLiteral(":/artwork/mail.gif"), registry, parent, Qt::Dialog) {
    setModal(true);

    // The title strip: one picture per mode, then a line under it.
    auto title = [this](const char* name, const char* picture) {
        auto* image = new QLabel(this);
        image->setObjectName(QString::fromLatin1(name));
        image->setGeometry(0, 0, kWidth, 40);
        image->setPixmap(QPixmap(QString::fromLatin1(picture)));
        image->setAttribute(Qt::WA_TransparentForMouseEvents);
        return image;
    };
    Contact_Image = title("Contact_Image", ":/artwork/mail-contact.gif");
    Tell_Image = title("Tell_Image", ":/artwork/mail-tell.gif");
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(8, 42, kWidth - 16, 3);

    addLabel("Label1", u("اسمك"), label(50));
    Name = addHistoryBox("Name", field(50), 30, false);
    addLabel("Label2", u("بريدك الالكتروني"), label(74));
    Email = addHistoryBox("Email", field(74), 22, true);
    // Subject and the friend's name share a row, as do the message's label
    // and the friend's address; the mode shows one of each.
    subjectLabel_ = addLabel("Label3", u("موضوع الرسالة"), label(98));
    Subject = addEdit("Subject", field(98), 30);
    friendNameLabel_ = addLabel("Label4", u("اسم صديقك"), label(98));
    FriendName = addHistoryBox("FriendName", field(98), 30, false);
    messageLabel_ = addLabel("Label5", u("نص الرسالة"), label(122));
    friendEmailLabel_ = addLabel("Label6", u("بريد صديقك"), label(122));
    FriendEmail = addHistoryBox("FriendEmail", field(122), 30, true);
    CheckBox1 = new QCheckBox(u("إختر هنا اذا كنت ترغب ان تقوم انت بكتابة الرسالة."), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(kMessageLeft, 146, kMessageWidth, 20);
    CheckBox1->setStyleSheet(QStringLiteral("color: #1b344c;"));
    addMessage({kMessageLeft, 144, kMessageWidth, 121})->setMaxLength(800);
    BitBtnWithColor1 = addButton("BitBtnWithColor1", u("ارسل"), {337, 284, 100, 25});
    BitBtnWithColor2 = addButton("BitBtnWithColor2", u("مسح الحقول"), {229, 284, 100, 25});
    BitBtnWithColor3 = addButton("BitBtnWithColor3", u("اغلاق"), {121, 284, 100, 25});
    addSendingNotice({44, 54, 33, 33}, {8, 90, 104, 48}, QStringLiteral(":/artwork/clock.gif"));

    HTTPSendMail2 = new THTTPClient(this);
    HTTPSendMail2->setObjectName(QStringLiteral("HTTPSendMail2"));
    HTTPSendMail2->setUseCache(false);
    connect(HTTPSendMail2, &TCustomHTTPClient::OnDone, this, &TFormMail::HTTPSendMail2Done);
    connect(HTTPSendMail2, &TCustomHTTPClient::OnAnyError, this, &TFormMail::HTTPSendMail2AnyError);
    connect(BitBtnWithColor1, &QPushButton::clicked, this, &TFormMail::BitBtnWithColor1Click);
    connect(BitBtnWithColor2, &QPushButton::clicked, this, &TFormMail::BitBtnWithColor2Click);
    connect(BitBtnWithColor3, &QPushButton::clicked, this, &TFormMail::BitBtnWithColor3Click);
    connect(CheckBox1, &QCheckBox::toggled, this, &TFormMail::CheckBox1Click);
    connect(Name, &QComboBox::editTextChanged, this, &TFormMail::NameChange);
    connect(Email, &QComboBox::editTextChanged, this, &TFormMail::EmailChange);
    connect(FriendName, &QComboBox::editTextChanged, this, &TFormMail::FriendNameChange);

    loadHistories();
    setContactMode();
}

void TFormMail::setContactMode() {
    setWindowTitle(u("راسلنا"));
    subjectLabel_->show();
    Subject->show();
    Subject->clear();
    messageLabel_->show();
    friendNameLabel_->hide();
    FriendName->hide();
    friendEmailLabel_->hide();
    FriendEmail->hide();
    CheckBox1->hide();
    Message->setGeometry(kMessageLeft, 144, kMessageWidth, 121);
    Message->setReadOnly(false);
    Message->clear();
    Contact_Image->show();
    Tell_Image->hide();
}

void TFormMail::setTellMode() {
    setWindowTitle(u("اخبر صديقك"));
    subjectLabel_->hide();
    Subject->hide();
    messageLabel_->hide();
    friendNameLabel_->show();
    FriendName->show();
    friendEmailLabel_->show();
    FriendEmail->show();
    CheckBox1->show();
    Message->setGeometry(kMessageLeft, 168, kMessageWidth, 92);
    Message->setReadOnly(true);
    Contact_Image->hide();
    Tell_Image->show();
}

bool TFormMail::tellingToSend() const {
    return !FriendEmail->isHidden();
}

bool TFormMail::tellingForMessage() const {
    return !CheckBox1->isHidden();
}

void TFormMail::fillTemplate() {
    Message->setLines(tellTemplate());
}

void TFormMail::resetMessageArea() {
    Message->clear();
    if (tellingForMessage() && !CheckBox1->isChecked())
        fillTemplate();
}

void TFormMail::showEvent(QShowEvent* event) {
    MailDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
    // Each showing starts at the first field, whatever had the focus when
    // the dialog was closed (a field the other mode hides, say).
    Name->setFocus(Qt::ActiveWindowFocusReason);
    FormShow();
}

void TFormMail::FormShow() {
    // Contact mode: the menu command has emptied the message already.
    if (tellingForMessage())
        fillTemplate();
}

void TFormMail::BitBtnWithColor1Click() {
    if (!online()) {
        ShowMessageBox(offlineMessage(), false);
        return;
    }
    const bool tell = tellingToSend();
    const bool missing = tell ? FriendName->text().isEmpty() || FriendEmail->text().isEmpty()
                              : Name->text().isEmpty() || Email->text().isEmpty() ||
                                    Subject->text().isEmpty() || Message->toPlainText().isEmpty();
    if (missing) {
        ShowMessageBox(missingFieldsMessage(), false);
        return;
    }
    if (!LooksLikeMailAddress(Email->text())) {
        ShowMessageBox(badAddressMessage(), false);
        return;
    }
    appendTwoBlanks();
    RelayMessage m;
    if (tell) {
        m.ToEmail = FriendEmail->text();
        m.Subject = tellSubject();
        m.FromName = MakerFeedbackAddress();
        if (!Name->text().isEmpty() && !Email->text().isEmpty()) {
            Message->replaceLine(kSenderNameLine, Name->text());
            Message->replaceLine(kSenderEmailLine, Email->text());
        }
    } else {
        m.Subject = Subject->text();
        m.FromName = Name->text();
    }
    m.FromEmail = Email->text();
    m.Body = body();
    HTTPSendMail2->setURL(BuildRelayRequest(m));
    HTTPSendMail2->Read();
    BitBtnWithColor1->setEnabled(false);
    showSending(true);
}

void TFormMail::HTTPSendMail2Done(TCustomHTTPClient*, const QString&, qint64, QIODevice* stream) {
    const QByteArray reply = stream ? stream->readAll() : QByteArray();
    if (RelayAccepted(reply)) {
        ShowMessageBox(sentMessage(), false);
        Subject->clear();
        FriendName->ClearAll();
        FriendEmail->ClearAll();
        showSending(false);
        resetMessageArea();
    } else {
        // The message stays as it was sent, so that the user can mend the
        // address and press "ارسل" again.
        ShowMessageBox(notSentMessage(), false);
        showSending(false);
    }
    BitBtnWithColor1->setEnabled(true);
}

void TFormMail::HTTPSendMail2AnyError(TCustomHTTPClient*) {
    ShowMessageBox(failedMessage(), false);
    showSending(false);
    BitBtnWithColor1->setEnabled(true);
}

void TFormMail::BitBtnWithColor2Click() {
    Subject->clear();
    FriendName->ClearAll();
    FriendEmail->ClearAll();
    resetMessageArea();
}

void TFormMail::BitBtnWithColor3Click() {
    close();
}

void TFormMail::CheckBox1Click() {
    if (CheckBox1->isChecked()) {
        Message->setReadOnly(false);
        Message->clear();
        return;
    }
    Message->clear();
    Message->setReadOnly(true);
    fillTemplate();
    if (!Name->text().isEmpty())
        Message->replaceLine(kSenderNameLine, Name->text());
    if (!FriendName->text().isEmpty())
        Message->replaceLine(kGreetingLine, greeting(FriendName->text()));
    if (!Email->text().isEmpty())
        Message->replaceLine(kSenderEmailLine, Email->text());
}

void TFormMail::NameChange() {
    if (!Name->text().isEmpty() && tellingForMessage())
        Message->replaceLine(kSenderNameLine, Name->text());
}

void TFormMail::EmailChange() {
    if (!Email->text().isEmpty() && tellingForMessage())
        Message->replaceLine(kSenderEmailLine, Email->text());
}

void TFormMail::FriendNameChange() {
    if (!FriendName->text().isEmpty())
        Message->replaceLine(kGreetingLine, greeting(FriendName->text()));
}

} // namespace korvalo

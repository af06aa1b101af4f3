#include "online/ui/TSendUrlToFrind.h"

#include "data/SourceText.h"
#include "desktop/TMessageForm.h"
#include "online/MailRelay.h"
#include "online/THTTPClient.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/MemoField.h"
#include "widgets/TRegComboBox.h"

#include <QGuiApplication>
#include <QIODevice>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

namespace korvalo {

namespace {

// Labels on the right, fields on the left of them.
constexpr int kFieldLeft = 12;
constexpr int kFieldWidth = 204;
constexpr int kLabelLeft = 222;
constexpr int kLabelWidth = 86;
constexpr int kRowHeight = 22;

QRect field(int top) {
    return {kFieldLeft, top, kFieldWidth, kRowHeight};
}

QRect label(int top) {
    return {kLabelLeft, top, kLabelWidth, kRowHeight};
}

} // namespace

TSendUrlToFrind::TSendUrlToFrind(const RegistryFile& registry, QWidget* parent)
    : MailDialog(QStringLiteral("SendUrlToFrind"), {kWidth, kHeight},
                 QStringLiteral(":/artwork/send-to-friend.gif"), registry, parent,
                 Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setWindowTitle(u("ارسل الى صديق"));

    addLabel("Label1", u("اسمك"), label(48));
    Name = addHistoryBox("Name", field(48), 30, false);
    addLabel("Label2", u("بريدك الالكتروني"), label(76));
    Email = addHistoryBox("Email", field(76), 22, true);
    addLabel("Label3", u("عنوان الرسالة"), label(104));
    Subject = addEdit("Subject", field(104), 30);
    addLabel("Label4", u("بريد صديقك"), label(132));
    FriendEmail = addHistoryBox("FriendEmail", field(132), 30, true);
    addMessage({kFieldLeft, 162, kWidth - 2 * kFieldLeft, 104})->setMaxLength(800);
    BitBtnWithColor1 = addButton("BitBtnWithColor1", u("ارسل"), {205, 297, 100, 25});
    BitBtnWithColor3 = addButton("BitBtnWithColor3", u("اغلاق"), {97, 297, 100, 25});
    // This dialog's clock has no picture: the text alone tells of the sending.
    addSendingNotice({12, 294, 33, 33}, {12, 268, kWidth - 24, 20}, QString());

    HTTPSendMail = new THTTPClient(this);
    HTTPSendMail->setObjectName(QStringLiteral("HTTPSendMail"));
    HTTPSendMail->setUseCache(true);
    connect(HTTPSendMail, &TCustomHTTPClient::OnDone, this, &TSendUrlToFrind::HTTPSendMailDone);
    connect(HTTPSendMail, &TCustomHTTPClient::OnAnyError, this,
            &TSendUrlToFrind::HTTPSendMailAnyError);
    connect(BitBtnWithColor1, &QPushButton::clicked, this, &TSendUrlToFrind::BitBtnWithColor1Click);
    connect(BitBtnWithColor3, &QPushButton::clicked, this, &TSendUrlToFrind::BitBtnWithColor3Click);
    loadHistories();
}

void TSendUrlToFrind::addSiteAndShow(const QString& address) {
    Message->addLine(address);
    show();
    raise();
    activateWindow();
}

void TSendUrlToFrind::showEvent(QShowEvent* event) {
    MailDialog::showEvent(event);
    // Centred on the desktop the first time; after that where the user left it.
    if (!placed_) {
        placed_ = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame(QPoint(), size());
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    Name->setFocus(Qt::ActiveWindowFocusReason);
}

void TSendUrlToFrind::BitBtnWithColor1Click() {
    restButtons();
    if (!online()) {
        ShowMessageBox(offlineMessage(), false);
        return;
    }
    if (Name->text().isEmpty() || Email->text().isEmpty() || Subject->text().isEmpty() ||
        FriendEmail->text().isEmpty()) {
        ShowMessageBox(missingFieldsMessage(), false);
        return;
    }
    if (!LooksLikeMailAddress(Email->text())) {
        ShowMessageBox(badAddressMessage(), false);
        return;
    }
    showSending(true);
    appendTwoBlanks();
    HTTPSendMail->setURL(BuildRelayRequest(
        {Name->text(), Email->text(), Subject->text(), body(), FriendEmail->text()}));
    HTTPSendMail->Read();
    BitBtnWithColor1->setEnabled(false);
}

void TSendUrlToFrind::HTTPSendMailDone(TCustomHTTPClient*, const QString&, qint64,
                                       QIODevice* stream) {
    const QByteArray reply = stream ? stream->readAll() : QByteArray();
    if (RelayAccepted(reply)) {
        ShowMessageBox(sentMessage(), false);
        showSending(false);
        Message->clear();
    } else {
        // The collected addresses stay, so that the user can mend the
        // address and send them again.
        ShowMessageBox(notSentMessage(), false);
        showSending(false);
    }
    BitBtnWithColor1->setEnabled(true);
}

void TSendUrlToFrind::HTTPSendMailAnyError(TCustomHTTPClient*) {
    ShowMessageBox(failedMessage(), false);
    BitBtnWithColor1->setEnabled(true);
    showSending(false);
}

void TSendUrlToFrind::BitBtnWithColor3Click() {
    restButtons();
    Message->clear();
    close();
}

} // namespace korvalo

#include "mainwindow/AssistantMode.h"
#include "mainwindow/BrowsePanel.h"
#include "mainwindow/SiteListModel.h"
#include "online/MailRelay.h"
#include "online/THTTPClient.h"
#include "online/TOnlineIP.h"
#include "online/ui/ContactMenu.h"
#include "online/ui/TFormMail.h"
#include "online/ui/TSendUrlToFrind.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"
#include "support/ScriptedHttpServer.h"
#include "support/ServerProcess.h"
#include "support/Wait.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/MemoField.h"
#include "widgets/TRegComboBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTreeView>

#include <sys/stat.h>

using namespace korvalo;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A delivered message's header (the first of that name) and its body.
QString header(const QByteArray& mail, const char* name) {
    const QByteArray head = mail.left(mail.indexOf("\n\n"));
    for (const QByteArray& line : head.split('\n'))
        if (line.startsWith(QByteArray(name) + ": "))
            return QString::fromLatin1(line.mid(qstrlen(name) + 2));
    return {};
}

// How many requests reached the relay (the banners ask the same server).
int relayed(const test::ScriptedHttpServer& server) {
    int n = 0;
    for (const test::RecordedRequest& r : server.requests())
        n += r.path == "/2/sendmail/sendmail.asp";
    return n;
}

QString body(const QByteArray& mail) {
    return QString::fromUtf8(QByteArray::fromBase64(mail.mid(mail.indexOf("\n\n") + 2)));
}

// The mail dialogs of a shown main window that is online, with the maker's
// server started on 127.0.0.1, writing into a maildir.
class MailDialogsTest : public test::ShownWindowFixture {
protected:
    void SetUp() override {
        ShownWindowFixture::SetUp();
        ASSERT_GT(server.port(), 0);
        useServer(server.url());
        goOnline(true);
        friendDialog = form->SendUrlToFrind;
        mail = form->FormMail;
        for (THTTPClient* c : {friendDialog->HTTPSendMail, mail->HTTPSendMail2})
            c->Proxy().setAccessType(THTTPAccessType::atDirect);
    }
    void TearDown() override {
        qputenv("KORVALO_SERVER", closedServer);
        EXPECT_EQ(test::pendingModalAnswers(), 0) << "a dialog the test expected never came";
        test::cancelModalAnswers();
    }

    void useServer(const QString& url) { qputenv("KORVALO_SERVER", url.toUtf8()); }
    void goOnline(bool online) {
        form->OnlineIP1->setAddressSource(
            [online] { return online ? QStringLiteral("10.0.0.7") : QStringLiteral("127.0.0.1"); });
        form->OnlineIP1->poll();
    }

    // "صديق" of the browse list's menu with these rows selected.
    void sendToFriend(std::initializer_list<int> rows) {
        BrowsePanel* panel = form->Show_Panel;
        panel->ListView1->clearSelection();
        for (int r : rows)
            panel->ListView1->selectionModel()->select(panel->sites()->index(r, 0),
                                                       QItemSelectionModel::Select |
                                                           QItemSelectionModel::Rows);
        Q_EMIT panel->ListView1->customContextMenuRequested(QPoint(5, 5));
        panel->PopupMenu1->hide();
        QMenu* sendTo = panel->PopupMenu1->findChild<QMenu*>(QStringLiteral("SendTo"));
        ASSERT_NE(sendTo, nullptr);
        for (QAction* a : sendTo->actions())
            if (a->text() == u("صديق"))
                return a->trigger();
        ADD_FAILURE() << "no \"صديق\" in the menu";
    }
    QString site(int row) const { return form->Show_Panel->sites()->url(row); }

    // Presses "ارسل" of the send-to-friend dialog; the message that follows
    // is answered and kept in said.
    void pressSend(QString& said) {
        said.clear();
        test::answerNextModal(QStringLiteral("Ok"), test::recordMessage(said));
        QTest::mouseClick(friendDialog->BitBtnWithColor1, Qt::LeftButton);
    }
    // The reply has been answered and handled: the send button comes back last.
    bool sendingEnded() {
        return test::waitUntil(
            [&] {
                return test::pendingModalAnswers() == 0 &&
                       friendDialog->BitBtnWithColor1->isEnabled();
            },
            8000);
    }
    void fillFriendDialog() {
        friendDialog->Name->setText(u("علي"));
        friendDialog->Email->setText(QStringLiteral("ali@example.com"));
        friendDialog->Subject->setText(u("مواقع جميلة"));
        friendDialog->FriendEmail->setText(QStringLiteral("sara@example.org"));
    }
    // Runs a menu item of the contact menu, found by its text.
    void contact(const char* item) {
        for (QAction* a : form->Contact->Option_Popup->actions())
            if (a->text() == u(item))
                return a->trigger();
        ADD_FAILURE() << item;
    }

    const QByteArray closedServer = qgetenv("KORVALO_SERVER");
    test::ServerProcess server{
        {QStringLiteral("--maker-mail"), QStringLiteral("maker@korvalo.example")}};
    TSendUrlToFrind* friendDialog = nullptr;
    TFormMail* mail = nullptr;
};

} // namespace

TEST_F(MailDialogsTest, aFriendGetsTheFirstChosenSiteOfEachPickOneALineWithTwoBlanks) {
    sendToFriend({0, 1}); // two selected: only the first goes
    sendToFriend({2});
    sendToFriend({2}); // the same site twice: two lines
    EXPECT_TRUE(friendDialog->isVisible());
    EXPECT_FALSE(friendDialog->isModal());
    EXPECT_TRUE(friendDialog->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(friendDialog->Message->lines(), QStringList({site(0), site(2), site(2)}));

    fillFriendDialog();
    QString said;
    pressSend(said);
    EXPECT_FALSE(friendDialog->BitBtnWithColor1->isEnabled());
    EXPECT_TRUE(friendDialog->SendLabel->isVisible());
    EXPECT_TRUE(friendDialog->Clock_Image->isVisible());
    EXPECT_TRUE(sendingEnded());
    EXPECT_EQ(said, MailDialog::sentMessage());
    EXPECT_TRUE(friendDialog->Message->toPlainText().isEmpty());
    EXPECT_TRUE(friendDialog->BitBtnWithColor1->isEnabled());
    EXPECT_FALSE(friendDialog->SendLabel->isVisible());

    const QList<QByteArray> mails = server.mails();
    ASSERT_EQ(mails.size(), 1);
    EXPECT_EQ(header(mails[0], "To"), QStringLiteral("<sara@example.org>"));
    EXPECT_EQ(body(mails[0]), site(0) + QStringLiteral("  \r\n") + site(2) +
                                  QStringLiteral("  \r\n") + site(2) + QStringLiteral("  "));
}

TEST_F(MailDialogsTest, refusesBeforeSendingAndCountsOnlyAnExactOkAsSent) {
    test::ScriptedHttpServer relay;
    std::vector<test::ScriptedReply> replies{test::ScriptedReply::text("OK"),
                                             test::ScriptedReply::text("Ok\r\n")};
    replies.emplace_back(test::ScriptedReply::text("Ok"));
    replies.back().dropAfter = 1; // the transfer breaks off
    relay.route("/2/sendmail/sendmail.asp", [&](const test::RecordedRequest&) {
        const test::ScriptedReply r = replies.front();
        replies.erase(replies.begin());
        return r;
    });
    useServer(QString::fromStdString(relay.url("")));
    sendToFriend({0});
    fillFriendDialog();
    QString said;

    goOnline(false);
    pressSend(said);
    EXPECT_EQ(said, MailDialog::offlineMessage());
    goOnline(true);
    friendDialog->Subject->clear();
    pressSend(said);
    EXPECT_EQ(said, MailDialog::missingFieldsMessage());
    friendDialog->Subject->setText(QStringLiteral("x"));
    friendDialog->Email->setText(QStringLiteral("name.example"));
    pressSend(said);
    EXPECT_EQ(said, MailDialog::badAddressMessage());
    EXPECT_EQ(relayed(relay), 0);
    EXPECT_EQ(friendDialog->Message->lines(), QStringList{site(0)}) << "nothing changed yet";

    friendDialog->Email->setText(QStringLiteral("ali@example.com"));
    for (const QString& expected : {MailDialog::notSentMessage(), MailDialog::notSentMessage(),
                                    MailDialog::failedMessage()}) {
        pressSend(said);
        EXPECT_TRUE(sendingEnded());
        EXPECT_EQ(said, expected);
        EXPECT_TRUE(friendDialog->BitBtnWithColor1->isEnabled());
        // Kept for another try, with the blanks each press added.
        EXPECT_TRUE(friendDialog->Message->lines().first().startsWith(site(0) + "  "));
    }
    EXPECT_EQ(relayed(relay), 3);
    EXPECT_TRUE(relay.lastRequest("/2/sendmail/sendmail.asp")
                    .target.ends_with("&ToEmail=sara%40example.org"));
}

TEST_F(MailDialogsTest, contactModeWritesToTheMakerWithAnEmptyToEmail) {
    QString said, request;
    test::answerNextModal(QStringLiteral("BitBtnWithColor1"), [&](QDialog*) {
        EXPECT_TRUE(mail->Subject->isVisible());
        EXPECT_FALSE(mail->FriendEmail->isVisible());
        EXPECT_FALSE(mail->CheckBox1->isVisible());
        EXPECT_TRUE(mail->Contact_Image->isVisible());
        EXPECT_EQ(mail->Message->geometry(), QRect(12, 144, 425, 121));
        mail->Name->setText(u("علي"));
        mail->Email->setText(QStringLiteral("ali@example.com"));
        mail->Subject->setText(u("اقتراح"));
        mail->Message->setPlainText(u("سطر & اول\nسطر ثان"));
    });
    test::answerNextModal(QStringLiteral("Ok"), test::recordMessage(said));
    test::answerNextModal(QStringLiteral("BitBtnWithColor3"),
                          [&](QDialog*) { request = mail->HTTPSendMail2->URL(); });
    contact("راسلنا");
    // Closed: the reply has been handled, and the fields keep what it left.
    EXPECT_TRUE(mail->Message->toPlainText().isEmpty());
    EXPECT_TRUE(mail->Subject->text().isEmpty());
    EXPECT_EQ(said, MailDialog::sentMessage());
    EXPECT_TRUE(request.endsWith(QStringLiteral("&ToEmail="))) << request.toStdString();
    const QList<QByteArray> mails = server.mails();
    ASSERT_EQ(mails.size(), 1);
    EXPECT_EQ(header(mails[0], "To"), QStringLiteral("<maker@korvalo.example>"));
    EXPECT_EQ(body(mails[0]), u("سطر & اول  \r\nسطر ثان  "));
}

TEST_F(MailDialogsTest, tellAFriendShowsItsTemplateOnceAndTheFriendsNameTopsOwnText) {
    const QStringList tenLines = TFormMail::tellTemplate();
    ASSERT_EQ(tenLines.size(), 10);
    test::answerNextModal(QStringLiteral("BitBtnWithColor3"), [&](QDialog*) {
        EXPECT_EQ(mail->Message->lines(), tenLines);
        EXPECT_TRUE(mail->Message->isReadOnly());
        mail->Name->setText(u("علي"));
        EXPECT_EQ(mail->Message->lines().at(8), u("علي"));
    });
    contact("اخبر صديقك");

    QString said;
    test::answerNextModal(QStringLiteral("BitBtnWithColor1"), [&](QDialog*) {
        EXPECT_EQ(mail->Message->lines(), tenLines) << "shown again: the template once";
        EXPECT_TRUE(mail->Tell_Image->isVisible());
        EXPECT_FALSE(mail->Subject->isVisible());
        mail->CheckBox1->setChecked(true);
        EXPECT_FALSE(mail->Message->isReadOnly());
        EXPECT_TRUE(mail->Message->toPlainText().isEmpty());
        mail->Message->setPlainText(QStringLiteral("Hello\nmy own words"));
        mail->FriendName->setText(u("سارة"));
        EXPECT_EQ(mail->Message->lines(),
                  QStringList({u("عزيزي سارة"), QStringLiteral("my own words")}));
        mail->Email->setText(QStringLiteral("ali@example.com"));
        mail->FriendEmail->setText(QStringLiteral("sara@example.org"));
    });
    test::answerNextModal(QStringLiteral("Ok"), test::recordMessage(said));
    test::answerNextModal(QStringLiteral("BitBtnWithColor3"));
    contact("اخبر صديقك");
    EXPECT_EQ(said, MailDialog::sentMessage());
    EXPECT_TRUE(mail->FriendName->text().isEmpty());
    EXPECT_EQ(mail->FriendEmail->count(), 0) << "emptied with its entries";
    EXPECT_TRUE(mail->Message->toPlainText().isEmpty()) << "the user writes again";

    const QList<QByteArray> mails = server.mails();
    ASSERT_EQ(mails.size(), 1);
    EXPECT_EQ(header(mails[0], "To"), QStringLiteral("<sara@example.org>"));
    EXPECT_TRUE(header(mails[0], "From").endsWith(QStringLiteral("<ali@example.com>")));
    EXPECT_EQ(body(mails[0]), u("عزيزي سارة  \r\nmy own words  "));
}

TEST_F(MailDialogsTest, bothDialogsAreDraggedByTheirBackground) {
    for (MailDialog* dialog :
         {static_cast<MailDialog*>(friendDialog), static_cast<MailDialog*>(mail)}) {
        dialog->show();
        const QPoint before = dialog->pos();
        QTest::mousePress(dialog->Image1, Qt::LeftButton, {}, QPoint(5, 5));
        QMouseEvent move(QEvent::MouseMove, QPointF(35, 15),
                         dialog->Image1->mapToGlobal(QPointF(35, 15)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(dialog->Image1, &move);
        QTest::mouseRelease(dialog->Image1, Qt::LeftButton, {}, QPoint(35, 15));
        EXPECT_EQ(dialog->pos(), before + QPoint(30, 10)) << dialog->objectName().toStdString();
        dialog->hide();
    }
}

TEST_F(MailDialogsTest, aNameTypedIntoOneBoxLeadsEveryBoxAtTheNextStart) {
    friendDialog->Name->setText(QStringLiteral("Zaid"));
    friendDialog->Name->SaveHistory();
    const std::unique_ptr<TForm1> next = start();
    ASSERT_TRUE(started);
    const QList<TRegComboBox*> boxes = next->SendUrlToFrind->findChildren<TRegComboBox*>() +
                                       next->FormMail->findChildren<TRegComboBox*>();
    EXPECT_EQ(boxes.size(), 7);
    for (TRegComboBox* box : boxes)
        EXPECT_EQ(box->itemText(0), QStringLiteral("Zaid")) << box->objectName().toStdString();
}

TEST_F(MailDialogsTest, optionPopsTheContactMenuAtItsPointUnlessTheAssistantExplains) {
    form->move(100, 80);
    auto* option = form->findChild<QLabel*>(QStringLiteral("Option_Image2"));
    ASSERT_NE(option, nullptr);
    QMenu* menu = form->Contact->Option_Popup;
    QStringList items;
    for (QAction* a : menu->actions())
        items << a->text();
    EXPECT_EQ(items, QStringList({u("راسلنا"), u("طلب اضافة عنوان"), u("اخبر صديقك")}));

    option->show();
    QTest::mouseClick(option, Qt::LeftButton);
    ASSERT_TRUE(test::waitUntil([&] { return menu->isVisible(); }));
    const QPoint point = form->pos() + QPoint(268 - 70, 16 + 50);
    EXPECT_EQ(menu->geometry().topRight(), point - QPoint(1, 0)) << "right-aligned at the point";
    menu->hide();

    int explained = 0;
    form->assistantMode().add(QStringLiteral("Option_Image2"), AssistantMode::Trigger::Click,
                              AssistantMode::Order::ExplainOnly, [&] { ++explained; });
    form->assistantMode().setOn(true);
    QTest::mouseClick(option, Qt::LeftButton);
    QTest::qWait(50);
    EXPECT_EQ(explained, 1);
    EXPECT_FALSE(menu->isVisible());
    form->assistantMode().setOn(false);

    // The maker's pages open in the browser: a fake one records them.
    const std::string log = dir.file("browser.log");
    const std::string script = dir.file("browser");
    test::writeRecordingBrowser(script, log);
    form->state().browserPath = QString::fromStdString(script);
    contact("طلب اضافة عنوان");
    QTest::mouseClick(form->Contact->Image1, Qt::LeftButton);
    EXPECT_EQ(form->Contact->Image1->size(), QSize(105, 57));
    const std::string expected =
        server.url().toStdString() + "/links/addLink.asp\n" + server.url().toStdString() + "\n";
    EXPECT_TRUE(test::waitUntil([&] { return test::readFile(log) == expected; }))
        << test::readFile(log);
}

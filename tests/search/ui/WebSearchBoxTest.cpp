#include "search/ui/WebSearchBox.h"
#include "online/TOnlineIP.h"
#include "online/ui/OnlineStatus.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"
#include "support/Wait.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

using namespace korvalo;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The web-search box and the online status inside a started main window,
// with a watcher whose address the test sets, wired the way the window does.
class WebSearchBoxTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        form = start();
        ASSERT_TRUE(started);
        watcher = new TOnlineIP(form.get(), [this] { return address; });
        watcher->setDispatchInterval(5);
        box = new WebSearchBox(*form, form.get());
        box->setGeometry(WebSearchBox::kGeometry);
        box->setOnlineWatcher(watcher);
        status = new OnlineStatus(form.get());
        status->setGeometry(OnlineStatus::kGeometry);
        QObject::connect(watcher, &TOnlineIP::changed, status,
                         [this] { status->showState(watcher->Online(), watcher->IP()); });
        form->show();

        // A fake browser that writes each argument it gets on a line of its own.
        log = dir.file("browser.log");
        const std::string script = dir.file("fake browser");
        test::writeRecordingBrowser(script, log);
        form->state().browserPath = QString::fromStdString(script);
    }
    void TearDown() override {
        EXPECT_EQ(test::pendingModalAnswers(), 0) << "a message the test expected never came";
        test::cancelModalAnswers();
    }

    void clickSearch() { QTest::mouseClick(box->Image4, Qt::LeftButton); }

    std::unique_ptr<TForm1> form;
    TOnlineIP* watcher = nullptr;
    WebSearchBox* box = nullptr;
    OnlineStatus* status = nullptr;
    QString address;
    std::string log;
};

} // namespace

TEST_F(WebSearchBoxTest, startsOfflineWithTheEnginesListedAndTheFirstChosenAtShow) {
    EXPECT_EQ(box->ComboBox1->count(), 14);
    EXPECT_FALSE(box->ComboBox1->isEditable());
    box->selectFirstEngine();
    EXPECT_EQ(box->ComboBox1->currentIndex(), 0);
    EXPECT_EQ(box->ComboBox1->currentText(), u("نسيج"));
    EXPECT_EQ(box->Image4->size(), QSize(17, 25));
    EXPECT_EQ(box->Image4->toolTip(), u("ابحث في الانترنت"));

    EXPECT_EQ(status->Ip_Label->text(), u("غير متصل"));
    EXPECT_TRUE(status->Label9->text().isEmpty());
    EXPECT_EQ(status->lampColor(), QColor(255, 0, 0));
    EXPECT_EQ(status->Shape2->size(), QSize(14, 11));
}

TEST_F(WebSearchBoxTest, offlineTheSearchOnlyShowsTheMessageEvenWithAnEmptyQuery) {
    box->selectFirstEngine();
    QString shown;
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    clickSearch();
    EXPECT_EQ(shown, u("انت غير متصل بالانترنت....!"));

    // A box never given a watcher refuses the same way.
    WebSearchBox alone(*form, form.get());
    alone.selectFirstEngine();
    alone.Edit11->setText(QStringLiteral("abc"));
    shown.clear();
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    QTest::mouseClick(alone.Image4, Qt::LeftButton);
    EXPECT_EQ(shown, u("انت غير متصل بالانترنت....!"));
    EXPECT_FALSE(test::fileExists(log));
}

TEST_F(WebSearchBoxTest, onlineTheBrowserGetsTheEnginesAddressAsOneArgument) {
    address = QStringLiteral("192.0.2.44");
    ASSERT_TRUE(test::waitUntil([&] { return status->lampColor() == QColor(0, 255, 0); }));
    EXPECT_EQ(status->Label9->text(), QStringLiteral("Ip"));
    EXPECT_EQ(status->Ip_Label->text(), QStringLiteral("192.0.2.44"));

    box->selectFirstEngine();
    clickSearch(); // empty query: nothing at all
    box->ComboBox1->setCurrentIndex(1);
    box->Edit11->setFocus();
    box->Edit11->setText(u("بحث")); // QTest types ASCII only
    QTest::keyClicks(box->Edit11, QStringLiteral(" a&b"));
    QTest::keyClick(box->Edit11, Qt::Key_Return); // Enter does not search
    clickSearch();
    EXPECT_TRUE(test::waitUntil([&] {
        return test::readFile(log) ==
               "http://www.ayna.com/cgi-bin/anathra.cgi?search="
               "%C8%CD%CB%20a%26b&codepage=cp1256&show=1&boolean=AND&db=ayna\n";
    })) << test::readFile(log);
    // The field and the engine stay as they were.
    EXPECT_EQ(box->Edit11->text(), u("بحث a&b"));
    EXPECT_EQ(box->ComboBox1->currentIndex(), 1);

    address = QStringLiteral("127.0.0.1");
    ASSERT_TRUE(test::waitUntil([&] { return status->lampColor() == QColor(255, 0, 0); }));
    EXPECT_TRUE(status->Label9->text().isEmpty());
    EXPECT_EQ(status->Ip_Label->text(), u("غير متصل"));
}

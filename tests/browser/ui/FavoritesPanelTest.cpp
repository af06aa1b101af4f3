#include "browser/ui/FavoritesPanel.h"
#include "mainwindow/AddPanel.h"
#include "mainwindow/SiteListModel.h"
#include "platform/LongTimerInterval.h"
#include "support/Fixtures.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"
#include "support/Wait.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/PlatformColor.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QSlider>
#include <QStringList>
#include <QTimer>
#include <QTreeView>

#include <sys/stat.h>
#include <unistd.h>

using namespace korvalo;

// Readable failure messages for texts and lists of texts.
static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class FavoritesPanelTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        // Three favourites; the second's description cannot be a file name.
        test::writeSites(dir.file("favorites.dat"),
                         {{"http://fav.example", 2, "fav", "E", 1, 0},
                          {"http://q.example", 2, "what?", "E", 1, 0},
                          {"http://arabic.example", 1, test::cp("عربي"), "E", 1, 0}});
        form = start();
        ASSERT_TRUE(started);
        form->show();
        panel = form->Favorites_Panel;
        ::mkdir(dir.file("Favorites").c_str(), 0755);
        form->state().favoritesFolder = QString::fromStdString(dir.file("Favorites"));
    }
    void TearDown() override {
        setLongTimerIntervalSource({});
        EXPECT_EQ(test::pendingModalAnswers(), 0) << "a message the test expected never came";
        test::cancelModalAnswers();
    }

    // A browser that writes each address it is given on a line of its own.
    void useFakeBrowser() {
        const std::string script = dir.file("fake browser");
        test::writeRecordingBrowser(script, log());
        form->state().browserPath = QString::fromStdString(script);
    }
    std::string log() const { return dir.file("browser.log"); }
    // The addresses opened so far, sorted: each start is a process of its own.
    QStringList opened() const {
        QStringList lines =
            QString::fromStdString(test::fileExists(log()) ? test::readFile(log()) : std::string())
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        lines.sort();
        return lines;
    }
    bool openedCountIs(qsizetype n) {
        return test::waitUntil([&] { return opened().size() >= n; }) && opened().size() == n;
    }

    void select(std::initializer_list<int> rows) {
        panel->ListView5->clearSelection();
        for (int row : rows)
            panel->ListView5->selectionModel()->select(panel->favorites()->index(row, 0),
                                                       QItemSelectionModel::Select |
                                                           QItemSelectionModel::Rows);
    }
    QStringList rowUrls() const {
        QStringList urls;
        for (int i = 0; i < panel->favorites()->rowCount(); ++i)
            urls << panel->favorites()->url(i);
        return urls;
    }

    std::unique_ptr<TForm1> form;
    FavoritesPanel* panel = nullptr;
};

} // namespace

TEST_F(FavoritesPanelTest, addingAppendsTheStoredSiteAndShowingThePanelSetsTheButtons) {
    ASSERT_EQ(rowUrls().size(), 3);
    EXPECT_FALSE(panel->Button3->isEnabled());
    EXPECT_FALSE(panel->Button7->isEnabled());

    panel->AddToFavorites(QStringLiteral("http://one.example"));
    panel->AddToFavorites(QStringLiteral("http://one.example"));
    panel->AddToFavorites(QStringLiteral("http://nowhere.example"));
    EXPECT_EQ(rowUrls().mid(3), QStringList({QStringLiteral("http://one.example"),
                                             QStringLiteral("http://one.example")}));
    EXPECT_EQ(panel->favorites()->title(4), u("الأول"));
    EXPECT_EQ(panel->ListBox1->count(), 5);
    EXPECT_EQ(panel->ListBox1->item(4)->text(), u("الأول"));
    const auto stored = test::readSites(dir.file("favorites.dat"));
    ASSERT_EQ(stored.size(), 5u);
    EXPECT_EQ(stored[3],
              (SiteRecord{"http://one.example", 1, test::cp("الأول"), test::cp("عربي"), 1, 0}));
    EXPECT_EQ(stored[4], stored[3]);

    // From the toolbar the selection commands follow the selection...
    form->toolbarClick(QStringLiteral("Favorites"));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->Button3->isEnabled());
    EXPECT_FALSE(panel->Button7->isEnabled());
    EXPECT_TRUE(panel->Button1->isEnabled());
    EXPECT_TRUE(panel->Button4->isEnabled());
    EXPECT_TRUE(panel->TrackBar1->isEnabled());
    // ...which enables them at any change, and from the tray everything follows the rows.
    select({1});
    EXPECT_TRUE(panel->Button3->isEnabled());
    EXPECT_TRUE(panel->Button7->isEnabled());
    panel->ListView5->clearSelection();
    panel->refreshButtonsFromTray();
    EXPECT_TRUE(panel->Button3->isEnabled());
    EXPECT_TRUE(panel->Button7->isEnabled());
}

TEST_F(FavoritesPanelTest, aFavouritesFileThatCannotBeWrittenIsReportedAndAMissingSiteFileIsNot) {
    ::unlink(dir.file("favorites.dat").c_str());
    ::mkdir(dir.file("favorites.dat").c_str(), 0755); // in the way of the file
    QString shown;
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    panel->AddToFavorites(QStringLiteral("http://one.example"));
    EXPECT_EQ(shown, u("  حرر مساحة خالية favorites.dat  تعذر فتح الملف"));
    EXPECT_EQ(rowUrls().size(), 3);

    ::rmdir(dir.file("favorites.dat").c_str());
    ::rename(dir.file("weburl.kvl").c_str(), dir.file("moved.kvl").c_str());
    panel->AddToFavorites(QStringLiteral("http://one.example"));
    EXPECT_EQ(rowUrls().size(), 3);
    EXPECT_TRUE(test::readSites(dir.file("favorites.dat")).empty());
}

TEST_F(FavoritesPanelTest, theMaintainersUserMarkIsStoredWithTheFavourite) {
    form->Add_Panel->Edit10->setText(QStringLiteral("7"));
    panel->AddToFavorites(QStringLiteral("http://two.example"));
    const auto stored = test::readSites(dir.file("favorites.dat"));
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored[3].UserMark, 7);
}

TEST_F(FavoritesPanelTest, openAllOpenSelectedAndDoubleClickStartOneBrowserPerRow) {
    useFakeBrowser();
    panel->Button1->click();
    EXPECT_TRUE(openedCountIs(3)) << opened().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(opened(), QStringList({QStringLiteral("http://arabic.example"),
                                     QStringLiteral("http://fav.example"),
                                     QStringLiteral("http://q.example")}));

    ::unlink(log().c_str());
    select({2, 0});
    panel->Button3->click();
    EXPECT_TRUE(openedCountIs(2));
    EXPECT_EQ(opened(), QStringList({QStringLiteral("http://arabic.example"),
                                     QStringLiteral("http://fav.example")}));

    // A double click opens the first selected row only.
    ::unlink(log().c_str());
    Q_EMIT panel->ListView5->doubleClicked(panel->favorites()->index(2, 0));
    EXPECT_TRUE(openedCountIs(1));
    EXPECT_EQ(opened(), QStringList{QStringLiteral("http://fav.example")});

    // A failed start shows its warning box and the run goes on.
    form->state().browserPath = QString::fromStdString(dir.file("no-such-browser"));
    QStringList boxes;
    for (int i = 0; i < 3; ++i)
        test::answerNextModal(QStringLiteral("OK"), [&](QDialog* d) { boxes << d->windowTitle(); });
    panel->Button1->click();
    EXPECT_EQ(boxes, QStringList(3, QStringLiteral("Error executing command")));
}

TEST_F(FavoritesPanelTest, copyingWritesShortcutsInListOrderAndStopsAtTheFirstFailure) {
    const std::string fav = dir.file("Favorites/fav.URL");
    const std::string arabic = dir.file("Favorites/عربي.URL");
    const std::string favSection = "[InternetShortcut]\r\nURL=http://fav.example\r\n";
    const std::string arabicSection = "[InternetShortcut]\r\nURL=http://arabic.example\r\n";

    QString shown;
    select({0, 2});
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    panel->Button7->click();
    EXPECT_EQ(shown, u("تمت عملية النقل بنجاح"));
    EXPECT_EQ(test::readFile(fav), favSection);
    EXPECT_EQ(test::readFile(arabic), arabicSection);

    // "what?" cannot be a file name: the copy stops there.
    select({0, 1, 2});
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    panel->Button7->click();
    EXPECT_EQ(shown, u("لم يتم نقل العنوان الى المفضلة لعدم وجود مساحة خالية"));
    EXPECT_EQ(test::readFile(fav), favSection + favSection);
    EXPECT_EQ(test::readFile(arabic), arabicSection) << "rows after the failure are not written";
    EXPECT_EQ(rowUrls().size(), 3) << "copying removes nothing";

    // With nothing selected the copy still reports success.
    panel->ListView5->clearSelection();
    ASSERT_TRUE(panel->Button7->isEnabled());
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    panel->Button7->click();
    EXPECT_EQ(shown, u("تمت عملية النقل بنجاح"));
    EXPECT_EQ(test::readFile(fav), favSection + favSection);
}

TEST_F(FavoritesPanelTest, clearingAsksFirstAndOkEmptiesTheListAndDeletesTheFile) {
    const std::string before = test::readFile(dir.file("favorites.dat"));
    QString question;
    test::answerNextModal(u("الغاء"), test::recordMessage(question));
    panel->Button4->click();
    EXPECT_EQ(question, u("سيتم مسح جميع العناوين\n هل تريد الاستمرار ؟"));
    EXPECT_EQ(rowUrls().size(), 3);
    EXPECT_EQ(test::readFile(dir.file("favorites.dat")), before);

    test::answerNextModal(u("موافق"));
    panel->Button4->click();
    EXPECT_EQ(rowUrls().size(), 0);
    EXPECT_EQ(panel->ListBox1->count(), 0);
    EXPECT_FALSE(test::fileExists(dir.file("favorites.dat")));
    for (QWidget* w : std::initializer_list<QWidget*>{
             panel->Button1, panel->Button3, panel->Button4, panel->Button7, panel->TrackBar1})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();

    panel->AddToFavorites(QStringLiteral("http://two.example"));
    EXPECT_EQ(test::readSites(dir.file("favorites.dat")).size(), 1u);
    EXPECT_EQ(rowUrls(), QStringList{QStringLiteral("http://two.example")});
    form->toolbarClick(QStringLiteral("Favorites"));
    EXPECT_TRUE(panel->Button1->isEnabled()) << "showing the panel enables them again";
}

TEST_F(FavoritesPanelTest, theTimerOpensTheNextRowEachTickAndKeepsItsCounter) {
    // A designed minute passes in 20 ms.
    setLongTimerIntervalSource([](int64_t ms) { return ms / 60000 * 20; });
    useFakeBrowser();
    EXPECT_EQ(panel->Label1->text(), u("المؤقت : فتح موقع كل 0 دقيقة"));
    EXPECT_FALSE(panel->Timer2->isActive());

    panel->TrackBar1->setValue(1);
    EXPECT_TRUE(panel->Timer2->isActive());
    EXPECT_EQ(panel->Timer2->interval(), 20);
    EXPECT_EQ(panel->Label1->text(), u("المؤقت : فتح موقع كل 1 دقيقة "));
    EXPECT_TRUE(test::waitUntil([&] { return panel->nextTimedRow() == 3; }));
    EXPECT_TRUE(openedCountIs(3));
    // Past the last row the timer stays on and opens nothing more.
    test::waitUntil([] { return false; }, 100);
    EXPECT_TRUE(panel->Timer2->isActive());
    EXPECT_EQ(panel->nextTimedRow(), 3);
    EXPECT_EQ(opened().size(), 3);

    // Other positions set a new interval and leave the counter alone; 0 stops it.
    panel->TrackBar1->setValue(5);
    panel->TrackBar1->setValue(3);
    EXPECT_EQ(panel->Timer2->interval(), 60);
    EXPECT_EQ(panel->Label1->text(), u("المؤقت : فتح موقع كل 3 دقيقة "));
    panel->TrackBar1->setValue(0);
    EXPECT_FALSE(panel->Timer2->isActive());
    EXPECT_EQ(panel->nextTimedRow(), 3);

    // A row added later is opened by a later tick, continuing from the counter.
    panel->AddToFavorites(QStringLiteral("http://six.example"));
    panel->TrackBar1->setValue(1);
    EXPECT_TRUE(test::waitUntil([&] { return panel->nextTimedRow() == 4; }));
    EXPECT_TRUE(openedCountIs(4));
    EXPECT_TRUE(opened().contains(QStringLiteral("http://six.example")));
}

TEST_F(FavoritesPanelTest, afterAClearTheRunningTimerOpensNothingUntilTheRowsPassItsCounter) {
    setLongTimerIntervalSource([](int64_t ms) { return ms / 60000 * 20; });
    useFakeBrowser();
    panel->TrackBar1->setValue(1);
    ASSERT_TRUE(test::waitUntil([&] { return panel->nextTimedRow() == 3; }));
    ASSERT_TRUE(openedCountIs(3));

    test::answerNextModal(u("موافق"));
    panel->Button4->click();
    EXPECT_TRUE(panel->Timer2->isActive()) << "clearing leaves the timer running";
    for (const char* url : {"http://one.example", "http://two.example", "http://four.example"})
        panel->AddToFavorites(QString::fromLatin1(url));
    test::waitUntil([] { return false; }, 100);
    EXPECT_EQ(panel->nextTimedRow(), 3);
    EXPECT_EQ(opened().size(), 3);

    panel->AddToFavorites(QStringLiteral("http://five.example"));
    EXPECT_TRUE(test::waitUntil([&] { return panel->nextTimedRow() == 4; }));
    EXPECT_TRUE(openedCountIs(4));
    EXPECT_TRUE(opened().contains(QStringLiteral("http://five.example")));
}

TEST_F(FavoritesPanelTest, theButtonUnderTheMouseIsLitAndTheListRestsThemAll) {
    const QColor hover = colorFromWord(ButtonWithColor::kHoverColor);
    const QColor resting = colorFromWord(ButtonWithColor::kRestingColor);
    Q_EMIT panel->Button7->hovered();
    EXPECT_EQ(panel->Button7->backgroundColor(), hover);
    EXPECT_EQ(panel->Button1->backgroundColor(), resting);
    Q_EMIT panel->Button1->hovered();
    EXPECT_EQ(panel->Button1->backgroundColor(), hover);
    EXPECT_EQ(panel->Button7->backgroundColor(), resting);

    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(panel->ListView5->viewport(), &move);
    for (ButtonWithColor* b : {panel->Button1, panel->Button3, panel->Button4, panel->Button7})
        EXPECT_EQ(b->backgroundColor(), resting) << b->objectName().toStdString();
}

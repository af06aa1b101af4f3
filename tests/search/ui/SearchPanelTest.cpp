#include "search/ui/SearchPanel.h"
#include "mainwindow/BrowsePanel.h"
#include "mainwindow/SiteListModel.h"
#include "mainwindow/TAddForm1.h"
#include "support/Fixtures.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"
#include "support/Wait.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/PlatformColor.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <sys/stat.h>

using namespace korvalo;
using test::cp;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

const QString kSixBlanks = QStringLiteral("      ");

class SearchPanelTest : public test::ShownWindowFixture {
protected:
    void SetUp() override {
        ShownWindowFixture::SetUp();
        form->activateWindow(); // the scope choice moves the keyboard focus
        ASSERT_TRUE(test::waitUntil([&] { return form->isActiveWindow(); }));
        panel = form->Search_Panel;
        form->ShowPanel(panel);
        // Category 1 is the fixture's أخبار with its sub-category 3, 2 is رياضة.
        test::writeSites(dir.file("weburl.kvl"),
                         {{"http://zeta.example", 1, cp("مدرسة النور"), "", 0, 0},
                          {"http://alpha.example", 2, cp("مدرسه الأمل"), "", 0, 0},
                          {"http://beta.example", 2, "ABC shop", "", 0, 0},
                          {"http://mid.example", 1, cp("موقع مـــدرسة"), "", 0, 3}});
    }
    void TearDown() override {
        EXPECT_EQ(test::pendingModalAnswers(), 0) << "a message the test expected never came";
        test::cancelModalAnswers();
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor stayed";
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }

    QStringList listedUrls() const {
        QStringList urls;
        for (int i = 0; i < panel->results()->rowCount(); ++i)
            urls << panel->results()->url(i);
        return urls;
    }

    void typeAndClick(const char* utf8) {
        panel->Edit4->setText(u(utf8));
        QTest::mouseClick(panel->BitBtnWithColor1, Qt::LeftButton);
    }

    // Runs a search that finds nothing and returns the message it showed.
    QString notFoundMessageOf(const std::function<void()>& search) {
        QString text, fieldDuring, countDuring;
        test::answerNextModal(u("تم"), [&](QDialog* d) {
            if (auto* label = d->findChild<QLabel*>(QStringLiteral("Label1")))
                text = label->text();
            fieldDuring = panel->Edit4->text();
            countDuring = panel->Found_Label->text();
        });
        search();
        EXPECT_TRUE(fieldDuring.isEmpty());
        EXPECT_EQ(countDuring, kSixBlanks) << "the count is set after the message";
        return text;
    }

    SearchPanel* panel = nullptr;
};

} // namespace

TEST_F(SearchPanelTest, eachTriggerSearchesSortsByAddressAndEmptiesTheField) {
    typeAndClick("مدرسة");
    EXPECT_EQ(listedUrls(),
              (QStringList{"http://alpha.example", "http://mid.example", "http://zeta.example"}))
        << "ordered by address, not by file order";
    SiteListModel* rows = panel->results();
    EXPECT_EQ(rows->category(0), u("رياضة"));
    EXPECT_EQ(rows->category(1), u("أخبار")) << "a sub-category's site shows its main category";
    EXPECT_EQ(rows->title(1), u("موقع مـــدرسة")) << "the description as stored";
    EXPECT_EQ(rows->data(rows->index(1, 1), Qt::DisplayRole).toString(), u("أخبار"));
    EXPECT_EQ(panel->Found_Label->text(), u("   وجــد 3"));
    EXPECT_TRUE(panel->Edit4->text().isEmpty());

    panel->Edit4->setText(QStringLiteral("abc"));
    QTest::keyClick(panel->Edit4, Qt::Key_Return);
    EXPECT_EQ(listedUrls(), QStringList{"http://beta.example"});
    EXPECT_EQ(panel->Found_Label->text(), u("   وجــد 1"));
    EXPECT_TRUE(panel->Edit4->text().isEmpty());

    panel->Edit4->setText(u("الأمل"));
    QTest::mouseDClick(panel->Edit4, Qt::LeftButton);
    EXPECT_EQ(listedUrls(), QStringList{"http://alpha.example"});
    EXPECT_TRUE(panel->Edit4->text().isEmpty());

    // With the field empty none of the three does anything: no message, and
    // the list and the count stay.
    QTest::mouseClick(panel->BitBtnWithColor1, Qt::LeftButton);
    QTest::keyClick(panel->Edit4, Qt::Key_Return);
    QTest::mouseDClick(panel->Edit4, Qt::LeftButton);
    EXPECT_EQ(listedUrls(), QStringList{"http://alpha.example"});
    EXPECT_EQ(panel->Found_Label->text(), u("   وجــد 1"));
}

TEST_F(SearchPanelTest, nothingFoundShowsTheMessageAndACountOfZero) {
    const QString message = u("الاسم المدخل غير موجود.");
    typeAndClick("مدرسة"); // rows that the next search must clear
    EXPECT_EQ(notFoundMessageOf([&] { typeAndClick("غائب"); }), message);
    EXPECT_TRUE(listedUrls().isEmpty());
    EXPECT_EQ(panel->Found_Label->text(), u("   وجــد 0"));

    EXPECT_EQ(notFoundMessageOf([&] { typeAndClick("ـــ"); }), message)
        << "only stretching letters";
    // A character the code page has no byte for is in no record.
    EXPECT_EQ(notFoundMessageOf([&] { typeAndClick("中文"); }), message);
    EXPECT_EQ(panel->Found_Label->text(), u("   وجــد 0"));
}

TEST_F(SearchPanelTest, theScopeChoiceSetsTheFieldsDirectionAndWhatIsSearched) {
    ASSERT_TRUE(panel->RadioButton1->isChecked());
    EXPECT_EQ(panel->Edit4->layoutDirection(), Qt::RightToLeft);
    const auto editHasFocus = [&] { return form->focusWidget() == panel->Edit4; };

    panel->RadioButton2->click();
    EXPECT_EQ(panel->Edit4->layoutDirection(), Qt::LeftToRight);
    EXPECT_TRUE(test::waitUntil(editHasFocus));
    typeAndClick("ALPHA");
    EXPECT_EQ(listedUrls(), QStringList{"http://alpha.example"});

    panel->BitBtnWithColor1->setFocus();
    panel->RadioButton1->click();
    EXPECT_EQ(panel->Edit4->layoutDirection(), Qt::RightToLeft);
    EXPECT_TRUE(test::waitUntil(editHasFocus));
    EXPECT_EQ(notFoundMessageOf([&] { typeAndClick("ALPHA"); }), u("الاسم المدخل غير موجود."))
        << "descriptions only";
}

TEST_F(SearchPanelTest, anUnreadableSiteFileListsNothingQuietlyAndAMissingCategoryFileEnds) {
    typeAndClick("مدرسة");
    ASSERT_EQ(listedUrls().size(), 3);
    ASSERT_EQ(::rename(dir.file("weburl.kvl").c_str(), dir.file("moved.kvl").c_str()), 0);
    typeAndClick("مدرسة"); // no message expected: TearDown checks none is pending
    EXPECT_TRUE(listedUrls().isEmpty());
    EXPECT_EQ(panel->Found_Label->text(), kSixBlanks);
    EXPECT_TRUE(panel->Edit4->text().isEmpty());
    EXPECT_TRUE(messages.isEmpty());

    ASSERT_EQ(::rename(dir.file("moved.kvl").c_str(), dir.file("weburl.kvl").c_str()), 0);
    ASSERT_EQ(::unlink(dir.file("cate.dat").c_str()), 0);
    typeAndClick("abc");
    EXPECT_EQ(messages, QStringList{TForm1::categoryFileMissingMessage()});
    EXPECT_EQ(quitStatus, 1);
}

TEST_F(SearchPanelTest, aDoubleClickOnARowOpensItsAddress) {
    const std::string log = dir.file("browser.log");
    const std::string script = dir.file("fake browser");
    test::writeRecordingBrowser(script, log);
    form->state().browserPath = QString::fromStdString(script);

    typeAndClick("مدرسة");
    QTableView* list = panel->ListView2;
    // A current row that is not selected opens nothing.
    list->setCurrentIndex(panel->results()->index(0, 0));
    list->selectionModel()->clearSelection();
    panel->ListView2DblClick();

    const QModelIndex zeta = panel->results()->index(2, 2);
    // A user's double click starts with a click; QTest sends only the second.
    const QPoint at = list->visualRect(zeta).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(test::waitUntil([&] { return test::fileExists(log); }));
    EXPECT_EQ(test::readFile(log), "http://zeta.example\n");
}

TEST_F(SearchPanelTest, theSearchButtonRestsOverTheListThePanelTheFieldGroupAndTheScopes) {
    ButtonWithColor* button = panel->BitBtnWithColor1;
    const QColor hover = colorFromWord(ButtonWithColor::kHoverColor);
    const QColor resting = colorFromWord(ButtonWithColor::kRestingColor);
    for (QWidget* area : {panel->ListView2->viewport(), static_cast<QWidget*>(panel),
                          panel->findChild<QWidget*>(QStringLiteral("GroupBox3"))}) {
        Q_EMIT button->hovered();
        ASSERT_EQ(button->backgroundColor(), hover);
        QEnterEvent enter({1, 1}, {1, 1}, {1, 1});
        QApplication::sendEvent(area, &enter);
        EXPECT_EQ(button->backgroundColor(), resting) << area->objectName().toStdString();
    }
    Q_EMIT button->hovered();
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(panel->RadioButton2, &focusIn);
    EXPECT_EQ(button->backgroundColor(), resting);
}

TEST_F(SearchPanelTest, theResultsOfferTheSiteActionsAndADeleteRemovesOnlyThatRow) {
    typeAndClick("مدرسة");
    ASSERT_EQ(listedUrls().size(), 3);
    const int browseRows = form->Show_Panel->sites()->rowCount();
    panel->ListView2->selectRow(1);
    const QString doomed = panel->results()->url(1);

    Q_EMIT panel->ListView2->customContextMenuRequested(QPoint(5, 5));
    ASSERT_NE(panel->PopupMenu2, nullptr);
    panel->PopupMenu2->hide();
    QAction* remove = nullptr;
    for (QAction* a : panel->PopupMenu2->actions())
        if (a->text() == u("حــذف"))
            remove = a;
    ASSERT_NE(remove, nullptr) << "the results' delete has two stretching strokes";
    test::answerNextModal(u("موافق"));
    remove->trigger();
    EXPECT_EQ(listedUrls().size(), 2);
    EXPECT_FALSE(listedUrls().contains(doomed));
    EXPECT_EQ(form->Show_Panel->sites()->rowCount(), browseRows) << "the other list stays";
    EXPECT_EQ(test::readFile(dir.file("weburl.kvl")).size(), 3 * kSiteRecordSize);
}

TEST_F(SearchPanelTest, anEditFromTheResultsListsTheBrowseListAfreshAsAnEditThereDoes) {
    typeAndClick("مدرسة");
    panel->ListView2->selectRow(static_cast<int>(listedUrls().indexOf("http://zeta.example")));
    Q_EMIT panel->ListView2->customContextMenuRequested(QPoint(5, 5));
    panel->PopupMenu2->hide();
    QAction* edit = nullptr;
    for (QAction* a : panel->PopupMenu2->actions())
        if (a->text() == u("تعـديل"))
            edit = a;
    ASSERT_NE(edit, nullptr);
    test::answerNextModal(QStringLiteral("Button1"), [](QDialog* d) {
        QComboBox* category = static_cast<TAddForm1*>(d)->ComboBox1;
        category->setCurrentIndex(category->findText(u("رياضة")));
    });
    edit->trigger();

    // The browse list shows أخبار as the file now holds it.
    QStringList browse;
    for (int i = 0; i < form->Show_Panel->sites()->rowCount(); ++i)
        browse << form->Show_Panel->sites()->url(i);
    EXPECT_EQ(browse, QStringList{QStringLiteral("http://mid.example")});
}

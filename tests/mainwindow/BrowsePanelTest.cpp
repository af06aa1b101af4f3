#include "mainwindow/BrowsePanel.h"
#include "mainwindow/FloatingHint.h"
#include "mainwindow/SiteListModel.h"
#include "support/Fixtures.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"
#include "support/Wait.h"

#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include <sys/stat.h>

using namespace korvalo;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class BrowsePanelTest : public test::ShownWindowFixture {
protected:
    void SetUp() override {
        ShownWindowFixture::SetUp();
        panel = form->Show_Panel;
        tree = panel->TreeView1;
    }

    // Clicks a node as the user does: select it, then the click handler.
    void click(QTreeWidgetItem* node) {
        tree->setCurrentItem(node);
        const QRect r = tree->visualItemRect(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
    }

    QStringList listedUrls() const {
        QStringList urls;
        for (int i = 0; i < panel->sites()->rowCount(); ++i)
            urls << panel->sites()->url(i);
        return urls;
    }

    BrowsePanel* panel = nullptr;
    QTreeWidget* tree = nullptr;
};

} // namespace

TEST_F(BrowsePanelTest, mainCategoriesListTheirSubCategorySitesTooAndSubsOnlyTheirOwn) {
    click(tree->topLevelItem(1));
    EXPECT_EQ(
        listedUrls(),
        (QStringList{QStringLiteral("http://two.example"), QStringLiteral("http://eight.example"),
                     QStringLiteral("http://four.example"), QStringLiteral("http://six.example"),
                     QStringLiteral("http://seven.example")}));
    EXPECT_EQ(panel->Panel6->text(), u("   رياضة         5   "));
    EXPECT_EQ(form->state().currentCategoryName, u("رياضة"));

    click(tree->topLevelItem(0)->child(0));
    EXPECT_EQ(listedUrls(), (QStringList{QStringLiteral("http://three.example")}));
    EXPECT_EQ(panel->Panel6->text(), u("   محلية         1   "));

    // Enter on the tree lists the selected category too.
    tree->setFocus();
    tree->setCurrentItem(tree->topLevelItem(0));
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(listedUrls().size(), 3) << "the first category with its sub-category's site";
}

TEST_F(BrowsePanelTest, theShownCategoryIsNotReadAgainAndAnUnreadableFileKeepsTheList) {
    const std::string sites = test::readFile(dir.file("weburl.kvl"));
    ::unlink(dir.file("weburl.kvl").c_str());

    // The first category is listed from start-up; clicking it reads nothing.
    click(tree->topLevelItem(0));
    EXPECT_EQ(listedUrls().size(), 3);

    // Another category while the file is gone: the list keeps its rows, but
    // that category becomes the current one, so a second click does nothing.
    click(tree->topLevelItem(1));
    EXPECT_EQ(listedUrls().size(), 3);
    EXPECT_EQ(panel->Panel6->text(), u("   أخبار         3   "));
    test::writeFile(dir.file("weburl.kvl"), sites);
    click(tree->topLevelItem(1));
    EXPECT_EQ(listedUrls().size(), 3);
    EXPECT_TRUE(messages.isEmpty());

    click(tree->topLevelItem(0)->child(0));
    EXPECT_EQ(listedUrls().size(), 1);
}

TEST_F(BrowsePanelTest, aSiteOfADeletedSubCategoryStaysUnderItsMainCategory) {
    test::writeCategories(
        dir.file("cate.dat"),
        {{news, 1, 1, 0, 0}, {test::cp("رياضة"), 2, 1, 0, 0}, {"info", 4, 1, 0, 0}});
    form->BuildCategoryViews();
    click(tree->topLevelItem(1));
    click(tree->topLevelItem(0));
    EXPECT_TRUE(listedUrls().contains(QStringLiteral("http://three.example")));
}

TEST_F(BrowsePanelTest, aMissingCategoryFileEndsTheProgramOnAClick) {
    ::unlink(dir.file("cate.dat").c_str());
    click(tree->topLevelItem(1));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], TForm1::categoryFileMissingMessage());
    EXPECT_EQ(quitStatus, 1);
}

TEST_F(BrowsePanelTest, selectingARowShowsItsAddressInThePaleYellowHintUntilTheTimerEnds) {
    FloatingHint* hint = form->hint();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->HintTimer->interval(), 2000);
    hint->HintTimer->setInterval(50); // the test need not wait two seconds

    QTreeView* list = panel->ListView1;
    list->selectionModel()->select(panel->sites()->index(1, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->text(), QStringLiteral("http://three.example"));
    EXPECT_EQ(hint->palette().color(QPalette::Window), QColor(255, 255, 196));
    EXPECT_EQ(hint->geometry().left(), 130);
    EXPECT_EQ(hint->geometry().width(), 350);
    EXPECT_EQ(hint->geometry().height(), 15);

    // With several rows selected, the last row's address stays.
    list->selectionModel()->select(panel->sites()->index(0, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(hint->text(), QStringLiteral("http://three.example"));
    list->selectionModel()->select(panel->sites()->index(2, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(hint->text(), QStringLiteral("http://five.example"));

    EXPECT_TRUE(test::waitUntil([&] { return !hint->isVisible(); }));
    EXPECT_TRUE(hint->text().isEmpty());
}

TEST_F(BrowsePanelTest, aDoubleClickOpensTheSiteAndAFailedStartShowsTheWarningBox) {
    // A fake browser that writes each argument it gets on a line of its own.
    const std::string log = dir.file("browser.log");
    const std::string script = dir.file("fake browser");
    test::writeRecordingBrowser(script, log);
    form->state().browserPath = QString::fromStdString(script);

    QTreeView* list = panel->ListView1;
    const QModelIndex second = panel->sites()->index(1, 2);
    list->setCurrentIndex(second);
    Q_EMIT list->doubleClicked(second);
    // The file appears before the fake browser has written its line.
    EXPECT_TRUE(test::waitUntil([&] { return test::readFile(log) == "http://three.example\n"; }))
        << test::readFile(log);

    form->state().browserPath = QString::fromStdString(dir.file("no-such-browser"));
    QString caption, text;
    test::answerNextModal(QStringLiteral("OK"), [&](QDialog* d) {
        caption = d->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(d))
            text = box->text();
    });
    Q_EMIT list->doubleClicked(second);
    EXPECT_EQ(caption, QStringLiteral("Error executing command"));
    EXPECT_EQ(text, QStringLiteral("Trying to open \"") +
                        QString::fromStdString(dir.file("no-such-browser")) +
                        QStringLiteral(" http://three.example\"\r\nNo such file or directory"));
    EXPECT_EQ(test::pendingModalAnswers(), 0);
}

#include "browser/ui/BrowserFavoritesPanel.h"
#include "browser/ui/TAddToKvlForm.h"
#include "mainwindow/BrowsePanel.h"
#include "mainwindow/SiteListModel.h"
#include "support/Fixtures.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"
#include "support/Wait.h"
#include "widgets/ButtonWithColor.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

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

class BrowserFavoritesPanelTest : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        folder = dir.file("Favorites");
        for (const char* sub : {"", "/Sport", "/Sport/Deep", "/News"})
            ::mkdir((folder + sub).c_str(), 0755);
        shortcut("alpha.url", "[InternetShortcut]\r\nURL=http://alpha.example/\r\n");
        shortcut("beta.URL", "[InternetShortcut]\r\nURL=http://two.example\r\n");
        shortcut("Gamma.url", "[DEFAULT]\r\nBASEURL=http://base.example/\r\n[InternetShortcut]\r\n"
                              "URL=http://gamma.example/page\r\n");
        shortcut("nothing.url", "[InternetShortcut]\r\n");
        shortcut("Sport/inner.url", "URL=http://inner.example\r\n");
        shortcut("Sport/Deep/deeper.url", "URL=http://deeper.example\r\n");
        form = start();
        ASSERT_TRUE(started);
        form->show(); // fills the category views, the dialog's tree among them
        form->state().favoritesFolder = QString::fromStdString(folder);
        panel = form->Ie_Fav_Panel;
        dialog = panel->addToKvlForm();
        form->toolbarClick(QStringLiteral("Favorites_Ie"));
    }
    void TearDown() override {
        EXPECT_EQ(test::pendingModalAnswers(), 0) << "a dialog the test expected never came";
        test::cancelModalAnswers();
    }

    void shortcut(const std::string& name, const std::string& text) {
        test::writeFile(folder + "/" + name, text);
    }

    // Each row as "address | name".
    QStringList rows() const {
        QStringList out;
        for (int i = 0; i < panel->ListView6->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = panel->ListView6->topLevelItem(i);
            out << item->text(0) + QStringLiteral(" | ") + item->text(1);
        }
        return out;
    }
    QTreeWidgetItem* row(int i) const { return panel->ListView6->topLevelItem(i); }
    void select(std::initializer_list<int> indexes) {
        panel->ListView6->clearSelection();
        for (int i : indexes)
            row(i)->setSelected(true);
    }
    // A double click selects its row first, as a mouse does.
    void doubleClick(int i) {
        select({i});
        doubleClickKeepingSelection(i);
    }
    void doubleClickKeepingSelection(int i) {
        Q_EMIT panel->ListView6->itemDoubleClicked(row(i), 0);
    }

    // Chooses a category in the dialog's tree.
    static void chooseCategory(QDialog* d, const char* name) {
        auto* tree = d->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
        const auto found = tree->findItems(u(name), Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_FALSE(found.isEmpty()) << name;
        tree->setCurrentItem(found.first());
    }

    std::string folder;
    std::unique_ptr<TForm1> form;
    BrowserFavoritesPanel* panel = nullptr;
    TAddToKvlForm* dialog = nullptr;
};

} // namespace

TEST_F(BrowserFavoritesPanelTest, showingListsFoldersThenShortcutsAndDoubleClicksWalkTheFolders) {
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(rows(),
              QStringList({u(" | [News]"), u(" | [Sport]"), u("http://alpha.example/ | alpha"),
                           u("http://two.example | beta"), u("http://base.example/ | Gamma")}));
    EXPECT_FALSE(panel->BitBtn10->isEnabled());

    doubleClick(1);
    EXPECT_EQ(panel->level(), 1);
    EXPECT_EQ(rows(),
              QStringList({u(".. | .."), u(" | [Deep]"), u("http://inner.example | inner")}));
    doubleClick(1);
    EXPECT_EQ(rows(), QStringList({u(".. | .."), u("http://deeper.example | deeper")}));
    doubleClick(0);
    EXPECT_EQ(panel->level(), 1);
    EXPECT_EQ(rows().size(), 3);
    doubleClick(0);
    EXPECT_EQ(panel->level(), 0);
    EXPECT_EQ(rows().size(), 5) << "no up row at the top";

    // Reload goes back to the top and reads the folder again.
    doubleClick(0);
    shortcut("delta.url", "URL=http://delta.example\r\n");
    panel->BitBtnWithColor12->click();
    EXPECT_EQ(panel->level(), 0);
    ASSERT_EQ(rows().size(), 6);
    EXPECT_EQ(rows()[4].toStdString(), "http://delta.example | delta");

    // A shortcut that cannot be read leaves the list empty.
    ASSERT_EQ(::symlink("/proc/self/mem", (folder + "/locked.url").c_str()), 0);
    form->toolbarClick(QStringLiteral("Favorites_Ie"));
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(BrowserFavoritesPanelTest, aDoubleClickOpensSelectedShortcutsUntilAFolderIsEntered) {
    const std::string log = dir.file("browser.log");
    const std::string script = dir.file("fake browser");
    test::writeRecordingBrowser(script, log);
    form->state().browserPath = QString::fromStdString(script);

    doubleClick(3);
    // The file appears before the browser has written its line.
    EXPECT_TRUE(test::waitUntil([&] {
        return test::fileExists(log) && test::readFile(log) == "http://two.example\n";
    })) << (test::fileExists(log) ? test::readFile(log) : "(nothing opened)");

    // The rows are taken in list order: the folder row ends the scan before
    // the shortcuts below it are opened.
    ::unlink(log.c_str());
    select({4, 1, 2});
    doubleClickKeepingSelection(4);
    EXPECT_EQ(panel->level(), 1);
    test::waitUntil([] { return false; }, 100);
    EXPECT_FALSE(test::fileExists(log));

    // A shortcut whose address reads like a folder's or the up entry's marker
    // is still a shortcut.
    shortcut("Sport/odd.url", "URL=Dir\r\n");
    panel->reload();
    doubleClick(1);
    ASSERT_EQ(rows().last(), u("Dir | odd"));
    doubleClick(int(rows().size()) - 1);
    EXPECT_EQ(panel->level(), 1);
    EXPECT_TRUE(
        test::waitUntil([&] { return test::fileExists(log) && test::readFile(log) == "Dir\n"; }));
}

TEST_F(BrowserFavoritesPanelTest,
       theAddButtonFollowsSelectedShortcutsAndSelectAllTakesOnlyShortcuts) {
    select({0});
    EXPECT_FALSE(panel->BitBtn10->isEnabled()) << "a folder row alone";
    select({0, 3});
    EXPECT_TRUE(panel->BitBtn10->isEnabled());
    panel->ListView6->clearSelection();
    EXPECT_FALSE(panel->BitBtn10->isEnabled());

    row(1)->setSelected(true);
    panel->BitBtnWithColor10->click();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(row(i)->isSelected(), i != 0) << i << " (a selected folder stays selected)";
    EXPECT_TRUE(panel->BitBtn10->isEnabled());

    // In a folder without shortcuts select-all selects nothing.
    doubleClick(0);
    ASSERT_EQ(rows(), QStringList{u(".. | ..")});
    panel->BitBtnWithColor10->click();
    EXPECT_FALSE(row(0)->isSelected());
    EXPECT_FALSE(panel->BitBtn10->isEnabled());
}

TEST_F(BrowserFavoritesPanelTest, addingOffersEachSelectedShortcutAndAppendsTheAcceptedOnes) {
    const size_t sitesBefore = test::readSites(dir.file("weburl.kvl")).size();
    const int browseRowsBefore = form->Show_Panel->sites()->rowCount();
    EXPECT_FALSE(dialog->TreeView1->topLevelItemCount() == 0) << "the dialog's tree is filled";
    select({0, 2, 3, 4});

    QString shown;
    bool addAllShown = false;
    // alpha: added without a category, refused, then offered again.
    test::answerNextModal(QStringLiteral("BitBtnWithColor1"), [&](QDialog* d) {
        EXPECT_EQ(d, dialog);
        EXPECT_EQ(dialog->Edit1->text(), u("alpha"));
        EXPECT_EQ(dialog->Edit2->text(), u("http://alpha.example/"));
        addAllShown = dialog->BitBtnWithColor3->isVisible();
    });
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    test::answerNextModal(QStringLiteral("BitBtnWithColor3"), [&](QDialog* d) {
        EXPECT_EQ(dialog->Edit1->text(), u("alpha"));
        chooseCategory(d, "محلية");
        dialog->ComboBox1->setEditText(QStringLiteral("ع/E"));
    });
    // beta's address is in the site file already.
    QString duplicate;
    test::answerNextModal(QStringLiteral("BitBtnWithColor1"),
                          [&](QDialog*) { EXPECT_EQ(dialog->Edit1->text(), u("beta")); });
    test::answerNextModal(u("تم"), test::recordMessage(duplicate));
    // Gamma is skipped.
    test::answerNextModal(QStringLiteral("BitBtnWithColor2"),
                          [&](QDialog*) { EXPECT_EQ(dialog->Edit1->text(), u("Gamma")); });
    panel->BitBtn10->click();

    EXPECT_TRUE(addAllShown) << "four rows are selected";
    EXPECT_EQ(shown, u("عفواً لم تقم بتحديد الموضوع"));
    EXPECT_EQ(duplicate, u("العنوان المدخل موجود مسبقاً"));
    const auto sites = test::readSites(dir.file("weburl.kvl"));
    ASSERT_EQ(sites.size(), sitesBefore + 1);
    EXPECT_EQ(sites.back(),
              (SiteRecord{"http://alpha.example/", 1, "alpha", test::cp("ع/E"), 1, 3}));
    EXPECT_EQ(form->Show_Panel->sites()->rowCount(), browseRowsBefore + 1);
    EXPECT_EQ(form->Count_Label->text(), u("عدد المواقع المسجلة    11"));
    EXPECT_TRUE(row(0)->isSelected() && row(4)->isSelected()) << "the selection stays";

    // One row: no "add all"; a main category; the language stays as left.
    select({4});
    bool addAllHidden = false;
    test::answerNextModal(QStringLiteral("BitBtnWithColor1"), [&](QDialog* d) {
        addAllHidden = !dialog->BitBtnWithColor3->isVisible();
        EXPECT_EQ(dialog->ComboBox1->currentText(), QStringLiteral("ع/E"));
        chooseCategory(d, "رياضة");
    });
    panel->BitBtn10->click();
    EXPECT_TRUE(addAllHidden);
    const auto after = test::readSites(dir.file("weburl.kvl"));
    ASSERT_EQ(after.size(), sitesBefore + 2);
    EXPECT_EQ(after.back(),
              (SiteRecord{"http://base.example/", 2, "Gamma", test::cp("ع/E"), 1, 0}));
}

TEST_F(BrowserFavoritesPanelTest, textsThatDoNotFitAreOfferedAgainAndAMissingSiteFileStopsTheRun) {
    // A name longer than a description can be is shown whole, refused with
    // its reason, and can be shortened in the dialog.
    const std::string longName(80, 'n');
    shortcut(longName + ".url", "URL=http://long.example\r\n");
    panel->reload();
    ASSERT_EQ(rows().size(), 6);
    select({5});
    QString problem;
    test::answerNextModal(QStringLiteral("BitBtnWithColor1"), [&](QDialog* d) {
        EXPECT_EQ(dialog->Edit1->text().toStdString(), longName);
        chooseCategory(d, "رياضة");
    });
    test::answerNextModal(u("تم"), test::recordMessage(problem));
    test::answerNextModal(QStringLiteral("BitBtnWithColor1"),
                          [&](QDialog*) { dialog->Edit1->setText(QStringLiteral("long")); });
    panel->BitBtn10->click();
    EXPECT_TRUE(problem.startsWith(u("وصف العنوان"))) << problem.toStdString();
    EXPECT_EQ(test::readSites(dir.file("weburl.kvl")).back().Title, "long");

    // Without the site file the run ends after the first shortcut, silently.
    ::rename(dir.file("weburl.kvl").c_str(), dir.file("moved.kvl").c_str());
    select({2, 3});
    test::answerNextModal(QStringLiteral("BitBtnWithColor1"));
    test::answerNextModal(QStringLiteral("BitBtnWithColor2")); // must stay unused
    panel->BitBtn10->click();
    EXPECT_EQ(test::pendingModalAnswers(), 1) << "no second shortcut is offered";
    test::cancelModalAnswers();
    EXPECT_FALSE(test::fileExists(dir.file("weburl.kvl")));
}

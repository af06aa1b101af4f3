#include "browser/ui/FavoritesPanel.h"
#include "data/Cp1256.h"
#include "mainwindow/BrowsePanel.h"
#include "mainwindow/OptionsPanel.h"
#include "mainwindow/SiteListModel.h"
#include "mainwindow/TForm1.h"
#include "platform/RegistryFile.h"
#include "search/ui/WebSearchBox.h"
#include "support/Fixtures.h"
#include "support/MainWindowFixture.h"
#include "support/TempDir.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/ColorPickerButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeView>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace korvalo;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

const QString kSettingsKey = QStringLiteral(".DEFAULT\\Software\\Korvalo\\2.0");

using StartupFixture = test::MainWindowFixture;

} // namespace

TEST_F(StartupFixture, readThroughFillsCountVersionListAndFavourites) {
    auto form = start();
    ASSERT_TRUE(started) << messages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(messages.isEmpty());

    EXPECT_EQ(form->Count_Label->text(), u("عدد المواقع المسجلة    10"));
    EXPECT_EQ(form->Caption->text(), u("الاصدار 2.2")) << "the last version record wins";
    EXPECT_TRUE(form->state().storedPassword.isEmpty());
    EXPECT_EQ(form->ProgramDirEdit->text(), QString::fromStdString(dir.path()) + QLatin1Char('/'));
    EXPECT_TRUE(QDir(QString::fromStdString(dir.file("temp"))).exists());

    // Category 1 has three sites, one of them under a sub-category.
    SiteListModel* list = form->Show_Panel->sites();
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->url(0), QStringLiteral("http://one.example"));
    EXPECT_EQ(list->title(0), u("الأول"));
    EXPECT_EQ(list->language(0), u("عربي"));
    EXPECT_EQ(list->url(2), QStringLiteral("http://five.example"));
    EXPECT_EQ(form->Show_Panel->Panel6->text(), u("   أخبار         3   "));

    EXPECT_EQ(form->Favorites_Panel->favorites()->rowCount(), 1);
    EXPECT_EQ(form->Favorites_Panel->favorites()->url(0), QStringLiteral("http://fav.example"));
    ASSERT_EQ(form->Favorites_Panel->ListBox1->count(), 1);
    EXPECT_EQ(form->Favorites_Panel->ListBox1->item(0)->text(), QStringLiteral("fav"));

    // Showing the window builds the tree and sets the current category.
    form->show();
    QTreeWidget* tree = form->Show_Panel->TreeView1;
    ASSERT_EQ(tree->topLevelItemCount(), 2) << "info is never shown";
    EXPECT_EQ(tree->topLevelItem(0)->text(0), u("أخبار"));
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), u("محلية"));
    EXPECT_EQ(form->Category->count(), 3);
    EXPECT_EQ(form->state().currentCategoryName, u("أخبار"));
    EXPECT_EQ(form->Web_Search->ComboBox1->currentIndex(), 0)
        << "the first web-search engine is chosen";
    EXPECT_EQ(quitStatus, -1);
}

TEST_F(StartupFixture, missingRequiredFilesEndTheProgramAfterTheirMessage) {
    const std::string cate = test::readFile(dir.file("cate.dat"));
    ::unlink(dir.file("weburl.kvl").c_str());
    {
        auto form = start();
        EXPECT_FALSE(started);
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0], u("weburl.kvl تعذر فتح الملف"));
        EXPECT_EQ(quitStatus, 1);
        EXPECT_FALSE(test::fileExists(dir.file("weburl.kvl")));
        EXPECT_EQ(test::readFile(dir.file("cate.dat")), cate);
        EXPECT_EQ(form->Show_Panel->sites()->rowCount(), 0);
    }

    messages.clear();
    quitStatus = -1;
    test::writeSites(dir.file("weburl.kvl"), {{"http://a.example", 1, "a", "E", 0, 0}});
    const std::string sites = test::readFile(dir.file("weburl.kvl"));
    ::unlink(dir.file("cate.dat").c_str());
    auto form = start();
    EXPECT_FALSE(started);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], u("cate.dat  تعذر فتح الملف\n الملف مطلوب لتشغيل البرنامج"));
    EXPECT_EQ(quitStatus, 1);
    EXPECT_EQ(test::readFile(dir.file("weburl.kvl")), sites);
    EXPECT_FALSE(test::fileExists(dir.file("cate.dat")));
}

TEST_F(StartupFixture, windowPlacementFollowsTheScreenWidth) {
    {
        auto form = start({799, 600});
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0], u("يفضل ضبط الشاشة على دقة 800*600 او اكثر"));
        EXPECT_EQ(form->pos(), TForm1::kDesignedPosition);
        EXPECT_TRUE(started) << "a small screen only warns";
    }
    messages.clear();
    {
        auto form = start({800, 600});
        EXPECT_TRUE(messages.isEmpty());
        EXPECT_EQ(form->pos(), QPoint(0, 0));
    }
    auto form = start({1024, 768});
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(form->size(), QSize(792, 540));
    EXPECT_EQ(form->pos(), QPoint(1024 / 2 - 792 / 2, 768 / 2 - 540 / 2));
    auto odd = start({1025, 769});
    EXPECT_EQ(odd->pos(), QPoint(116, 114)) << "each half rounds toward zero";
}

TEST_F(StartupFixture, firstRunWritesItsValuesAndTheListsUseTheDesignLook) {
    RegistryFile reg = registry();
    reg.setString(RegRoot::LocalMachine,
                  QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App "
                                 "Paths\\IEXPLORE.EXE"),
                  QString(), QStringLiteral("/opt/browser/run"));
    auto form = start();
    ASSERT_TRUE(started);
    EXPECT_EQ(reg.valueNames(RegRoot::Users, kSettingsKey),
              (QStringList{QStringLiteral("First"), QStringLiteral("IePath"),
                           QStringLiteral("FavoritesPath"), QStringLiteral("BanerNo")}));
    EXPECT_EQ(form->state().firstRunMarker, QString()) << "empty for the whole first run";
    EXPECT_EQ(form->Config_Panel->Edit9->text(), QStringLiteral("/opt/browser/run"));
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("/opt/browser/run"));
    EXPECT_FALSE(form->Config_Panel->CheckBox2->isChecked());

    OptionsPanel* o = form->Config_Panel;
    EXPECT_EQ(o->FontSizeComboBox->currentText(), QStringLiteral("10"));
    if (QFontDatabase::families().contains(QStringLiteral("DejaVu Sans"))) {
        EXPECT_EQ(o->FontComboBox1->currentText(), QStringLiteral("DejaVu Sans"));
    }
    EXPECT_EQ(o->ColorPickerButton2->color(), 0x00C08080u);
    const QPalette strip = form->Show_Panel->Panel6->palette();
    EXPECT_EQ(strip.color(QPalette::Window), QColor(0x80, 0x80, 0xC0));
    EXPECT_EQ(strip.color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(form->Show_Panel->ListView1->palette().color(QPalette::Base), QColor(Qt::white));

    // The second start is not a first run.
    auto second = start();
    EXPECT_EQ(second->state().firstRunMarker, QStringLiteral("1"));
}

TEST_F(StartupFixture, storedDisplaySettingsReachListsTreesAndStrips) {
    RegistryFile reg = registry();
    const QString family = QFontDatabase::families().value(0);
    ASSERT_FALSE(family.isEmpty());
    const std::pair<const char*, QString> values[] = {
        {"First", QStringLiteral("1")},
        {"IePath", QStringLiteral("/usr/bin/b")},
        {"FavoritesPath", QStringLiteral("/f")},
        {"BanerNo", QStringLiteral("3")},
        {"FontName", family},
        {"FontSize", QStringLiteral("14")},
        {"FontBlod", QStringLiteral("1")},
        {"FontItalic", QStringLiteral("0")},
        {"TabelTextColor", QStringLiteral("000000FF")},
        {"TabelBackColor", QStringLiteral("00E0E0E0")},
        {"TabelHeadTextColor", QStringLiteral("00000000")},
        {"TabelHeadBackColor", QStringLiteral("0000FF00")}};
    for (const auto& [name, text] : values)
        reg.setString(RegRoot::Users, kSettingsKey, QString::fromLatin1(name), text);

    auto form = start();
    ASSERT_TRUE(started);
    form->show();
    EXPECT_EQ(form->Config_Panel->FontComboBox1->currentText(), family);
    QTreeView* list = form->Show_Panel->ListView1;
    QTreeWidget* tree = form->Show_Panel->TreeView1;
    EXPECT_TRUE(list->font().bold());
    EXPECT_TRUE(tree->font().bold());
    EXPECT_EQ(list->font().pointSize(), 14);
    EXPECT_NE(tree->font().pointSize(), 14) << "the trees keep their size";
    EXPECT_EQ(form->Favorites_Panel->ListView5->font().pointSize(), 14);
    EXPECT_EQ(list->palette().color(QPalette::Text), QColor(Qt::red));
    EXPECT_EQ(tree->palette().color(QPalette::Base), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(form->Show_Panel->Panel8->palette().color(QPalette::Window), QColor(Qt::green));

    // Not white: the trees read left to right, but keep their layout.
    EXPECT_EQ(tree->layoutDirection(), Qt::RightToLeft);
    ASSERT_GT(tree->topLevelItemCount(), 0);
    EXPECT_TRUE(tree->topLevelItem(0)->textAlignment(0) & Qt::AlignLeft);
    form->Config_Panel->ColorPickerButton4->setColor(0x00FFFFFF);
    form->ApplyDisplaySettings();
    EXPECT_TRUE(tree->topLevelItem(0)->textAlignment(0) & Qt::AlignRight);
    ASSERT_GT(tree->topLevelItem(0)->childCount(), 0);
    EXPECT_TRUE(tree->topLevelItem(0)->child(0)->textAlignment(0) & Qt::AlignRight);
}

TEST_F(StartupFixture, exitRemovesTheTemporaryFilesButAClosedWindowDoesNot) {
    auto form = start();
    ASSERT_TRUE(started);
    form->show();
    const char* temps[] = {"temp/Temp.tmp", "temp/1.gif", "temp/ad.tmp"};
    for (const char* t : temps)
        test::writeFile(dir.file(t), "x");
    test::writeFile(dir.file("temp/keep.txt"), "x");

    form->close();
    for (const char* t : temps)
        EXPECT_TRUE(test::fileExists(dir.file(t))) << t;
    EXPECT_EQ(form->Show_Panel->sites()->rowCount(), 0) << "closing clears the lists";
    EXPECT_EQ(quitStatus, -1);

    auto again = start();
    again->show();
    again->BitBtnWithColor6->click();
    for (const char* t : temps)
        EXPECT_FALSE(test::fileExists(dir.file(t))) << t;
    EXPECT_TRUE(test::fileExists(dir.file("temp/keep.txt")));
    EXPECT_FALSE(again->isVisible());
    EXPECT_EQ(quitStatus, 0);
}

TEST_F(StartupFixture, aTempFolderThatCannotBeMadeOnlyWarns) {
    test::writeFile(dir.file("temp"), "a file where the folder should be");
    auto form = start();
    EXPECT_TRUE(started);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Cannot create \\temp  directory."));
}

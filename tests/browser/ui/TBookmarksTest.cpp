#include "browser/ui/TBookmarks.h"
#include "browser/BookmarkCaptions.h"
#include "platform/RegistryFile.h"
#include "support/MainWindowFixture.h"
#include "support/Wait.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace korvalo;

namespace {

void put(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QString top(const char16_t* caption) {
    return QString::fromUtf16(caption);
}

// A menu as text, one item a line, two blanks of indent a level:
// "[caption]" for a menu, "caption -> address" for a bookmark, "-".
QString describe(const QMenu* menu, int indent = 0) {
    QString out;
    for (const QAction* a : menu->actions()) {
        out += QString(indent, u' ');
        if (a->isSeparator())
            out += QStringLiteral("-\n");
        else if (a->menu())
            out += u'[' + a->text() + QStringLiteral("]\n") + describe(a->menu(), indent + 2);
        else
            out += a->text() + QStringLiteral(" -> ") + a->toolTip() + u'\n';
    }
    return out;
}

QAction* item(const QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

// An exported bookmarks file with a folder of n links.
QByteArray exportedFile(int n) {
    QByteArray html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n"
                      "<DT><H3>Folder</H3>\n<DL><p>\n";
    for (int i = 1; i <= n; ++i)
        html += "<DT><A HREF=\"http://" + QByteArray::number(i) + ".example/\">link " +
                QByteArray::number(i) + "</A>\n";
    html += "</DL><p>\n<HR>\n<DT><A HREF=\"http://amp.example/\">Tom &amp; Jerry</A>\n</DL>\n";
    return html;
}

} // namespace

TEST(TBookmarks, menusUnderTheLimitReplaceWhatWasThereAndBrokenSourcesAreLeftOut) {
    test::TempDir dir;
    const QString home = QString::fromStdString(dir.path());
    put(home + QStringLiteral("/data/korvalo/bookmarks/mine.html"), exportedFile(9));
    // Damaged files of other browsers.
    put(home + QStringLiteral("/config/chromium/Default/Bookmarks"), "{\"roots\": {\"bookmark_");
    put(home + QStringLiteral("/.mozilla/firefox/profiles.ini"),
        "[Profile0]\nName=x\nIsRelative=1\nPath=p\n");
    put(home + QStringLiteral("/.mozilla/firefox/p/places.sqlite"),
        QByteArray("SQLite format 3\0garbage", 24));
    put(home + QStringLiteral("/config/google-chrome/Default/Bookmarks"),
        R"({"roots": {"bookmark_bar": {"type": "folder", "name": "Bar", "children": [
            {"type": "url", "name": "c", "url": "http://c.example/"}]}}})");

    BookmarkLocations where;
    where.home = home;
    where.winePrefix = home + QStringLiteral("/wine");
    where.configHome = home + QStringLiteral("/config");
    where.dataHome = home + QStringLiteral("/data");

    QMenu menu;
    menu.addAction(QStringLiteral("left over"));
    menu.addMenu(QStringLiteral("old folder"))->addAction(QStringLiteral("old"));
    TBookmarks bookmarks;
    bookmarks.setLocations(where);
    bookmarks.setScreenMetrics(9 * 20, 20); // M = 5: four entries, then ">>"
    bookmarks.setMenu(&menu);
    EXPECT_EQ(menu.actions().size(), 2) << "nothing is built while disabled";
    bookmarks.setEnabled(true);
    EXPECT_EQ(bookmarks.menuSizeLimit(), 5);

    const QString chrome = u'[' + top(bookmarkCaptions::kChrome) + QStringLiteral("]\n  [") +
                           top(bookmarkCaptions::kToolbar) +
                           QStringLiteral("]\n    c -> http://c.example/\n  [") +
                           top(bookmarkCaptions::kOther) + QStringLiteral("]\n");
    const QString expected = chrome + u'[' + top(bookmarkCaptions::kExportedFiles) +
                             QStringLiteral("]\n"
                                            "  [Folder]\n"
                                            "    link 1 -> http://1.example/\n"
                                            "    link 2 -> http://2.example/\n"
                                            "    link 3 -> http://3.example/\n"
                                            "    link 4 -> http://4.example/\n"
                                            "    [>>]\n"
                                            "      link 5 -> http://5.example/\n"
                                            "      link 6 -> http://6.example/\n"
                                            "      link 7 -> http://7.example/\n"
                                            "      link 8 -> http://8.example/\n"
                                            "      [>>]\n"
                                            "        link 9 -> http://9.example/\n"
                                            "  -\n"
                                            "  Tom && Jerry -> http://amp.example/\n");
    EXPECT_EQ(describe(&menu).toStdString(), expected.toStdString());
    EXPECT_EQ(menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly).size(), 2)
        << "the old folder's menu is gone";

    // A second rebuild, under another menu, gives the same menus once.
    QMenu other;
    bookmarks.setMenu(&other);
    bookmarks.RebuildBookmarkMenus();
    EXPECT_EQ(describe(&other).toStdString(), expected.toStdString());
}

TEST(TBookmarks, aClickThroughTheMenusFiresOnUrlOnceWithTheShortenedCaption) {
    // The bookmarks' menu is a submenu of another, as in the tray.
    QMenu tray;
    QMenu* menu = tray.addMenu(QStringLiteral("bookmarks"));
    TBookmarks bookmarks;
    bookmarks.setMenu(menu);
    const QString longName = QString(30, u'a') + QStringLiteral(" & ") + QString(30, u'b');
    bookmarks.buildMenus({BookmarkNode::folder(
        QStringLiteral("f"), {BookmarkNode::bookmark(longName, QStringLiteral("http://x/")),
                              BookmarkNode::bookmark(QStringLiteral("none"), QString())})});
    QStringList fired;
    QObject::connect(&bookmarks, &TBookmarks::OnURL,
                     [&](TBookmarks* sender, const QString& caption, const QString& url) {
                         EXPECT_EQ(sender, &bookmarks);
                         fired << caption + u'|' + url;
                     });

    tray.popup(QPoint(100, 100));
    auto click = [](QMenu* in, QAction* item) {
        const QPoint at = in->actionGeometry(item).center();
        QTest::mouseMove(in, at);
        QTest::mouseClick(in, Qt::LeftButton, {}, at);
    };
    QMenu* open = &tray;
    for (QAction* item : {menu->menuAction(), menu->actions().front()}) {
        click(open, item);
        open = item->menu();
        ASSERT_TRUE(test::waitUntil([&] { return open->isVisible(); }));
    }
    click(open, open->actions().at(0));
    EXPECT_FALSE(tray.isVisible());
    open->actions().at(1)->trigger();   // no address: nothing happens
    menu->actions().front()->trigger(); // a folder: nothing either
    EXPECT_EQ(fired, QStringList{ShortenCaption(longName) + QStringLiteral("|http://x/")});
}

class BookmarksMenuTest : public test::MainWindowFixture {};

TEST_F(BookmarksMenuTest, theTrayMenuShowsTheBookmarksAndAChosenOneOpensInTheBrowser) {
    // A favourites folder named in the settings, with a shortcut lacking its
    // URL, and a file exported into the user's folder.
    const QString favorites = QString::fromStdString(dir.file("favorites"));
    put(favorites + QStringLiteral("/Broken.url"), "[InternetShortcut]\r\n");
    put(favorites + QStringLiteral("/Site.url"),
        "[InternetShortcut]\r\nURL=http://ie.example/\r\n");
    ASSERT_TRUE(registry().setString(RegRoot::Users,
                                     QStringLiteral(".DEFAULT\\Software\\Korvalo\\2.0"),
                                     QStringLiteral("FavoritesPath"), favorites));
    put(QString::fromStdString(dir.file("home/.local/share/korvalo/bookmarks/a.html")),
        "<DL><p>\n<DT><A HREF=\"http://exported.example/\">Exported</A>\n</DL>\n");
    const std::string script = dir.file("fake browser");
    test::writeRecordingBrowser(script, dir.file("browser.log"));

    auto form = start();
    ASSERT_TRUE(started);
    form->state().browserPath = QString::fromStdString(script);
    const auto* menu = form->TrayMenu->findChild<QMenu*>(QStringLiteral("BookmarksMenu"));
    ASSERT_TRUE(menu);
    EXPECT_EQ(describe(menu).toStdString(),
              (u'[' + top(bookmarkCaptions::kInternetExplorer) +
               QStringLiteral("]\n  Broken -> N/A\n  Site -> http://ie.example/\n[") +
               top(bookmarkCaptions::kExportedFiles) +
               QStringLiteral("]\n  Exported -> http://exported.example/\n"))
                  .toStdString());

    // The limit comes from the screen and the tray menu's own items.
    const int itemHeight = form->TrayMenu->actionGeometry(form->N1).height();
    EXPECT_EQ(
        form->Bookmarks2->menuSizeLimit(),
        MenuSizeLimit(QGuiApplication::primaryScreen()->availableGeometry().height(), itemHeight));
    EXPECT_GT(form->Bookmarks2->menuSizeLimit(), 0);

    QStringList fired;
    QObject::connect(form->Bookmarks2, &TBookmarks::OnURL,
                     [&](TBookmarks*, const QString& caption, const QString& url) {
                         fired << caption + u'|' + url;
                     });
    const QMenu* ie = menu->actions().at(0)->menu();
    item(ie, QStringLiteral("Broken"))->trigger();
    item(menu->actions().at(1)->menu(), QStringLiteral("Exported"))->trigger();
    EXPECT_EQ(fired, (QStringList{QStringLiteral("Broken|N/A"),
                                  QStringLiteral("Exported|http://exported.example/")}));
    auto opened = [&] {
        QStringList lines = QString::fromStdString(test::readFile(dir.file("browser.log")))
                                .split(u'\n', Qt::SkipEmptyParts);
        lines.sort();
        return lines;
    };
    EXPECT_TRUE(test::waitUntil([&] { return opened().size() >= 2; }));
    EXPECT_EQ(opened(),
              (QStringList{QStringLiteral("N/A"), QStringLiteral("http://exported.example/")}));
}

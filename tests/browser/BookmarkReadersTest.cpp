#include "browser/BookmarkTree.h"
#include "browser/InternetExplorerFavorites.h"
#include "browser/NetscapeBookmarks.h"
#include "browser/OperaHotList.h"
#include "support/BookmarkDescription.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace korvalo;
using korvalo::test::describe;
using korvalo::test::TempDir;

namespace {

QByteArrayView bytes(const char* text) {
    return QByteArrayView(text, qsizetype(strlen(text)));
}

void put(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

} // namespace

TEST(BookmarkMenus, limitFromTheScreenAndPagesOfLimitLessOne) {
    EXPECT_EQ(MenuSizeLimit(740, 19), 34);
    EXPECT_EQ(MenuSizeLimit(740, 0), 0);
    EXPECT_EQ(MenuSizeLimit(0, 19), 0);
    EXPECT_EQ(MenuSizeLimit(6 * 19, 19), 0); // would be 2
    EXPECT_EQ(MenuSizeLimit(7 * 19, 19), 3);

    const BookmarkList entries(70,
                               BookmarkNode::bookmark(QStringLiteral("x"), QStringLiteral("y")));
    std::vector<size_t> sizes;
    for (const auto& page : LayoutMenu(entries, 34))
        sizes.push_back(page.size());
    EXPECT_EQ(sizes, (std::vector<size_t>{33, 33, 4}));
    EXPECT_EQ(LayoutMenu(std::span(entries).first(33), 34).size(), 1u); // no ">>" yet
    EXPECT_EQ(LayoutMenu(entries, 0).size(), 1u);
    EXPECT_TRUE(LayoutMenu({}, 34).empty());
}

TEST(BookmarkMenus, shortenCaptionKeepsBothEndsAndWholeCharacters) {
    const QString name50 = QStringLiteral("abcdefghijklmnopqrstu") + QString(8, u'-') +
                           QStringLiteral("ABCDEFGHIJKLMNOPQRSTU");
    EXPECT_EQ(ShortenCaption(name50),
              QStringLiteral("abcdefghijklmnopqrstu...ABCDEFGHIJKLMNOPQRSTU"));
    EXPECT_EQ(ShortenCaption(name50.left(45)), name50.left(45));
    // 46 characters of which the first is outside the BMP: kept whole.
    const QString emoji = QStringLiteral("😀") + QString(45, u'a');
    EXPECT_EQ(ShortenCaption(emoji),
              QStringLiteral("😀") + QString(20, u'a') + QStringLiteral("...") + QString(21, u'a'));
}

TEST(BookmarkReaders, favoritesFolderSortsFoldersFirstAndDropsDuplicateCaptions) {
    TempDir dir;
    const QString root = QString::fromStdString(dir.path());
    const QByteArray google = "[InternetShortcut]\r\nURL=http://google.example/\r\n";
    put(root + QStringLiteral("/Google.url"), google);
    put(root + QStringLiteral("/google.URL"), "[InternetShortcut]\r\nURL=http://other/\r\n");
    put(root + QStringLiteral("/.hidden.url"), "[internetshortcut]\nurl = \"http://h/\"\n");
    put(root + QStringLiteral("/no address.url"), "[InternetShortcut]\r\nIconIndex=0\r\n");
    put(root + QStringLiteral("/notes.txt"), "not a shortcut");
    const QString long50 = QString(21, u'a') + QString(8, u'm') + QString(21, u'z');
    put(root + u'/' + long50 + QStringLiteral(".url"), google);
    put(root + QStringLiteral("/b folder/inner.url"), google);
    QDir(root).mkpath(QStringLiteral("a folder"));
    QDir(root).mkpath(QStringLiteral(".config"));
    // A link back to the top must not be walked forever.
    ASSERT_TRUE(QFile::link(root, root + QStringLiteral("/b folder/loop")));

    const auto entries = ReadInternetExplorerFavorites(root);
    ASSERT_TRUE(entries);
    EXPECT_EQ(describe(*entries), "[a folder]\n"
                                  "[b folder]\n"
                                  "  [loop]\n"
                                  "  inner -> http://google.example/\n"
                                  ".hidden -> http://h/\n" +
                                      QString(21, u'a').toStdString() + "..." +
                                      QString(21, u'z').toStdString() +
                                      " -> http://google.example/\n"
                                      "Google -> http://google.example/\n"
                                      "no address -> N/A\n");
}

TEST(BookmarkReaders, netscapeLinesFoldersAndSeparators) {
    const char* html =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
        "<TITLE>Bookmarks</TITLE>\n"
        "<H1>Bookmarks</H1>\n"
        "<DL><p>\r\n"
        "    <DT><A HREF=\"http://a.example/?x=1&amp;y=2\" ADD_DATE=\"1\" ICON=\"data:x\">A &amp; "
        "B</A>\r\n"
        "    <DT><H3 ADD_DATE=\"2\" FOLDED>News</H3>\n"
        "    <DL><p>\n"
        "        <DT><A HREF='http://single.example/' >Single</A>\n"
        "        <HR>\n"
        "        <DT><A HREF = http://bare.example/ LAST_VISIT=\"3\">Bare\n"
        "        <DT><A HREF=\"http://no-caption.example/\"\n"
        "        <DT><H3>Empty</H3>\n"
        "        <DL><p>\n"
        "        </DL><p>\n"
        "    </DL><p>\n"
        "    <DT><a href=\"http://lower.example/\">lower-case markers count for nothing</a>\n"
        "    <DT><A HREF=\"http://after.example/\">After</A>\n"
        "</DL><p>\n"
        "<DT><A HREF=\"http://past-the-end.example/\">Past</A>\n";
    const auto asWritten = ParseNetscapeBookmarks(bytes(html));
    ASSERT_TRUE(asWritten);
    EXPECT_EQ(describe(*asWritten), "A &amp; B -> http://a.example/?x=1&amp;y=2\n"
                                    "[News]\n"
                                    "  Single -> http://single.example/\n"
                                    "  -\n"
                                    "  Bare -> http://bare.example/\n"
                                    "  [Empty]\n"
                                    "After -> http://after.example/\n");
    EXPECT_EQ((*asWritten)[1].children[2].line, 10);

    const auto decoded = ParseNetscapeBookmarks(bytes(html), HtmlText::Decoded);
    ASSERT_TRUE(decoded);
    EXPECT_EQ((*decoded)[0].caption, QStringLiteral("A & B"));
    EXPECT_EQ((*decoded)[0].address, QStringLiteral("http://a.example/?x=1&y=2"));

    // Windows-1256 text where the file is not UTF-8.
    const auto arabic = ParseNetscapeBookmarks("<DT><A HREF=\"http://x/\">\xE3\xE6\xDE\xDA</A>");
    ASSERT_TRUE(arabic);
    EXPECT_EQ((*arabic)[0].caption, QStringLiteral("موقع"));

    // Nesting deeper than the bound leaves the whole file out.
    QByteArray deep;
    for (int i = 0; i <= kMaxBookmarkDepth; ++i)
        deep += "<DT><H3>f</H3>\n";
    EXPECT_FALSE(ParseNetscapeBookmarks(deep));
    deep.chop(sizeof("<DT><H3>f</H3>\n") - 1);
    EXPECT_TRUE(ParseNetscapeBookmarks(deep));
}

TEST(BookmarkReaders, operaHotListFoldersEndingsAndEmptyLists) {
    const std::string text = "Opera Hotlist version 2.0\n"
                             "Options: encoding = utf8, version=3\n"
                             "\n"
                             "#FOLDER\n"
                             "\tID=1\n"
                             "\tNAME=Search\n"
                             "\tCREATED=1\n"
                             "\n"
                             "#URL\n"
                             "\tNAME=" +
                             std::string(50, 'n') +
                             "\n"
                             "\tURL=http://search.example/?q=a=b\n"
                             "-\n"
                             "#SEPARATOR\n"
                             "#url\n"
                             "\tname=Last\n"
                             "\tdescription=x\n"
                             "\turl=http://last.example/";
    const auto entries = ParseOperaHotList(QByteArrayView(text.data(), qsizetype(text.size())));
    ASSERT_TRUE(entries);
    EXPECT_EQ(describe(*entries), "[Search]\n"
                                  "  " +
                                      std::string(21, 'n') + "..." + std::string(21, 'n') +
                                      " -> http://search.example/?q=a=b\n"
                                      "Last -> http://last.example/\n");

    EXPECT_TRUE(ParseOperaHotList("Opera Hotlist version 2.0\n\n")->empty());
    // A URL cut off before its address is left out, and the rest stays.
    EXPECT_EQ(describe(*ParseOperaHotList("#FOLDER\nNAME=F\n#URL\nNAME=cut")), "[F]\n");
}

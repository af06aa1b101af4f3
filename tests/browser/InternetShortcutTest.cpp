#include "browser/InternetShortcut.h"
#include "browser/FavoritesFolder.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace korvalo;
using korvalo::test::fileExists;
using korvalo::test::readFile;
using korvalo::test::TempDir;
using korvalo::test::writeFile;

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string localName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

std::optional<QString> addressOf(const std::string& text) {
    return shortcutAddress(QByteArrayView(text.data(), qsizetype(text.size())));
}

// Kind, name and address of each entry, for readable comparisons.
std::vector<std::string> describe(const std::vector<FavoritesEntry>& entries) {
    std::vector<std::string> out;
    for (const FavoritesEntry& e : entries) {
        const char* kind = e.kind == FavoritesEntry::Folder ? "dir " : "url ";
        out.push_back(kind + e.name.toStdString() +
                      (e.address.isEmpty() ? "" : " -> " + e.address.toStdString()));
    }
    return out;
}

} // namespace

TEST(InternetShortcutTest, writeAppendsSectionsAndReadsBackTheAddress) {
    TempDir dir;
    const std::string file = dir.file("My Site.URL");
    ASSERT_TRUE(WriteInternetShortcut(q(dir.path()), u("My Site"), u("http://my.example/")));
    EXPECT_EQ(readFile(file), "[InternetShortcut]\r\nURL=http://my.example/\r\n");

    // The same name again: one file holding both sections.
    ASSERT_TRUE(WriteInternetShortcut(q(dir.path()), u("My Site"), u("http://other.example/")));
    EXPECT_EQ(readFile(file), "[InternetShortcut]\r\nURL=http://my.example/\r\n"
                              "[InternetShortcut]\r\nURL=http://other.example/\r\n");
    const ShortcutRead read = ReadShortcutAddress(q(file));
    EXPECT_TRUE(read.opened);
    EXPECT_EQ(read.address, u("http://my.example/")) << "the first URL line wins";

    // Arabic names and addresses are UTF-8 in the file name and the text.
    ASSERT_TRUE(WriteInternetShortcut(q(dir.path()), u("موقع الأخبار"), u("http://أخبار.example")));
    const std::string arabic = localName(shortcutPath(q(dir.path()), u("موقع الأخبار")));
    EXPECT_EQ(arabic, dir.file("موقع الأخبار.URL"));
    EXPECT_EQ(readFile(arabic), "[InternetShortcut]\r\nURL=http://أخبار.example\r\n");
    EXPECT_EQ(ReadShortcutAddress(q(arabic)).address, u("http://أخبار.example"));

    // Nothing else is left in the folder (no temporary files).
    EXPECT_EQ(QDir(q(dir.path())).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(InternetShortcutTest, namesAreUsedUnchangedAndInvalidOnesFailWithoutWriting) {
    TempDir dir;
    for (const char* bad : {"what?", "a/b", "../escape", "back\\slash", "c:d", "star*", "q\"uote",
                            "<less", "more>", "pipe|", "tab\there", "new\nline"}) {
        QString error;
        EXPECT_FALSE(WriteInternetShortcut(q(dir.path()), u(bad), u("http://x.example"), &error))
            << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
    EXPECT_TRUE(QDir(q(dir.path()))
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());
    EXPECT_FALSE(fileExists(dir.path() + "/../escape.URL"));

    // Blanks, dots and Arabic punctuation are valid and kept as they are.
    for (const char* good : {" spaced  out ", "v1.2...", "..", "سؤال؟", ""})
        EXPECT_TRUE(WriteInternetShortcut(q(dir.path()), u(good), u("http://x.example"))) << good;
    EXPECT_TRUE(fileExists(dir.file(" spaced  out .URL")));
    EXPECT_TRUE(fileExists(dir.file("...URL")));
    EXPECT_TRUE(fileExists(dir.file(".URL")));

    EXPECT_FALSE(WriteInternetShortcut(q(dir.file("missing")), u("x"), u("http://x.example")));
    // A folder where the shortcut file should be cannot be appended to.
    ::mkdir(dir.file("taken.URL").c_str(), 0755);
    EXPECT_FALSE(WriteInternetShortcut(q(dir.path()), u("taken"), u("http://x.example")));
}

TEST(InternetShortcutTest, theAddressComesFromTheFirstUrlLineOfTheFirstFour) {
    EXPECT_EQ(addressOf("[DEFAULT]\r\nBASEURL=http://base.example/\r\n[InternetShortcut]\r\n"
                        "URL=http://page.example/\r\n"),
              u("http://base.example/"));
    EXPECT_EQ(addressOf("a\nb\nc\nURL=http://fourth.example\n"), u("http://fourth.example"));
    EXPECT_EQ(addressOf("a\nb\nc\nd\nURL=http://fifth.example\n"), std::nullopt);
    EXPECT_EQ(addressOf("[InternetShortcut]\r\nurl=http://lower.example\r\n"), std::nullopt);
    EXPECT_EQ(addressOf(""), std::nullopt);
    EXPECT_EQ(addressOf("URL=http://no-line-end.example"), u("http://no-line-end.example"));
    // Blanks go, tabs stay; the first '=' after the line's first byte starts it.
    EXPECT_EQ(addressOf("URL= http://a b.example/ x \r\n"), u("http://ab.example/x"));
    EXPECT_EQ(addressOf("URL=\thttp://tab.example\r\n"), u("\thttp://tab.example"));
    EXPECT_EQ(addressOf("=URL=http://eq.example?a=b\n"), u("http://eq.example?a=b"));
    EXPECT_EQ(addressOf("URL=\r\n"), u(""));

    // Lines are cut at 99 bytes, and a cut line is the last one read.
    const std::string longAddress = "http://" + std::string(120, 'a');
    EXPECT_EQ(addressOf("URL=" + longAddress + "\n"), q(("URL=" + longAddress).substr(4, 95)));
    EXPECT_EQ(addressOf(std::string(100, '#') + "\nURL=http://after.example\n"), std::nullopt);
    EXPECT_EQ(addressOf(std::string(99, '#') + "\nURL=http://after.example\n"),
              u("http://after.example"));
    EXPECT_EQ(addressOf(std::string(98, '#') + "URL=http://x\n"), std::nullopt)
        << "URL= beyond the cut does not count";

    // Text that is not UTF-8 is Windows-1256.
    EXPECT_EQ(addressOf("URL=http://" + test::cp("عربي") + ".example\r\n"),
              u("http://عربي.example"));
}

TEST(InternetShortcutTest, folderListsSubfoldersThenShortcutsEachSortedAndSkipsTheRest) {
    TempDir dir;
    for (const char* sub : {"beta", "Alpha", ".hidden", "gamma.url"})
        ::mkdir(dir.file(sub).c_str(), 0755);
    writeFile(dir.file("zeta.url"), "[InternetShortcut]\r\nURL=http://zeta.example\r\n");
    writeFile(dir.file("Yankee.URL"), "[InternetShortcut]\nURL=http://yankee.example\n");
    writeFile(dir.file("xray.Url"), "URL=http://xray.example");
    writeFile(dir.file("no address.url"), "[InternetShortcut]\r\n");
    writeFile(dir.file("notes.txt"), "URL=http://notes.example\r\n");
    writeFile(dir.file(".secret.url"), "URL=http://secret.example\r\n");
    writeFile(dir.file("beta/inner.url"), "URL=http://inner.example\r\n");

    const auto entries = ReadFavoritesFolder(q(dir.path()));
    ASSERT_TRUE(entries);
    EXPECT_EQ(describe(*entries),
              (std::vector<std::string>{
                  "dir Alpha", "dir beta", "dir gamma.url", "url xray -> http://xray.example",
                  "url Yankee -> http://yankee.example", "url zeta -> http://zeta.example"}));

    const auto inner = ReadFavoritesFolder(q(dir.file("beta")));
    ASSERT_TRUE(inner);
    EXPECT_EQ(describe(*inner), std::vector<std::string>{"url inner -> http://inner.example"});

    const auto missing = ReadFavoritesFolder(q(dir.file("missing")));
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->empty());
}

TEST(InternetShortcutTest, aShortcutThatCannotBeReadStopsTheListing) {
    TempDir dir;
    writeFile(dir.file("a.url"), "URL=http://a.example\r\n");
    // Reading this file fails even for root, who may open anything.
    ASSERT_EQ(::symlink("/proc/self/mem", dir.file("b.url").c_str()), 0);
    EXPECT_FALSE(ReadShortcutAddress(q(dir.file("b.url"))).opened);
    EXPECT_EQ(ReadFavoritesFolder(q(dir.path())), std::nullopt);
}

#include "platform/RegistryFile.h"

#include "support/TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

using namespace korvalo;
using namespace std::string_literals;
using korvalo::test::fileExists;
using korvalo::test::readFile;
using korvalo::test::TempDir;
using korvalo::test::writeFile;

namespace {

const QString kKey = QStringLiteral(".DEFAULT\\Software\\Korvalo\\2.0");

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::optional<QString> textOf(const RegistryFile& reg, RegRoot root, const QString& key,
                              const QString& name) {
    const auto v = reg.value(root, key, name);
    if (!v || v->type != RegValue::String)
        return std::nullopt;
    return v->text;
}

} // namespace

TEST(RegistryFile, writesRegedit4WithEscapingAndKeepsTheOrderOfKeysAndValues) {
    TempDir dir;
    const QString path = QString::fromStdString(dir.file("cfg/registry.reg"));
    RegistryFile reg(path);

    ASSERT_TRUE(reg.setString(RegRoot::Users, kKey, q("First"), q("1")));
    // A leading backslash names the same key.
    ASSERT_TRUE(
        reg.setString(RegRoot::Users, u'\\' + kKey, q("Path"), q("C:\\Program Files\\\"x\"")));
    ASSERT_TRUE(reg.setDword(RegRoot::Users, kKey, q("X"), 1));
    ASSERT_TRUE(reg.setString(RegRoot::CurrentUser, q("\\Software\\Default"), QString(), q("d")));
    ASSERT_TRUE(reg.setString(RegRoot::Users, kKey, q("Arabic"), q("مرحبا")));
    ASSERT_TRUE(reg.setString(RegRoot::Users, kKey, q("Lines"), q("a\nb")));
    // Keys and value names ignore letter case; a rewritten value keeps its place.
    ASSERT_TRUE(reg.setString(RegRoot::Users, kKey.toUpper(), q("first"), q("2")));

    EXPECT_EQ(readFile(path.toStdString()), "REGEDIT4\n"
                                            "\n"
                                            "[HKEY_USERS\\.DEFAULT\\Software\\Korvalo\\2.0]\n"
                                            "\"First\"=\"2\"\n"
                                            "\"Path\"=\"C:\\\\Program Files\\\\\\\"x\\\"\"\n"
                                            "\"X\"=dword:00000001\n"
                                            "\"Arabic\"=\"مرحبا\"\n"
                                            "\"Lines\"=\"a\\nb\"\n"
                                            "\n"
                                            "[HKEY_CURRENT_USER\\Software\\Default]\n"
                                            "@=\"d\"\n");

    // A fresh reader gets every value back as it was given.
    const RegistryFile again(path);
    EXPECT_EQ(textOf(again, RegRoot::Users, kKey, q("Path")), q("C:\\Program Files\\\"x\""));
    EXPECT_EQ(textOf(again, RegRoot::Users, kKey, q("ARABIC")), q("مرحبا"));
    EXPECT_EQ(textOf(again, RegRoot::Users, kKey, q("Lines")), q("a\nb"));
    EXPECT_EQ(again.value(RegRoot::Users, kKey, q("X")), RegValue::number(1));
    EXPECT_EQ(textOf(again, RegRoot::CurrentUser, q("Software\\Default"), QString()), q("d"));
    EXPECT_EQ(again.valueNames(RegRoot::Users, kKey),
              QStringList({q("First"), q("Path"), q("X"), q("Arabic"), q("Lines")}));
    // Roots are separate.
    EXPECT_FALSE(again.keyExists(RegRoot::LocalMachine, kKey));
    EXPECT_FALSE(again.value(RegRoot::CurrentUser, kKey, q("First")));

    // A NUL cannot be stored in a registry string; the file stays as it was.
    const std::string before = readFile(path.toStdString());
    EXPECT_FALSE(reg.setString(RegRoot::Users, kKey, q("Nul"), q("a") + QChar(0) + q("b")));
    EXPECT_EQ(readFile(path.toStdString()), before);
}

TEST(RegistryFile, keysAndValuesAreCreatedListedAndDeletedLikeTheRegistry) {
    TempDir dir;
    RegistryFile reg(QString::fromStdString(dir.file("registry.reg")));
    const QString parent = q("Software\\A");
    const QString child = q("Software\\A\\B");

    EXPECT_FALSE(reg.keyExists(RegRoot::CurrentUser, parent));
    EXPECT_TRUE(reg.valueNames(RegRoot::CurrentUser, parent).isEmpty());
    ASSERT_TRUE(reg.createKey(RegRoot::CurrentUser, child));
    EXPECT_TRUE(reg.createKey(RegRoot::CurrentUser, child)) << "creating an existing key";
    EXPECT_TRUE(reg.keyExists(RegRoot::CurrentUser, parent)) << "implied by its subkey";
    EXPECT_FALSE(reg.keyExists(RegRoot::CurrentUser, q("Software\\AB")));
    EXPECT_FALSE(reg.createKey(RegRoot::CurrentUser, q("Software\\\\A"))) << "empty part";

    ASSERT_TRUE(reg.setString(RegRoot::CurrentUser, parent, q("v1"), q("1")));
    ASSERT_TRUE(reg.setString(RegRoot::CurrentUser, parent, q("v2"), q("2")));
    EXPECT_TRUE(reg.deleteValue(RegRoot::CurrentUser, parent, q("V1")));
    EXPECT_FALSE(reg.deleteValue(RegRoot::CurrentUser, parent, q("v1"))) << "already gone";
    EXPECT_EQ(reg.valueNames(RegRoot::CurrentUser, parent), QStringList{q("v2")});

    EXPECT_FALSE(reg.deleteKey(RegRoot::CurrentUser, parent)) << "still has a subkey";
    EXPECT_TRUE(reg.deleteKey(RegRoot::CurrentUser, child));
    EXPECT_TRUE(reg.deleteKey(RegRoot::CurrentUser, parent));
    EXPECT_FALSE(reg.deleteKey(RegRoot::CurrentUser, parent)) << "missing key";
    EXPECT_FALSE(reg.keyExists(RegRoot::CurrentUser, parent));

    // replaceValues: the old values go, the new ones come in their order.
    ASSERT_TRUE(reg.setString(RegRoot::CurrentUser, parent, q("old"), q("x")));
    ASSERT_TRUE(reg.replaceValues(
        RegRoot::CurrentUser, parent,
        {{q("n2"), RegValue::string(QString())}, {q("n1"), RegValue::number(7)}}));
    EXPECT_EQ(reg.valueNames(RegRoot::CurrentUser, parent), QStringList({q("n2"), q("n1")}));
}

TEST(RegistryFile, handWrittenFileIsReadLeniently_andWhatIsNotUnderstoodSurvivesAWrite) {
    TempDir dir;
    const std::string file = dir.file("registry.reg");
    writeFile(file, "\xEF\xBB\xBFREGEDIT4\r\n"
                    "; kept comment\r\n"
                    "\r\n"
                    "[HKEY_USERS\\.DEFAULT\\Software\\Korvalo\\2.0]\r\n"
                    "\"First\"=\"1\"\r\n"
                    "this line is broken\r\n"
                    "\"IePath\"=\"C:\\Program Files\\browser.exe\"\r\n"
                    "\"Bin\"=hex:01,02,\\\r\n"
                    "  03,04\r\n"
                    "\"Num\"=dword:0000002A\r\n"
                    "\"Bad\"=dword:xyz\r\n"
                    "\"Open\"=\"no end\r\n"
                    "\"Raw\"=\"\xFF\xFE\"\r\n"
                    "\r\n"
                    "[HKEY_CLASSES_ROOT\\.kvl]\r\n"
                    "@=\"other root\"\r\n"
                    "\r\n"
                    "[hkey_users\\.default\\software\\korvalo\\2.0]\r\n"
                    "\"First\"=\"again\"\r\n");
    RegistryFile reg(QString::fromStdString(file));

    // The key written twice is one key, the later line winning.
    EXPECT_EQ(textOf(reg, RegRoot::Users, kKey, q("First")), q("again"));
    // An unknown escape is kept, so an unescaped Windows path reads as meant.
    EXPECT_EQ(textOf(reg, RegRoot::Users, kKey, q("IePath")), q("C:\\Program Files\\browser.exe"));
    EXPECT_EQ(reg.value(RegRoot::Users, kKey, q("Num")), RegValue::number(42));
    ASSERT_TRUE(reg.value(RegRoot::Users, kKey, q("Bin")));
    EXPECT_EQ(reg.value(RegRoot::Users, kKey, q("Bin"))->type, RegValue::Other);
    EXPECT_FALSE(reg.value(RegRoot::Users, kKey, q("Bad")));
    EXPECT_FALSE(reg.value(RegRoot::Users, kKey, q("Open")));
    EXPECT_FALSE(reg.value(RegRoot::Users, kKey, q("Raw"))) << "not UTF-8";
    EXPECT_EQ(reg.valueNames(RegRoot::Users, kKey),
              QStringList({q("First"), q("IePath"), q("Bin"), q("Num")}));

    ASSERT_TRUE(reg.setString(RegRoot::Users, kKey, q("New"), q("n")));
    const std::string after = readFile(file);
    for (const char* kept :
         {"; kept comment\n", "this line is broken\n", "\"Bin\"=hex:01,02,\\\n  03,04\n",
          "\"Bad\"=dword:xyz\n", "\"Open\"=\"no end\n", "\"Raw\"=\"\xFF\xFE\"\n",
          "[HKEY_CLASSES_ROOT\\.kvl]\n@=\"other root\"\n",
          "\"IePath\"=\"C:\\Program Files\\browser.exe\"\n"})
        EXPECT_NE(after.find(kept), std::string::npos) << "lost: " << kept << "\nin:\n" << after;
    EXPECT_EQ(textOf(reg, RegRoot::Users, kKey, q("First")), q("again"));
    EXPECT_EQ(reg.value(RegRoot::Users, kKey, q("Num")), RegValue::number(42));
    EXPECT_EQ(reg.valueNames(RegRoot::Users, kKey).last(), q("New"));

    // A file of noise is an empty registry, and is kept all the same.
    writeFile(file, "\0\x01garbage\n[\n\"=\"\n@\n"s);
    EXPECT_TRUE(reg.valueNames(RegRoot::Users, kKey).isEmpty());
    ASSERT_TRUE(reg.setString(RegRoot::Users, kKey, q("First"), q("1")));
    EXPECT_NE(readFile(file).find("garbage"), std::string::npos);
    EXPECT_EQ(textOf(reg, RegRoot::Users, kKey, q("First")), q("1"));
}

// Only hex data continues a value over its backslash: a blank line or a key
// header after it starts afresh, so a key written next reads back.
TEST(RegistryFile, aValueEndingInABackslashDoesNotSwallowTheLinesAfterIt) {
    TempDir dir;
    const std::string file = dir.file("registry.reg");
    writeFile(file, "REGEDIT4\n\n[HKEY_USERS\\A]\n\"Bin\"=hex:01,\\\n\n"
                    "[HKEY_USERS\\B]\n\"Kept\"=\"k\"\n\"Odd\"=hex:02,\\\n\"Next\"=\"n\"\n"
                    "\"Last\"=hex:03,\\\n");
    RegistryFile reg(QString::fromStdString(file));
    EXPECT_EQ(textOf(reg, RegRoot::Users, q("B"), q("Kept")), q("k"));
    EXPECT_EQ(textOf(reg, RegRoot::Users, q("B"), q("Next")), q("n"));
    ASSERT_TRUE(reg.setString(RegRoot::Users, q("C"), q("New"), q("v")));
    EXPECT_EQ(textOf(reg, RegRoot::Users, q("C"), q("New")), q("v"));
    EXPECT_NE(readFile(file).find("\"Bin\"=hex:01,\\\n"), std::string::npos);
}

TEST(RegistryFile, twoCopiesWritingAtOnceLoseNothing) {
    TempDir dir;
    const QString path = QString::fromStdString(dir.file("registry.reg"));
    constexpr int kEach = 25;
    // Each thread has its own RegistryFile, as two running programs would;
    // flock serialises separately opened lock files within one process too.
    auto writer = [&](const QString& prefix) {
        RegistryFile reg(path);
        for (int i = 0; i < kEach; ++i)
            reg.setString(RegRoot::Users, kKey, prefix + QString::number(i), QString::number(i));
    };
    std::thread a(writer, q("a"));
    std::thread b(writer, q("b"));
    a.join();
    b.join();

    const RegistryFile reg(path);
    const QStringList names = reg.valueNames(RegRoot::Users, kKey);
    EXPECT_EQ(names.size(), 2 * kEach);
    for (int i = 0; i < kEach; ++i) {
        EXPECT_EQ(textOf(reg, RegRoot::Users, kKey, q("a") + QString::number(i)),
                  QString::number(i));
        EXPECT_EQ(textOf(reg, RegRoot::Users, kKey, q("b") + QString::number(i)),
                  QString::number(i));
    }
    EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files).size(), 2)
        << "only the registry and its lock file: no temporary file left behind";
}

TEST(RegistryFile, aMissingFileIsEmpty_anUnreadableOneIsNeverReplaced) {
    TempDir dir;
    // Missing: reads are empty; the first write makes the folder and the file.
    RegistryFile fresh(QString::fromStdString(dir.file("a/b/registry.reg")));
    EXPECT_FALSE(fresh.keyExists(RegRoot::Users, kKey));
    ASSERT_TRUE(fresh.setString(RegRoot::Users, kKey, q("First"), q("1")));
    EXPECT_TRUE(fileExists(dir.file("a/b/registry.reg")));

    // The path is a folder: nothing can be read and every change fails.
    const std::string folder = dir.file("folder.reg");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    RegistryFile onFolder(QString::fromStdString(folder));
    EXPECT_FALSE(onFolder.value(RegRoot::Users, kKey, q("First")));
    EXPECT_FALSE(onFolder.createKey(RegRoot::Users, kKey));
    EXPECT_FALSE(onFolder.setString(RegRoot::Users, kKey, q("First"), q("1")));
    EXPECT_FALSE(onFolder.replaceValues(RegRoot::Users, kKey, {}));

    // Its folder is a file: nowhere to write.
    writeFile(dir.file("plain"), "x");
    RegistryFile underFile(QString::fromStdString(dir.file("plain/registry.reg")));
    EXPECT_FALSE(underFile.setString(RegRoot::Users, kKey, q("First"), q("1")));
    EXPECT_EQ(readFile(dir.file("plain")), "x");
}

TEST(RegistryFile, defaultPathFollowsXdgConfigHome) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");

    qputenv("XDG_CONFIG_HOME", "/tmp/cfg");
    EXPECT_EQ(RegistryFile::defaultPath(), q("/tmp/cfg/korvalo/registry.reg"));
    const QString home = QDir::homePath() + q("/.config/korvalo/registry.reg");
    qputenv("XDG_CONFIG_HOME", "");
    EXPECT_EQ(RegistryFile::defaultPath(), home);
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegistryFile::defaultPath(), home);

    if (wasSet)
        qputenv("XDG_CONFIG_HOME", saved);
}

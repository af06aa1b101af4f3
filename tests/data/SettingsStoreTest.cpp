#include "data/SettingsStore.h"
#include "data/TypedHistory.h"
#include "platform/RegistryFile.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace korvalo;
using korvalo::test::readFile;
using korvalo::test::TempDir;
using korvalo::test::writeFile;

namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

const QString kKey = q(".DEFAULT\\Software\\Korvalo\\2.0");
const QString kPlatformBrowser = q("/opt/browser/bin/browser");
const QString kPlatformFavorites = q("/home/someone/Favorites");

class SettingsTest : public ::testing::Test {
protected:
    QString file(const char* name) const { return QString::fromStdString(dir.file(name)); }

    void set(const char* name, const char* text) {
        ASSERT_TRUE(reg.setString(RegRoot::Users, kKey, q(name), q(text)));
    }
    void setAsDword(const char* name) {
        ASSERT_TRUE(reg.setDword(RegRoot::Users, kKey, q(name), 1));
    }
    void setPlatformValues() {
        ASSERT_TRUE(reg.setString(RegRoot::LocalMachine,
                                  q("Software\\Microsoft\\Windows\\CurrentVersion\\App "
                                    "Paths\\IEXPLORE.EXE"),
                                  QString(), kPlatformBrowser));
        ASSERT_TRUE(reg.setString(
            RegRoot::Users,
            q(".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"),
            q("Favorites"), kPlatformFavorites));
    }
    // Each case of a table starts from an empty registry.
    void clear() { QFile::remove(reg.path()); }
    QStringList names() const { return reg.valueNames(RegRoot::Users, kKey); }

    TempDir dir;
    RegistryFile reg{file("registry.reg")};
    SettingsStore store{reg};
};

QString xdgOpenOnPath() {
    return QStandardPaths::findExecutable(q("xdg-open"));
}

} // namespace

TEST_F(SettingsTest, firstRunWritesFourValuesInOrder_andTheNextStartReadsThem) {
    setPlatformValues();
    const StartupSettings first = LoadStartupSettings(store, true);
    EXPECT_EQ(first.firstRunMarker, QString()) << "stays empty for the whole first run";
    EXPECT_EQ(first.browserPath, kPlatformBrowser);
    EXPECT_EQ(first.favoritesFolder, kPlatformFavorites);
    EXPECT_EQ(first.banerNo, 1);
    EXPECT_TRUE(first.startWithSystemTicked);
    EXPECT_TRUE(first.minimEnabled);
    EXPECT_FALSE(first.minimTicked);
    EXPECT_EQ(names(), QStringList({q("First"), q("IePath"), q("FavoritesPath"), q("BanerNo")}));
    EXPECT_EQ(store.ReadSetting(q("First")), q("1"));
    EXPECT_EQ(store.ReadSetting(q("IePath")), kPlatformBrowser);
    EXPECT_EQ(store.ReadSetting(q("FavoritesPath")), kPlatformFavorites);
    EXPECT_EQ(store.ReadSetting(q("BanerNo")), q("1"));

    const StartupSettings second = LoadStartupSettings(store, false);
    EXPECT_EQ(second.firstRunMarker, q("1"));
    EXPECT_EQ(second.browserPath, kPlatformBrowser);
    EXPECT_EQ(second.favoritesFolder, kPlatformFavorites);
    EXPECT_FALSE(second.startWithSystemTicked);
    EXPECT_FALSE(second.minimEnabled);
    EXPECT_EQ(names().size(), 4) << "a later start writes nothing new";

    // No display values yet: the design font and colours.
    const DisplaySettings display = LoadDisplaySettings(store);
    EXPECT_FALSE(display.fontName);
    EXPECT_EQ(display.colors.listText, 0x00000000u);
    EXPECT_EQ(display.colors.listBack, 0x00FFFFFFu);
    EXPECT_EQ(display.colors.headText, 0x00FFFFFFu);
    EXPECT_EQ(display.colors.headBack, 12615808u);
}

TEST_F(SettingsTest, withoutPlatformValuesTheBrowserIsXdgOpenOnPathAndFavoritesAreInHome) {
    const QByteArray savedPath = qgetenv("PATH");
    const QString bin = file("bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    QFile fake(bin + q("/xdg-open"));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.close();
    fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", QFile::encodeName(bin));

    // A platform value of the wrong type is no value at all.
    ASSERT_TRUE(reg.setDword(RegRoot::LocalMachine,
                             q("Software\\Microsoft\\Windows\\CurrentVersion\\App "
                               "Paths\\IEXPLORE.EXE"),
                             QString(), 1));
    const StartupSettings s = LoadStartupSettings(store, false);
    EXPECT_EQ(s.browserPath, bin + q("/xdg-open"));
    EXPECT_EQ(s.favoritesFolder, QDir::homePath() + q("/Favorites"));
    EXPECT_EQ(store.ReadSetting(q("IePath")), bin + q("/xdg-open"));

    // Nothing on PATH: the browser path is empty, and so is what is written.
    clear();
    qputenv("PATH", QFile::encodeName(file("nothing-here")));
    EXPECT_EQ(LoadStartupSettings(store, false).browserPath, QString());
    EXPECT_EQ(store.ReadSetting(q("IePath")), QString());
    EXPECT_EQ(names().size(), 4);

    qputenv("PATH", savedPath);
}

TEST_F(SettingsTest, laterRunFillsEmptyPathsFromThePlatform_writingBackOnlyTheFavorites) {
    setPlatformValues();
    set("First", "1");
    set("IePath", "");
    set("FavoritesPath", "");
    set("BanerNo", "7");
    set("Minim", "1");
    const StartupSettings s = LoadStartupSettings(store, false);
    EXPECT_EQ(s.firstRunMarker, q("1"));
    EXPECT_EQ(s.browserPath, kPlatformBrowser);
    EXPECT_EQ(s.favoritesFolder, kPlatformFavorites);
    EXPECT_EQ(s.banerNo, 7);
    EXPECT_EQ(s.minimiseFlag, q("1"));
    EXPECT_TRUE(s.minimTicked);
    EXPECT_TRUE(s.minimEnabled);
    EXPECT_FALSE(s.startWithSystemTicked);
    EXPECT_EQ(store.ReadSetting(q("IePath")), QString()) << "waits for the next options Save";
    EXPECT_EQ(store.ReadSetting(q("FavoritesPath")), kPlatformFavorites);
}

TEST_F(SettingsTest, startupLoadEndsAtItsFirstFailure) {
    auto later = [&](const char* baner, const char* minim) {
        setPlatformValues();
        set("First", "1");
        set("IePath", "");
        set("FavoritesPath", "");
        set("BanerNo", baner);
        set("Minim", minim);
    };
    auto expectStoppedInReads = [&](const StartupSettings& s) {
        EXPECT_EQ(s.browserPath, QString()) << "fallback applied";
        EXPECT_EQ(s.favoritesFolder, QString()) << "fallback applied";
        EXPECT_EQ(store.ReadSetting(q("FavoritesPath")), QString()) << "fallback written";
        EXPECT_EQ(s.minimiseFlag, QString());
        EXPECT_FALSE(s.startWithSystemTicked);
        EXPECT_FALSE(s.minimTicked);
        EXPECT_FALSE(s.minimEnabled);
    };

    {
        SCOPED_TRACE("First stored as a dword: nothing is read or written");
        setPlatformValues();
        setAsDword("First");
        const StartupSettings s = LoadStartupSettings(store, true);
        EXPECT_EQ(s.firstRunMarker, QString());
        expectStoppedInReads(s);
        EXPECT_EQ(names(), QStringList{q("First")});
    }
    for (const char* bad : {"", "x1", " 3", "0x10", "4 ", "99999999999"}) {
        SCOPED_TRACE(std::string("BanerNo \"") + bad + "\"");
        clear();
        later(bad, "1");
        const StartupSettings s = LoadStartupSettings(store, true);
        EXPECT_EQ(s.firstRunMarker, q("1"));
        EXPECT_EQ(s.banerNo, 1);
        expectStoppedInReads(s);
    }
    {
        SCOPED_TRACE("BanerNo absent on a later start reads as empty");
        clear();
        later("2", "1");
        ASSERT_TRUE(reg.deleteValue(RegRoot::Users, kKey, q("BanerNo")));
        expectStoppedInReads(LoadStartupSettings(store, true));
    }
    {
        SCOPED_TRACE("Minim stored as a dword: BanerNo is read, nothing after");
        clear();
        later("-5", "1");
        setAsDword("Minim");
        const StartupSettings s = LoadStartupSettings(store, true);
        EXPECT_EQ(s.banerNo, -5);
        expectStoppedInReads(s);
    }
    {
        SCOPED_TRACE("IePath stored as a dword: FavoritesPath is not even read");
        clear();
        later("2", "1");
        set("FavoritesPath", "/f");
        setAsDword("IePath");
        const StartupSettings s = LoadStartupSettings(store, true);
        EXPECT_EQ(s.favoritesFolder, QString());
        EXPECT_EQ(s.banerNo, 1);
        EXPECT_FALSE(s.startWithSystemTicked);
    }
}

TEST_F(SettingsTest, aRegistryThatCannotBeWrittenBehavesAsAFirstRunAndStopsAtTheFirstWrite) {
    {
        SCOPED_TRACE("the registry path is a folder: nothing can be read or written");
        const QString folder = file("folder.reg");
        ASSERT_TRUE(QDir().mkpath(folder));
        RegistryFile onFolder(folder);
        SettingsStore broken(onFolder);
        const StartupSettings s = LoadStartupSettings(broken, true);
        EXPECT_EQ(s.firstRunMarker, QString());
        EXPECT_EQ(s.browserPath, xdgOpenOnPath());
        EXPECT_EQ(s.favoritesFolder, QDir::homePath() + q("/Favorites"));
        EXPECT_EQ(s.banerNo, 1);
        EXPECT_FALSE(s.startWithSystemTicked) << "the block ended at the write of First";
        EXPECT_FALSE(s.minimEnabled);
        EXPECT_FALSE(broken.WriteSetting(q("Task"), q("1")));
        EXPECT_FALSE(LoadDisplaySettings(broken).fontName);
        EXPECT_TRUE(QFileInfo(folder).isDir());
    }
    // A folder where the lock file belongs lets reads through but refuses
    // every write, like a registry that refuses to store a value.
    ASSERT_TRUE(QDir().mkpath(reg.path() + q(".lock")));
    {
        SCOPED_TRACE("first run whose first write is refused");
        const StartupSettings s = LoadStartupSettings(store, true);
        EXPECT_EQ(s.firstRunMarker, QString());
        EXPECT_FALSE(s.startWithSystemTicked);
        EXPECT_TRUE(names().isEmpty());
    }
    {
        SCOPED_TRACE("later run whose write-back of the favourites folder is refused");
        QDir(reg.path() + q(".lock")).removeRecursively();
        setPlatformValues();
        set("First", "1");
        set("IePath", "/b");
        set("FavoritesPath", "");
        set("BanerNo", "3");
        set("Minim", "1");
        const std::string before = readFile(reg.path().toStdString());
        ASSERT_TRUE(QFile::remove(reg.path() + q(".lock")));
        ASSERT_TRUE(QDir().mkpath(reg.path() + q(".lock")));
        const StartupSettings s = LoadStartupSettings(store, true);
        EXPECT_EQ(s.browserPath, q("/b"));
        EXPECT_EQ(s.favoritesFolder, kPlatformFavorites) << "kept in memory";
        EXPECT_EQ(s.banerNo, 3);
        EXPECT_EQ(s.minimiseFlag, q("1"));
        EXPECT_FALSE(s.minimTicked);
        EXPECT_FALSE(s.startWithSystemTicked);
        EXPECT_EQ(readFile(reg.path().toStdString()), before);
    }
}

TEST_F(SettingsTest, displayLoadReadsStoredValues_andEndsAtItsFirstFailure) {
    auto storeAll = [&] {
        set("FontName", "Noto Naskh Arabic");
        set("FontSize", "12");
        set("FontBlod", "1");
        set("FontItalic", "yes");
        set("TabelTextColor", "000000FF");
        set("TabelBackColor", "80000005");
        set("TabelHeadTextColor", "0000FF00");
        set("TabelHeadBackColor", "00ff0000");
    };
    const DisplayColors design;
    {
        storeAll();
        const DisplaySettings d = LoadDisplaySettings(store);
        EXPECT_EQ(d.fontName, q("Noto Naskh Arabic"));
        EXPECT_EQ(d.fontSize, q("12"));
        EXPECT_EQ(d.bold, true);
        EXPECT_EQ(d.italic, false) << "anything but \"1\" is clear";
        EXPECT_EQ(d.colors.listText, 0x000000FFu);
        EXPECT_EQ(d.colors.listBack, 0x80000005u) << "a system colour reads back as itself";
        EXPECT_EQ(d.colors.headText, 0x0000FF00u);
        EXPECT_EQ(d.colors.headBack, 0x00FF0000u);
    }
    {
        SCOPED_TRACE("FontName present, TabelBackColor absent");
        ASSERT_TRUE(reg.deleteValue(RegRoot::Users, kKey, q("TabelBackColor")));
        const DisplaySettings d = LoadDisplaySettings(store);
        EXPECT_EQ(d.colors.listText, 0x000000FFu);
        EXPECT_EQ(d.colors.listBack, design.listBack);
        EXPECT_EQ(d.colors.headText, design.headText);
        EXPECT_EQ(d.colors.headBack, design.headBack);
    }
    {
        SCOPED_TRACE("a colour that is not hexadecimal");
        storeAll();
        set("TabelHeadTextColor", "00GG0000");
        const DisplaySettings d = LoadDisplaySettings(store);
        EXPECT_EQ(d.colors.listBack, 0x80000005u);
        EXPECT_EQ(d.colors.headText, design.headText);
        EXPECT_EQ(d.colors.headBack, design.headBack);
    }
    {
        SCOPED_TRACE("FontSize stored as a dword");
        storeAll();
        setAsDword("FontSize");
        const DisplaySettings d = LoadDisplaySettings(store);
        EXPECT_EQ(d.fontName, q("Noto Naskh Arabic"));
        EXPECT_FALSE(d.fontSize);
        EXPECT_FALSE(d.bold);
        EXPECT_EQ(d.colors.listText, design.listText);
    }
    {
        SCOPED_TRACE("FontName empty: nothing else is read");
        storeAll();
        set("FontName", "");
        const DisplaySettings d = LoadDisplaySettings(store);
        EXPECT_FALSE(d.fontName);
        EXPECT_FALSE(d.bold);
        EXPECT_EQ(d.colors.listText, design.listText);
    }
}

TEST(ColorText, eightUpperCaseDigitsOut_anyHexFittingSixtyFourBitsIn) {
    EXPECT_EQ(ColorToText(0x00FFFFFF), q("00FFFFFF"));
    EXPECT_EQ(ColorToText(0), q("00000000"));
    EXPECT_EQ(ColorToText(12615808), q("00C08080"));
    EXPECT_EQ(ColorToText(0x80000005), q("80000005"));
    for (uint32_t c : {0u, 0x00C08080u, 0x80000005u, 0xFFFFFFFFu})
        EXPECT_EQ(TextToColor(ColorToText(c)), c);

    EXPECT_EQ(TextToColor(q("c08080")), 0x00C08080u);
    EXPECT_EQ(TextToColor(q("123456789ABCDEF0")), 0x9ABCDEF0u) << "low 32 bits kept";
    EXPECT_EQ(TextToColor(q("0000123456789ABCDEF0")), 0x9ABCDEF0u) << "leading zeros";
    for (const char* bad : {"", "0x00FF", "-1", " 00FF", "00FF ", "G", "123456789ABCDEF01"})
        EXPECT_FALSE(TextToColor(q(bad))) << bad;
}

TEST(TypedHistory, theLatestEntryGoesFirstInOneListSharedThroughTheRegistry) {
    TempDir dir;
    const QString path = QString::fromStdString(dir.file("registry.reg"));
    RegistryFile reg(path);
    EXPECT_TRUE(loadTypedHistory(reg).isEmpty());

    QStringList list = rememberTypedEntry(reg, {}, q("علي"));
    list = rememberTypedEntry(reg, list, q("sara@example.com"));
    list = rememberTypedEntry(reg, list, q("علي"));
    EXPECT_EQ(list, QStringList({q("علي"), q("sara@example.com")}));
    list = rememberTypedEntry(reg, list, QString());
    EXPECT_EQ(list.size(), 2) << "an empty text changes nothing";

    // Another box, or the next start, sees the same list.
    RegistryFile other(path);
    EXPECT_EQ(loadTypedHistory(other), list);
    EXPECT_EQ(other.value(RegRoot::CurrentUser, q("\\Software\\Default"), q("علي")),
              RegValue::string(QString()));

    // Empty entries are dropped; failures are ignored.
    EXPECT_EQ(rememberTypedEntry(reg, {q(""), q("x"), q("")}, q("y")),
              QStringList({q("y"), q("x")}));
    RegistryFile onFolder(QString::fromStdString(dir.path()));
    EXPECT_EQ(rememberTypedEntry(onFolder, {q("a")}, q("b")), QStringList({q("b"), q("a")}));
    EXPECT_TRUE(loadTypedHistory(onFolder).isEmpty());
}

TEST(TypedHistory, atMostTwentyAreWritten_blankOnesCountWithoutBeingWritten) {
    TempDir dir;
    RegistryFile reg(QString::fromStdString(dir.file("registry.reg")));
    QStringList list;
    for (int i = 0; i < 25; ++i)
        list << q("e") + QString::number(i);
    list[3] = q("   ");

    const QStringList result = rememberTypedEntry(reg, list, q("new"));
    EXPECT_EQ(result.size(), 26) << "the box keeps every entry";
    QStringList written = result.mid(0, 20);
    written.removeAll(q("   "));
    EXPECT_EQ(loadTypedHistory(reg), written);
    EXPECT_EQ(written.size(), 19);
}

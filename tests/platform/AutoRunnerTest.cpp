#include "platform/TAutoRunner.h"

#include "platform/RegistryFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace korvalo;
using korvalo::test::fileExists;
using korvalo::test::readFile;
using korvalo::test::TempDir;
using korvalo::test::writeFile;

namespace {

const QString kApp = QStringLiteral("MyApplication");
const QString kExe = QStringLiteral("/opt/korvalo/korvalo");

class AutoRunnerTest : public ::testing::Test {
protected:
    QString file(const char* name) const { return QString::fromStdString(dir.file(name)); }
    QString autostart() const { return file("config/autostart"); }
    std::string desktopFile() const { return dir.file("config/autostart/korvalo.desktop"); }

    std::optional<QString> runValue(RegRoot root) const {
        const auto v = registry.value(root, TAutoRunner::runKey(), kApp);
        return v ? std::optional<QString>(v->text) : std::nullopt;
    }

    TempDir dir;
    RegistryFile registry{file("config/korvalo/registry.reg")};
};

TEST_F(AutoRunnerTest, switchingOnWritesTheRunValueAndTheAutostartEntryAndOffRemovesBoth) {
    TAutoRunner runner(registry, kExe, autostart());
    EXPECT_FALSE(runner.AutoRun());
    EXPECT_EQ(runner.AppName, kApp);

    EXPECT_TRUE(runner.setAutoRun(true));
    EXPECT_TRUE(runner.AutoRun());
    EXPECT_EQ(runValue(RegRoot::CurrentUser), kExe);
    EXPECT_EQ(runValue(RegRoot::LocalMachine), std::nullopt);
    EXPECT_EQ(readFile(desktopFile()), "[Desktop Entry]\n"
                                       "Type=Application\n"
                                       "Version=1.0\n"
                                       "Name=Korvalo\n"
                                       "Exec=\"/opt/korvalo/korvalo\"\n"
                                       "Terminal=false\n"
                                       "X-GNOME-Autostart-enabled=true\n");

    // The next start finds it.
    TAutoRunner next(registry, kExe, autostart());
    EXPECT_TRUE(next.AutoRun());
    EXPECT_EQ(next.regLocation(), TAutoRunner::RegLocation::CurrentUser);

    // Off removes the value from both roots, wherever it was.
    ASSERT_TRUE(registry.setString(RegRoot::LocalMachine, TAutoRunner::runKey(), kApp, kExe));
    EXPECT_TRUE(next.setAutoRun(false));
    EXPECT_FALSE(next.AutoRun());
    EXPECT_EQ(runValue(RegRoot::CurrentUser), std::nullopt);
    EXPECT_EQ(runValue(RegRoot::LocalMachine), std::nullopt);
    EXPECT_FALSE(fileExists(desktopFile()));
    EXPECT_FALSE(TAutoRunner(registry, kExe, autostart()).AutoRun());
}

TEST_F(AutoRunnerTest, anEntryFoundOnlyUnderLocalMachineIsWrittenBackThere) {
    ASSERT_TRUE(registry.setString(RegRoot::LocalMachine, TAutoRunner::runKey(), kApp, kExe));
    TAutoRunner runner(registry, kExe, autostart());
    EXPECT_TRUE(runner.AutoRun());
    EXPECT_EQ(runner.regLocation(), TAutoRunner::RegLocation::LocalMachine);

    runner.setAutoRun(false);
    EXPECT_EQ(runValue(RegRoot::LocalMachine), std::nullopt);
    EXPECT_TRUE(runner.setAutoRun(true));
    EXPECT_EQ(runValue(RegRoot::LocalMachine), kExe);
    EXPECT_EQ(runValue(RegRoot::CurrentUser), std::nullopt);
    EXPECT_TRUE(fileExists(desktopFile()));
}

TEST_F(AutoRunnerTest, onlyAChangeOfStateWritesAnything) {
    // An entry pointing at an old path stays as it was.
    const QString old = QStringLiteral("/old/place/korvalo");
    ASSERT_TRUE(registry.setString(RegRoot::CurrentUser, TAutoRunner::runKey(), kApp, old));
    TAutoRunner runner(registry, kExe, autostart());
    EXPECT_TRUE(runner.setAutoRun(true));
    EXPECT_EQ(runValue(RegRoot::CurrentUser), old);
    EXPECT_FALSE(fileExists(desktopFile()));

    // Nor does switching off what is already off.
    runner.setAutoRun(false);
    EXPECT_EQ(runValue(RegRoot::CurrentUser), std::nullopt);
    ASSERT_TRUE(registry.setString(RegRoot::CurrentUser, TAutoRunner::runKey(), kApp, old));
    EXPECT_TRUE(runner.setAutoRun(false));
    EXPECT_EQ(runValue(RegRoot::CurrentUser), old);
}

TEST_F(AutoRunnerTest, execLineQuotesEveryAwkwardCharacter) {
    // Blank, double quote, dollar, backquote, percent, backslash, Arabic.
    const QString path = QString::fromUtf8("/home/u/my apps/\"k\"$x`y`100%\\z/كورفالو");
    const auto entry = TAutoRunner::desktopEntry(path);
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->contains(
        QString::fromUtf8("\nExec=\"/home/u/my apps/\\\\\"k\\\\\"\\\\$x\\\\`y\\\\`100%%"
                          "\\\\\\\\z/كورفالو\"\n")))
        << entry->toStdString();
    EXPECT_TRUE(TAutoRunner::desktopEntry(QStringLiteral("/a\tb"))
                    ->contains(QStringLiteral("Exec=\"/a\\tb\"\n")));

    // A control character has no spelling there: no entry rather than a broken one.
    EXPECT_FALSE(TAutoRunner::desktopEntry(QStringLiteral("/a\x01b")));
    TAutoRunner runner(registry, QStringLiteral("/a\x01b"), autostart());
    EXPECT_FALSE(runner.setAutoRun(true));
    EXPECT_TRUE(runner.AutoRun());
    EXPECT_FALSE(fileExists(desktopFile()));
}

TEST_F(AutoRunnerTest, failuresAreReportedOnlyByTheResultAndTheStateStaysSet) {
    // The autostart folder cannot be made: a file is in its way.
    writeFile(dir.file("blocker"), "x");
    TAutoRunner blocked(registry, kExe, file("blocker/autostart"));
    EXPECT_FALSE(blocked.setAutoRun(true));
    EXPECT_TRUE(blocked.AutoRun());
    EXPECT_EQ(runValue(RegRoot::CurrentUser), kExe) << "the registry half still happens";

    // The registry cannot be written; the autostart half still happens.
    RegistryFile broken(file("blocker/registry.reg"));
    TAutoRunner runner(broken, kExe, autostart());
    EXPECT_FALSE(runner.AutoRun());
    EXPECT_FALSE(runner.setAutoRun(true));
    EXPECT_TRUE(runner.AutoRun());
    EXPECT_TRUE(fileExists(desktopFile()));
    EXPECT_TRUE(runner.setAutoRun(false));
    EXPECT_FALSE(fileExists(desktopFile()));
}

} // namespace

#include "browser/CommandLine.h"
#include "browser/Execute.h"
#include "support/TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <thread>
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

QStringList list(std::initializer_list<const char*> items) {
    QStringList result;
    for (const char* item : items)
        result.append(QString::fromUtf8(item));
    return result;
}

void writeExecutable(const std::string& path, const std::string& content) {
    writeFile(path, content);
    ::chmod(path.c_str(), 0755);
}

struct SplitCase {
    const char* text;
    QStringList expected;
};

void expectArguments(const std::vector<SplitCase>& cases) {
    for (const SplitCase& c : cases)
        EXPECT_EQ(splitArguments(QString::fromUtf8(c.text)), c.expected) << "text: " << c.text;
}

class ScopedPath {
public:
    explicit ScopedPath(const std::string& value) {
        if (const char* old = std::getenv("PATH"))
            old_ = old;
        ::setenv("PATH", value.c_str(), 1);
    }
    ~ScopedPath() {
        if (old_)
            ::setenv("PATH", old_->c_str(), 1);
        else
            ::unsetenv("PATH");
    }

private:
    std::optional<std::string> old_;
};

// Waits for a file another process writes, up to a generous deadline.
bool waitForFile(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fileExists(path)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// The state letter and parent of a process, or nothing once it is gone.
std::optional<std::pair<QString, QString>> processState(const QString& pid) {
    const std::string stat = readFile("/proc/" + pid.toStdString() + "/stat");
    // pid (comm) state ppid ...: comm may hold blanks, so read after the last ')'.
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    const QStringList fields = q(stat.substr(close + 2)).split(u' ');
    if (fields.size() < 2)
        return std::nullopt;
    return std::make_pair(fields[0], fields[1]);
}

// Processes whose parent is this one and that have exited unreaped.
int zombieChildren() {
    int zombies = 0;
    const QString self = QString::number(::getpid());
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const auto state = processState(entry);
        if (state && state->first == u"Z" && state->second == self)
            ++zombies;
    }
    return zombies;
}

// Waits until a process has exited: gone, or a zombie of whoever its parent is.
bool waitForExit(pid_t pid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (;;) {
        const auto state = processState(QString::number(pid));
        if (!state || state->first == u"Z")
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// A stand-in browser: records each argument on its own line, its session id
// and whether descriptor 50 was inherited, then renames the record into place
// so that its appearance means it is complete.
class FakeBrowser {
public:
    explicit FakeBrowser(const std::string& path = {})
        : path_(path.empty() ? dir_.file("browser") : path) {
        writeExecutable(path_, "#!/bin/sh\n"
                               "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                   record() +
                                   ".tmp'\n"
                                   "cut -d' ' -f6 /proc/$$/stat > '" +
                                   dir_.file("session") +
                                   "'\n"
                                   "if [ -e /proc/$$/fd/50 ]; then : > '" +
                                   dir_.file("inherited") +
                                   "'; fi\n"
                                   "mv '" +
                                   record() + ".tmp' '" + record() + "'\n");
    }

    QString path() const { return q(path_); }
    std::string record() const { return dir_.file("args"); }
    const TempDir& dir() const { return dir_; }
    pid_t lastProcess() const { return lastProcess_; }

    // Opens the address and returns the arguments the browser recorded.
    QStringList open(const QString& address) {
        ::unlink(record().c_str());
        const CommandResult result = OpenInBrowser(path(), address);
        lastProcess_ = result.processId;
        EXPECT_TRUE(result.started()) << result.errorText.toStdString();
        EXPECT_GT(result.processId, 0);
        if (!result.started() || !waitForFile(record())) {
            ADD_FAILURE() << "the browser recorded nothing for " << address.toStdString();
            return {};
        }
        QStringList lines = QString::fromUtf8(readFile(record())).split(u'\n');
        lines.removeLast(); // after the final line break
        return lines;
    }

private:
    TempDir dir_;
    std::string path_;
    pid_t lastProcess_ = 0;
};

} // namespace

TEST(CommandLineSplit, argumentsFollowTheRuntimeRules) {
    // Blanks.
    expectArguments({
        {"", {}},
        {" \t ", {}},
        {"a b", list({"a", "b"})},
        {"  a \t  b  ", list({"a", "b"})},
        {"http://x.com/?a=1&b=2;c", list({"http://x.com/?a=1&b=2;c"})},
        {"بحث عربي", list({"بحث", "عربي"})},
    });
    // Quotes group and vanish; "" makes an empty argument; an open quote runs on.
    expectArguments({
        {"\"a b\" c", list({"a b", "c"})},
        {"a\"b c\"d", list({"ab cd"})},
        {"a \"\" b", list({"a", "", "b"})},
        {"\"\"", list({""})},
        {"a\"\"b", list({"ab"})},
        {"\"open a  b", list({"open a  b"})},
        {"'single quotes' stay", list({"'single", "quotes'", "stay"})},
    });
    // Inside quotes "" is a literal quote and the quoted part goes on.
    expectArguments({
        {"\"a\"\"b\"", list({"a\"b"})},
        {"\"a\"\"b c\" d", list({"a\"b c", "d"})},
        {"\"\"\"\"", list({"\""})},
    });
    // Backslashes count only before a quote.
    expectArguments({
        {"a\\b \\\\server\\share", list({"a\\b", "\\\\server\\share"})},
        {"a\\\"b", list({"a\"b"})},                 // 1 + quote: literal quote
        {"a\\\\\\\"b", list({"a\\\"b"})},           // 3 + quote: one backslash, literal quote
        {"a\\\\\"b c\"", list({"a\\b c"})},         // 2 + quote: one backslash, quote opens
        {"\"a\\\\\" b", list({"a\\", "b"})},        // 2 + quote inside: quote closes
        {"\"C:\\dir\\\" x", list({"C:\\dir\" x"})}, // 1 + quote inside: stays open
        {"tail\\\\", list({"tail\\\\"})},
    });
}

TEST(CommandLineSplit, programIsTheQuotedPartOrTheFirstToken) {
    const std::vector<std::pair<const char*, CommandLine>> cases = {
        {"", {QString(), {}}},
        {"   ", {QString(), {}}},
        {"/no/such/prog a \"b c\"", {QStringLiteral("/no/such/prog"), list({"a", "b c"})}},
        {" \t/no/such/prog a", {QStringLiteral("/no/such/prog"), list({"a"})}},
        {"/no/such dir/prog a", {QStringLiteral("/no/such"), list({"dir/prog", "a"})}},
        {"\"/no/such dir/prog\" a \"b c\"",
         {QStringLiteral("/no/such dir/prog"), list({"a", "b c"})}},
        {"  \"/no/such dir/prog", {QStringLiteral("/no/such dir/prog"), {}}},
        // No backslash rules inside the program's quotes; the rest starts at once.
        {"\"/no/x\\\"y z", {QStringLiteral("/no/x\\"), list({"y", "z"})}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(splitCommandLine(QString::fromUtf8(text)), expected) << "line: " << text;
}

TEST(CommandLineSplit, unquotedPathWithBlanksTakesTheShortestExecutablePrefix) {
    TempDir dir;
    ASSERT_TRUE(QDir().mkpath(q(dir.file("my browser/bin"))));
    const std::string run = dir.file("my browser/bin/run");
    writeExecutable(run, "#!/bin/sh\n");
    const QString line = q(run) + QStringLiteral(" http://x.com a");

    EXPECT_EQ(splitCommandLine(line), (CommandLine{q(run), list({"http://x.com", "a"})}));
    EXPECT_EQ(splitCommandLine(q(run)), (CommandLine{q(run), {}}));

    // A shorter prefix counts only as an executable regular file.
    writeFile(dir.file("my"), "not a program");
    EXPECT_EQ(splitCommandLine(line).program, q(run));
    ASSERT_TRUE(QDir().mkpath(q(dir.file("my browser/bin/run x"))));
    EXPECT_EQ(splitCommandLine(line + QStringLiteral(" x")).program, q(run));
    ::chmod(dir.file("my").c_str(), 0755);
    EXPECT_EQ(splitCommandLine(line),
              (CommandLine{q(dir.file("my")), list({"browser/bin/run", "http://x.com", "a"})}));

    // A prefix may run on into what was meant as an argument.
    writeExecutable(dir.file("two words"), "#!/bin/sh\n");
    EXPECT_EQ(splitCommandLine(q(dir.file("two words z"))),
              (CommandLine{q(dir.file("two words")), list({"z"})}));
}

TEST(CommandLineSplit, bareNamesAreLookedUpInPath) {
    TempDir dir;
    writeExecutable(dir.file("fake browser"), "#!/bin/sh\n");
    writeFile(dir.file("plain"), "not a program");
    const ScopedPath path("/nonexistent:" + dir.path());

    EXPECT_TRUE(isExecutableFile(QStringLiteral("fake browser")));
    EXPECT_FALSE(isExecutableFile(QStringLiteral("plain")));
    EXPECT_EQ(splitCommandLine(QStringLiteral("fake browser http://x.com")),
              (CommandLine{QStringLiteral("fake browser"), list({"http://x.com"})}));
    EXPECT_EQ(splitCommandLine(QStringLiteral("fake other")),
              (CommandLine{QStringLiteral("fake"), list({"other"})}));
}

TEST(Launch, addressesReachTheBrowserAsPlainArgumentText) {
    FakeBrowser browser;
    const std::string pwned = browser.dir().file("PWNED");
    const QString p = q(pwned);

    EXPECT_EQ(browser.open(QStringLiteral("http://example.com/a?b=1&c=2")),
              list({"http://example.com/a?b=1&c=2"}));
    EXPECT_EQ(browser.open(QStringLiteral("x; touch ") + p + QStringLiteral(" ~")),
              (QStringList{QStringLiteral("x;"), QStringLiteral("touch"), p, QStringLiteral("~")}));
    EXPECT_EQ(browser.open(QStringLiteral("$(touch ") + p + u')'),
              (QStringList{QStringLiteral("$(touch"), p + u')'}));
    EXPECT_EQ(browser.open(u'`' + QStringLiteral("touch ") + p + u'`'),
              (QStringList{QStringLiteral("`touch"), p + u'`'}));
    EXPECT_EQ(browser.open(QStringLiteral("$HOME * | tee ") + p),
              (QStringList{QStringLiteral("$HOME"), QStringLiteral("*"), QStringLiteral("|"),
                           QStringLiteral("tee"), p}));
    EXPECT_EQ(browser.open(QStringLiteral("say \"a b\" \\\"c\\\"")), list({"say", "a b", "\"c\""}));
    EXPECT_EQ(browser.open(QString::fromUtf8("http://example.com/بحث?q=مواقع عربية")),
              list({"http://example.com/بحث?q=مواقع", "عربية"}));
    EXPECT_EQ(browser.open(QString()), QStringList());
    EXPECT_FALSE(fileExists(pwned));
}

TEST(Launch, browserPathWithBlanksIsFoundUnquoted) {
    TempDir dir;
    ASSERT_TRUE(QDir().mkpath(q(dir.file("Browser Dir"))));
    FakeBrowser browser(dir.file("Browser Dir/run it"));
    EXPECT_EQ(browser.open(QStringLiteral("http://x.com/a b")), list({"http://x.com/a", "b"}));
}

TEST(Launch, browserIsDetachedAndLeavesNoZombie) {
    FakeBrowser browser;
    // A descriptor without close-on-exec must not reach the browser.
    const int fd = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::dup2(fd, 50), 50);
    ::close(fd);

    EXPECT_EQ(browser.open(QStringLiteral("one")), list({"one"}));
    const pid_t first = browser.lastProcess();
    EXPECT_EQ(browser.open(QStringLiteral("one")), list({"one"}));
    EXPECT_NE(browser.lastProcess(), first);
    ::close(50);

    EXPECT_FALSE(fileExists(browser.dir().file("inherited")));
    const std::string session = readFile(browser.dir().file("session"));
    EXPECT_NE(session, std::to_string(::getsid(0)) + "\n") << "the browser shares our session";

    // Once the browser has exited, an unreaped child of ours would be a zombie.
    ASSERT_TRUE(waitForExit(first));
    ASSERT_TRUE(waitForExit(browser.lastProcess()));
    EXPECT_EQ(zombieChildren(), 0);
}

TEST(Launch, failedStartReportsTheErrorWithTheCommandLine) {
    TempDir dir;
    const QString missing = q(dir.file("missing/browser"));
    const CommandResult result = OpenInBrowser(missing, QStringLiteral("http://x.com"));
    EXPECT_FALSE(result.started());
    EXPECT_EQ(result.errorNumber, ENOENT);
    EXPECT_EQ(result.processId, 0);
    EXPECT_EQ(result.commandLine, missing + QStringLiteral(" http://x.com"));
    EXPECT_EQ(result.errorText, QString::fromLocal8Bit(std::strerror(ENOENT)));
    EXPECT_EQ(commandErrorText(result.commandLine, result.errorNumber),
              QStringLiteral("Trying to open \"") + missing +
                  QStringLiteral(" http://x.com\"\r\n") + result.errorText);
    EXPECT_EQ(QString::fromUtf16(kCommandErrorCaption), QStringLiteral("Error executing command"));
    // A number without a system text adds nothing after the line break.
    EXPECT_EQ(commandErrorText(QStringLiteral("b a"), 987654),
              QStringLiteral("Trying to open \"b a\"\r\n"));

    // Not executable, and a script with no interpreter line, which a shell
    // would run but the start must refuse.
    const std::string plain = dir.file("plain");
    writeFile(plain, "#!/bin/sh\n");
    EXPECT_EQ(OpenInBrowser(q(plain), QStringLiteral("x")).errorNumber, EACCES);
    const std::string noInterpreter = dir.file("nointerpreter");
    writeExecutable(noInterpreter, "touch '" + dir.file("PWNED") + "'\n");
    EXPECT_EQ(OpenInBrowser(q(noInterpreter), QStringLiteral("x")).errorNumber, ENOEXEC);
    {
        const ScopedPath path(dir.path());
        EXPECT_EQ(OpenInBrowser(QStringLiteral("nointerpreter"), QStringLiteral("x")).errorNumber,
                  ENOEXEC);
    }
    EXPECT_EQ(StartCommand(QString()).errorNumber, ENOENT);
    EXPECT_EQ(StartCommand(q(plain) + QChar(0) + u'x').errorNumber, EINVAL);
    EXPECT_FALSE(fileExists(dir.file("PWNED")));
}

TEST(Launch, emptyBrowserPathNeverRunsTheAddress) {
    FakeBrowser browser;
    for (const QString& path : {QString(), QStringLiteral(" \t")}) {
        const CommandResult result = OpenInBrowser(path, browser.path());
        EXPECT_EQ(result.errorNumber, ENOENT);
        EXPECT_EQ(result.commandLine, path + u' ' + browser.path());
        EXPECT_EQ(result.processId, 0);
    }
    EXPECT_FALSE(fileExists(browser.record()));
}

// A downloaded shortcut's address must not smuggle options to the browser;
// the browser path's own options still go through.
TEST(Launch, anAddressPartThatWouldBeAnOptionIsRefused) {
    FakeBrowser browser;
    const QString evil =
        QStringLiteral("--renderer-cmd-prefix=touch ") + q(browser.dir().file("PWNED"));
    for (const QString& address : {QStringLiteral("-x"), QStringLiteral("http://x/\t") + evil,
                                   QStringLiteral("http://x/ ") + evil, QStringLiteral("\"--y\""),
                                   QStringLiteral("a \t-b")}) {
        const CommandResult r = OpenInBrowser(browser.path(), address);
        EXPECT_FALSE(r.started()) << address.toStdString();
        EXPECT_TRUE(commandErrorText(r.commandLine, r.errorNumber).contains(u"option"))
            << commandErrorText(r.commandLine, r.errorNumber).toStdString();
    }
    EXPECT_FALSE(fileExists(browser.record()));

    FakeBrowser withOption(browser.dir().file("b2"));
    const CommandResult r = OpenInBrowser(withOption.path() + QStringLiteral(" --new-window"),
                                          QStringLiteral("http://x/a-b"));
    ASSERT_TRUE(r.started()) << r.errorText.toStdString();
    ASSERT_TRUE(waitForFile(withOption.record()));
    EXPECT_EQ(readFile(withOption.record()), "--new-window\nhttp://x/a-b\n");
}

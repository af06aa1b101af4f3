#include "platform/ProgramDirectory.h"
#include "support/TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace korvalo;

namespace {

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value)
        : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TEST(ProgramDirectory, homeOverridesAndTheExecutableFolderIsTheDefault) {
    test::TempDir dir;
    {
        ScopedEnv home("KORVALO_HOME", dir.file("portable"));
        EXPECT_EQ(resolveProgramDirectory(q(dir.path())), q(dir.file("portable/")));
    }
    ScopedEnv home("KORVALO_HOME", "");
    EXPECT_EQ(resolveProgramDirectory(q(dir.path())), q(dir.path() + "/"))
        << "a build folder runs on its own files";
}

TEST(ProgramDirectory, anInstalledCopyIsSeededIntoTheUserDataFolderWithoutOverwriting) {
    test::TempDir dir;
    ScopedEnv home("KORVALO_HOME", "");
    ScopedEnv data("XDG_DATA_HOME", dir.file("data"));
    QDir().mkpath(q(dir.file("prefix/bin")));
    QDir().mkpath(q(dir.file("prefix/share/korvalo")));
    test::writeFile(dir.file("prefix/share/korvalo/weburl.kvl"), "shipped sites");
    test::writeFile(dir.file("prefix/share/korvalo/cate.dat"), "shipped categories");

    // QStandardPaths' test mode moves the data folder; ask for it the same way.
    const QString resolved = resolveProgramDirectory(q(dir.file("prefix/bin")));
    ASSERT_TRUE(resolved.endsWith(QStringLiteral("/korvalo/")));
    const std::string folder = resolved.toStdString();
    EXPECT_EQ(test::readFile(folder + "weburl.kvl"), "shipped sites");
    EXPECT_EQ(test::readFile(folder + "cate.dat"), "shipped categories");

    test::writeFile(folder + "weburl.kvl", "the user's own sites");
    EXPECT_EQ(resolveProgramDirectory(q(dir.file("prefix/bin"))), resolved);
    EXPECT_EQ(test::readFile(folder + "weburl.kvl"), "the user's own sites");
    QDir(resolved).removeRecursively();
}

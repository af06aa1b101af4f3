#include "support/MainWindowFixture.h"

#include "support/Fixtures.h"

namespace korvalo::test {

void MainWindowFixture::SetUp() {
    news = cp("أخبار");
    writeCategories(dir.file("cate.dat"), {{news, 1, 1, 0, 0},
                                           {cp("رياضة"), 2, 1, 0, 0},
                                           {cp("محلية"), 3, 0, 1, 0},
                                           {"info", 4, 1, 0, 0}});
    const std::string arabic = cp("عربي");
    writeSites(dir.file("weburl.kvl"), {{"2.1", 4, "", "", 0, 0},
                                        {"http://one.example", 1, cp("الأول"), arabic, 0, 0},
                                        {"http://two.example", 2, "two", "E", 0, 0},
                                        {"http://eight.example", 2, "eight", "E", 0, 0},
                                        {"http://three.example", 1, "three", arabic, 0, 3},
                                        {"http://four.example", 2, "four", "E", 0, 0},
                                        {"http://five.example", 1, "five", "E", 1, 0},
                                        {"http://six.example", 2, "six", "E", 0, 0},
                                        {"2.2", 4, "", "", 0, 0},
                                        {"http://seven.example", 2, "seven", "E", 0, 0}});
    writeSites(dir.file("favorites.dat"), {{"http://fav.example", 2, "fav", "E", 1, 0}});
}

StartupEnvironment MainWindowFixture::environment(QSize screen) {
    StartupEnvironment env;
    env.programDir = QString::fromStdString(dir.path());
    env.registryPath = QString::fromStdString(dir.file("config/registry.reg"));
    env.screenSize = screen;
    // Every window of a test is its own first copy.
    env.instanceName = QStringLiteral("korvalo-test-") + QString::number(++instances_);
    env.instanceLockFolder = QString::fromStdString(dir.path());
    env.bannerFolder = QString::fromStdString(dir.file("cache/banners"));
    env.plainMessage = [this](const QString& text) { messages << text; };
    env.quit = [this](int status) { quitStatus = status; };
    return env;
}

std::unique_ptr<TForm1> MainWindowFixture::start(QSize screen) {
    auto form = std::make_unique<TForm1>(environment(screen));
    started = form->startUp();
    return form;
}

RegistryFile MainWindowFixture::registry() {
    return RegistryFile(QString::fromStdString(dir.file("config/registry.reg")));
}

void ShownWindowFixture::SetUp() {
    MainWindowFixture::SetUp();
    form = start();
    ASSERT_TRUE(started) << messages.join(QLatin1Char('|')).toStdString();
    form->show();
}

} // namespace korvalo::test

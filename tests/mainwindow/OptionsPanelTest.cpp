#include "mainwindow/OptionsPanel.h"
#include "data/Cp1256.h"
#include "data/SettingNames.h"
#include "data/SiteFile.h"
#include "mainwindow/BrowsePanel.h"
#include "platform/TAutoRunner.h"
#include "support/Fixtures.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"
#include "support/Wait.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/ColorPickerButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

using namespace korvalo;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::vector<std::string> passwordsIn(const std::string& path) {
    std::vector<std::string> out;
    for (const SiteRecord& r : test::readSites(path))
        if (r.Url == kPasswordUrl)
            out.push_back(r.Title);
    return out;
}

// Types into the password prompt before it is answered.
std::function<void(QDialog*)> typePassword(const QString& text, QString* found = nullptr) {
    return [text, found](QDialog* d) {
        auto* field = d->findChild<QLineEdit*>(QStringLiteral("Password"));
        if (found)
            *found = field->text();
        field->setText(text);
    };
}

// The main window on the fixture's folder, with the start-with-system entry
// kept in a folder of the test's own.
class OptionsFixture : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        savedXdg_ = qgetenv("XDG_CONFIG_HOME");
        xdgWasSet_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.file("xdg")));
    }
    void TearDown() override {
        EXPECT_EQ(test::pendingModalAnswers(), 0) << "a dialog the test expected never came";
        test::cancelModalAnswers();
        if (xdgWasSet_)
            qputenv("XDG_CONFIG_HOME", savedXdg_);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    void addPasswords(std::initializer_list<const char*> passwords) {
        const SiteFile sites(dir.path() + "/", "weburl.kvl");
        for (const char* p : passwords)
            ASSERT_TRUE(sites.appendSiteAllowingDuplicate({"pass", 0, p, "", 0, 0}).ok());
    }

    QString setting(const settings::Setting& s) {
        const auto v =
            registry().value(RegRoot::Users, settings::kSettingsKey.toString(), s.name.toString());
        return v ? v->text : QStringLiteral("<absent>");
    }
    std::string site() const { return dir.file("weburl.kvl"); }
    std::string desktopFile() const { return dir.file("xdg/autostart/korvalo.desktop"); }

    std::unique_ptr<TForm1> form;

private:
    QByteArray savedXdg_;
    bool xdgWasSet_ = false;
};

// The options panel of a shown main window on a folder without a password.
class OptionsPanelTest : public OptionsFixture {
protected:
    void SetUp() override {
        OptionsFixture::SetUp();
        form = start();
        ASSERT_TRUE(started);
        form->show();
        panel = form->Config_Panel;
        form->ShowPanel(panel);
    }

    void save() { panel->BitBtnWithColor8->click(); }
    void cancel() { panel->BitBtnWithColor9->click(); }
    bool backOnBrowsePanel() const { return form->Show_Panel->isVisible() && !panel->isVisible(); }

    OptionsPanel* panel = nullptr;
};

TEST_F(OptionsPanelTest, saveWritesTheValuesInOrderAndAppliesThem) {
    panel->Edit9->setText(QStringLiteral("/opt/web browser/run"));
    panel->Edit8->setText(QStringLiteral("/home/u/Favorites"));
    panel->FontSizeComboBox->setCurrentText(QStringLiteral("14"));
    panel->FontCheckBox1->setChecked(true);
    panel->ColorPickerButton1->setColor(0x00010203);
    panel->ColorPickerButton2->setColor(0x80000005);
    panel->ColorPickerButton3->setColor(0x00112233);
    panel->ColorPickerButton4->setColor(0x00CCDDEE);
    save();

    using namespace settings;
    const QStringList names =
        registry().valueNames(RegRoot::Users, settings::kSettingsKey.toString());
    EXPECT_EQ(names.mid(names.indexOf(QStringLiteral("FontName"))),
              (QStringList{"FontName", "FontSize", "FontBlod", "FontItalic", "TabelHeadTextColor",
                           "TabelHeadBackColor", "TabelTextColor", "TabelBackColor"}));
    EXPECT_FALSE(names.contains(QStringLiteral("Minim"))) << "start with the system is off";
    EXPECT_EQ(setting(IePath), QStringLiteral("/opt/web browser/run"));
    EXPECT_EQ(setting(FavoritesPath), QStringLiteral("/home/u/Favorites"));
    EXPECT_EQ(setting(FontName), panel->FontComboBox1->currentText());
    EXPECT_EQ(setting(FontSize), QStringLiteral("14"));
    EXPECT_EQ(setting(FontBlod), QStringLiteral("1"));
    EXPECT_EQ(setting(FontItalic), QStringLiteral("0"));
    EXPECT_EQ(setting(TabelHeadTextColor), QStringLiteral("00010203"));
    EXPECT_EQ(setting(TabelHeadBackColor), QStringLiteral("80000005"));
    EXPECT_EQ(setting(TabelTextColor), QStringLiteral("00112233"));
    EXPECT_EQ(setting(TabelBackColor), QStringLiteral("00CCDDEE"));

    // In memory for the next launch, applied to the lists, and back to browsing.
    EXPECT_EQ(form->state().browserPath, QStringLiteral("/opt/web browser/run"));
    EXPECT_EQ(form->Edit6->text(), form->state().browserPath) << "the hidden mirror follows";
    EXPECT_EQ(form->state().favoritesFolder, QStringLiteral("/home/u/Favorites"));
    EXPECT_EQ(form->Show_Panel->ListView1->palette().color(QPalette::Base),
              QColor(0xEE, 0xDD, 0xCC));
    EXPECT_TRUE(form->Show_Panel->ListView1->font().bold());
    EXPECT_EQ(form->Show_Panel->TreeView1->property("readingOrder").toInt(), Qt::LeftToRight);
    EXPECT_TRUE(backOnBrowsePanel());

    form->ShowPanel(panel);
    panel->ColorPickerButton4->setColor(0x00FFFFFF);
    save();
    EXPECT_EQ(form->Show_Panel->TreeView1->property("readingOrder").toInt(), Qt::RightToLeft);
}

TEST_F(OptionsPanelTest, startWithSystemAndMinimFollowTheStartUpBox) {
    const QString exe = QCoreApplication::applicationFilePath();
    auto runValue = [&](RegRoot root) {
        const auto v =
            registry().value(root, TAutoRunner::runKey(), QStringLiteral("MyApplication"));
        return v ? v->text : QString();
    };
    EXPECT_FALSE(panel->CheckBox2->isChecked());
    EXPECT_FALSE(panel->MinimCheck->isEnabled());
    QTest::mouseClick(panel->CheckBox2, Qt::LeftButton);
    EXPECT_TRUE(panel->MinimCheck->isEnabled());
    panel->MinimCheck->setChecked(true);
    save();
    EXPECT_EQ(setting(settings::Minim), QStringLiteral("1"));
    EXPECT_EQ(runValue(RegRoot::CurrentUser), exe);
    EXPECT_TRUE(test::fileExists(desktopFile()));
    EXPECT_TRUE(panel->autoRunner().AutoRun());

    // Off: the entry goes, Minim stays as it was although the box changed.
    form->ShowPanel(panel);
    QTest::mouseClick(panel->CheckBox2, Qt::LeftButton);
    EXPECT_FALSE(panel->MinimCheck->isEnabled());
    panel->MinimCheck->setChecked(false);
    save();
    EXPECT_EQ(setting(settings::Minim), QStringLiteral("1"));
    EXPECT_EQ(runValue(RegRoot::CurrentUser), QString());
    EXPECT_EQ(runValue(RegRoot::LocalMachine), QString());
    EXPECT_FALSE(test::fileExists(desktopFile()));
}

TEST_F(OptionsPanelTest, passwordRecordIsAddedOnceAndRemovedWithTheCount) {
    // No password: an empty, disabled, grey field with the box unticked.
    EXPECT_FALSE(panel->CheckPass->isChecked());
    EXPECT_FALSE(panel->PassEdit->isEnabled());
    EXPECT_TRUE(panel->PassEdit->text().isEmpty());
    EXPECT_EQ(panel->PassEdit->palette().color(QPalette::Base), QColor(0xC0, 0xC0, 0xC0));

    // Saving unticked without a record changes neither the file nor the count.
    const std::string before = test::readFile(site());
    save();
    EXPECT_EQ(test::readFile(site()), before);
    EXPECT_EQ(form->state().siteCount, 10);

    form->ShowPanel(panel);
    QTest::mouseClick(panel->CheckPass, Qt::LeftButton);
    EXPECT_TRUE(panel->PassEdit->isEnabled());
    panel->PassEdit->setText(QStringLiteral("secret"));
    EXPECT_EQ(panel->PassEdit->displayText(), QStringLiteral("******"));
    save();
    const auto sites = test::readSites(site());
    ASSERT_EQ(sites.size(), 11u);
    EXPECT_EQ(sites.back(), (SiteRecord{"pass", 0, "secret", "", 0, 0}));
    EXPECT_EQ(form->state().siteCount, 11) << "the count includes the password record";
    EXPECT_TRUE(form->Count_Label->text().endsWith(QStringLiteral(" 11")));

    // A second Save, with the same or another text, appends nothing.
    form->ShowPanel(panel);
    save();
    panel->PassEdit->setText(QStringLiteral("another"));
    save();
    EXPECT_EQ(passwordsIn(site()), std::vector<std::string>{"secret"});
    EXPECT_EQ(form->state().siteCount, 11);

    // Unticking removes it; so does an empty field.
    panel->CheckPass->setChecked(false);
    save();
    EXPECT_TRUE(passwordsIn(site()).empty());
    EXPECT_EQ(form->state().siteCount, 10);
    EXPECT_EQ(test::readFile(site()), before);
    addPasswords({"x"});
    panel->CheckPass->setChecked(true);
    panel->PassEdit->clear();
    save();
    EXPECT_TRUE(passwordsIn(site()).empty());
}

TEST_F(OptionsPanelTest, aPasswordTheSiteFileCannotHoldIsRefusedBeforeAnythingIsWritten) {
    const std::string registryBefore = test::readFile(registry().path().toStdString());
    const std::string siteBefore = test::readFile(site());
    panel->CheckPass->setChecked(true);
    panel->PassEdit->setText(u("كلمة密"));
    panel->Edit9->setText(QStringLiteral("/changed"));
    QString shown;
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    save();
    EXPECT_TRUE(shown.startsWith(u("كلمة السر تحتوي على الحرف \"密\""))) << shown.toStdString();
    EXPECT_EQ(test::readFile(registry().path().toStdString()), registryBefore);
    EXPECT_EQ(test::readFile(site()), siteBefore);
    EXPECT_TRUE(panel->isVisible());
}

TEST_F(OptionsPanelTest, saveStopsSilentlyWhenTheSiteFileCannotTakeThePassword) {
    ASSERT_TRUE(QFile::remove(QString::fromStdString(site())));
    panel->CheckPass->setChecked(true);
    panel->PassEdit->setText(QStringLiteral("secret"));
    panel->Edit9->setText(QStringLiteral("/new/browser"));
    const QColor listBack = form->Show_Panel->ListView1->palette().color(QPalette::Base);
    panel->ColorPickerButton4->setColor(0x00123456);
    save();
    EXPECT_EQ(setting(settings::IePath), QStringLiteral("/new/browser"));
    EXPECT_EQ(setting(settings::TabelBackColor), QStringLiteral("00123456"));
    EXPECT_EQ(form->Show_Panel->ListView1->palette().color(QPalette::Base), listBack)
        << "the display settings are not applied again";
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(test::fileExists(site())) << "no site file is made up";
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(OptionsPanelTest, cancelReadsTheStoredValuesAndThePasswordBack) {
    panel->Edit9->setText(QStringLiteral("/stored/browser"));
    save();
    form->ShowPanel(panel);

    panel->Edit9->setText(QStringLiteral("/typed/browser"));
    panel->CheckBox2->setChecked(true);
    panel->CheckPass->setChecked(true);
    panel->PassEdit->setText(QStringLiteral("pending"));
    panel->FontCheckBox2->setChecked(true);
    auto reg = registry();
    const QString key = settings::kSettingsKey.toString();
    ASSERT_TRUE(reg.setString(RegRoot::Users, key, QStringLiteral("BanerNo"), QStringLiteral("7")));
    ASSERT_TRUE(reg.setString(RegRoot::Users, key, QStringLiteral("Minim"), QStringLiteral("1")));
    cancel();
    EXPECT_EQ(panel->Edit9->text(), QStringLiteral("/stored/browser"));
    EXPECT_EQ(form->state().browserPath, QStringLiteral("/stored/browser"));
    EXPECT_FALSE(panel->CheckBox2->isChecked()) << "the entry was never switched on";
    EXPECT_FALSE(panel->MinimCheck->isEnabled());
    EXPECT_EQ(form->state().banerNo, 7);
    EXPECT_EQ(form->state().minimiseFlag, QStringLiteral("1"));
    EXPECT_TRUE(panel->PassEdit->text().isEmpty());
    EXPECT_FALSE(panel->CheckPass->isChecked());
    EXPECT_FALSE(panel->PassEdit->isEnabled());
    EXPECT_TRUE(panel->FontCheckBox2->isChecked()) << "font edits stay, unsaved";
    EXPECT_TRUE(backOnBrowsePanel());

    // A BanerNo that is no number ends the block: Minim is not read.
    ASSERT_TRUE(reg.setString(RegRoot::Users, key, QStringLiteral("BanerNo"), QStringLiteral("x")));
    ASSERT_TRUE(reg.setString(RegRoot::Users, key, QStringLiteral("Minim"), QStringLiteral("0")));
    // With two password records the field shows the later one.
    addPasswords({"first", "second"});
    cancel();
    EXPECT_EQ(form->state().banerNo, 7);
    EXPECT_EQ(form->state().minimiseFlag, QStringLiteral("1"));
    EXPECT_EQ(panel->PassEdit->text(), QStringLiteral("second"));
    EXPECT_TRUE(panel->CheckPass->isChecked());
    EXPECT_TRUE(panel->PassEdit->isEnabled());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(OptionsPanelTest, cancelWithTheSiteFileGoneEndsTheProgram) {
    ASSERT_TRUE(QFile::remove(QString::fromStdString(site())));
    cancel();
    EXPECT_EQ(messages, QStringList{u("weburl.kvl تعذر فتح الملف")});
    EXPECT_EQ(quitStatus, 1);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(OptionsPanelTest, sectionClicksShowOnePageWithItsTitleAndHint) {
    EXPECT_TRUE(panel->Startup_Panel->isVisible());
    EXPECT_EQ(panel->Label22->text(), u("بدء التشغيل"));
    const struct {
        const char* item;
        QWidget* page;
        const char* hint;
    } sections[] = {
        {"الخط", panel->Font_Panel, "حدد من هنا نوع الخط المفضل لديك"},
        {"الألوان", panel->Color_Panel, "حدد حسب اختيارك الالوان المطلوبة للعرض"},
        {"المتصفح", panel->Explorer_Panel, "حدد من هنا المتصفح وموقع مفضلة المتصفح"},
        {"بدء التشغيل", panel->Startup_Panel, "حدد من هنا اعدادات بدء تشغيل البرنامج"},
    };
    const QList<QWidget*> pages{panel->Startup_Panel, panel->Font_Panel, panel->Color_Panel,
                                panel->Explorer_Panel};
    for (const auto& s : sections) {
        const auto found = panel->TreeView3->findItems(u(s.item), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << s.item;
        const QRect r = panel->TreeView3->visualItemRect(found.first());
        QTest::mouseClick(panel->TreeView3->viewport(), Qt::LeftButton, {}, r.center());
        for (QWidget* p : pages)
            EXPECT_EQ(p->isVisible(), p == s.page)
                << s.item << " / " << p->objectName().toStdString();
        EXPECT_EQ(panel->Label22->text(), u(s.item));
        EXPECT_EQ(panel->Label23->text(), u(s.hint));
    }
    panel->ShowOptionsSection(nullptr); // no selection: nothing changes
    EXPECT_TRUE(panel->Startup_Panel->isVisible());
}

TEST_F(OptionsPanelTest, browseButtonOffersOnlyRunnableFilesInTheBrowsersFolder) {
    QDir(QString::fromStdString(dir.path())).mkdir(QStringLiteral("bin"));
    const QString bin = QString::fromStdString(dir.file("bin"));
    test::writeFile(dir.file("bin/mybrowser"), "#!/bin/sh\n");
    QFile::setPermissions(bin + QStringLiteral("/mybrowser"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    test::writeFile(dir.file("bin/notes.txt"), "text");
    panel->Edit9->setText(bin + QStringLiteral("/old-browser"));
    const QString stored = setting(settings::IePath);

    QString title, directory;
    QStringList listed;
    test::answerNextModal(QStringLiteral("Cancel"), [&](QDialog* d) {
        auto* dialog = qobject_cast<QFileDialog*>(d);
        ASSERT_TRUE(dialog);
        title = dialog->windowTitle();
        directory = dialog->directory().absolutePath();
        auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
        ASSERT_TRUE(view);
        EXPECT_TRUE(
            test::waitUntil([&] { return view->model()->rowCount(view->rootIndex()) > 0; }, 5000));
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
            listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
    });
    panel->BitBtnWithColor5->click();
    EXPECT_EQ(title, u("حدد المستكشف"));
    EXPECT_EQ(directory, bin);
    EXPECT_EQ(listed, QStringList{QStringLiteral("mybrowser")});
    // Choosing a file only fills the field (a one-line assignment); the
    // dialog's own Open button waits for its background folder model, which
    // an offscreen test cannot drive reliably.
    EXPECT_EQ(panel->Edit9->text(), bin + QStringLiteral("/old-browser"));
    EXPECT_EQ(setting(settings::IePath), stored) << "nothing is stored before Save";
}

// The start-up gate, run by showing the main window on a folder whose site
// file holds password records.
class PasswordGateTest : public OptionsFixture {};

TEST_F(PasswordGateTest, wrongLetterCaseIsRefusedAndTheExactPasswordLetsTheStartGoOn) {
    addPasswords({"secret"});
    form = start();
    ASSERT_TRUE(started);
    QString message, fieldOnRetry = QStringLiteral("<not shown>");
    test::answerNextModal(QStringLiteral("Button1"), typePassword(QStringLiteral("SECRET")));
    test::answerNextModal(u("تم"), test::recordMessage(message));
    test::answerNextModal(QStringLiteral("Button1"),
                          typePassword(QStringLiteral("secret"), &fieldOnRetry));
    form->show();
    EXPECT_EQ(message, u("عفواً كلمة السر خاطئة"));
    EXPECT_TRUE(fieldOnRetry.isEmpty()) << "the wrong text is cleared before asking again";
    EXPECT_EQ(quitStatus, -1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->state().currentCategoryName, Cp1256::toUnicode(news));
    // The options show the password as set.
    EXPECT_EQ(form->Config_Panel->PassEdit->text(), QStringLiteral("secret"));
    EXPECT_TRUE(form->Config_Panel->CheckPass->isChecked());
    EXPECT_TRUE(form->Config_Panel->PassEdit->isEnabled());
}

TEST_F(PasswordGateTest, cancelEndsTheProgramWithoutTheWindow) {
    addPasswords({"secret"});
    form = start();
    ASSERT_TRUE(started);
    test::answerNextModal(QStringLiteral("Button2"));
    form->show();
    EXPECT_EQ(quitStatus, 0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->state().currentCategoryName.isEmpty()) << "the start went no further";
}

} // namespace

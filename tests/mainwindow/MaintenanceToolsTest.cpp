#include "mainwindow/AddPanel.h"
#include "mainwindow/BrowsePanel.h"
#include "mainwindow/SiteListModel.h"
#include "search/ui/SearchPanel.h"
#include "support/Fixtures.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"
#include "support/Wait.h"
#include "widgets/ButtonWithColor.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <fstream>

using namespace korvalo;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class MaintenanceToolsTest : public test::MainWindowFixture {
protected:
    void TearDown() override {
        EXPECT_EQ(test::pendingModalAnswers(), 0) << "a dialog the test expected never came";
        test::cancelModalAnswers();
    }

    // A shown window in maintainer mode.
    std::unique_ptr<TForm1> startMaintaining() {
        auto form = start();
        EXPECT_TRUE(started);
        form->show();
        form->Add_Panel->Edit2->setText(AddPanel::maintainerCode());
        form->Add_Panel->BitBtnWithColor2->click();
        EXPECT_TRUE(form->Button13->isVisible());
        return form;
    }

    // Answers the next file dialog with a file, through its own button,
    // once the dialog's folder listing has come in and enabled it.
    void chooseFile(QDialogButtonBox::StandardButton button, const std::string& path,
                    std::function<void(QFileDialog*)> inspect = {}) {
        const QString text =
            button == QDialogButtonBox::Save ? QStringLiteral("Save") : QStringLiteral("Open");
        test::answerNextModal(text, [button, path, inspect](QDialog* d) {
            auto* dialog = qobject_cast<QFileDialog*>(d);
            ASSERT_NE(dialog, nullptr) << "not a file dialog";
            EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
            if (inspect)
                inspect(dialog);
            dialog->selectFile(QString::fromStdString(path));
            QPushButton* accept = dialog->findChild<QDialogButtonBox*>()->button(button);
            EXPECT_TRUE(test::waitUntil([accept] { return accept->isEnabled(); }));
        });
    }
};

} // namespace

TEST_F(MaintenanceToolsTest, newAsksBeforeReplacingAFileAndStartsAnAlmostEmptyDatabase) {
    auto form = startMaintaining();
    const std::string before = test::readFile(dir.file("weburl.kvl"));
    QString title;
    chooseFile(QDialogButtonBox::Save, dir.file("weburl.kvl"), [&](QFileDialog* d) {
        title = d->windowTitle();
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(d->nameFilters(), QStringList{QStringLiteral("Korvalo (*.kvl)")});
        EXPECT_EQ(d->defaultSuffix(), QStringLiteral("kvl"));
    });
    test::answerNextModal(QStringLiteral("No")); // Qt's own question
    test::answerNextModal(QStringLiteral("Cancel"));
    form->Button13->click();
    EXPECT_EQ(title, u("جديـد"));
    EXPECT_EQ(test::readFile(dir.file("weburl.kvl")), before);
    EXPECT_EQ(form->state().siteFileName, QStringLiteral("weburl.kvl"));

    // The extension is added; the one record is filed under the first main
    // category.
    chooseFile(QDialogButtonBox::Save, dir.file("fresh"));
    form->Button13->click();
    EXPECT_EQ(test::readSites(dir.file("fresh.kvl")),
              std::vector<SiteRecord>({{"2", 1, "", "", 0, 0}}));
    EXPECT_EQ(form->state().siteFileName, QStringLiteral("fresh.kvl"));
    EXPECT_EQ(form->Caption->text(), QStringLiteral("fresh.kvl"));
    EXPECT_EQ(form->Show_Panel->sites()->rowCount(), 0);
    EXPECT_EQ(form->Count_Label->text(), u("عدد المواقع المسجلة    1"));
}

TEST_F(MaintenanceToolsTest, openReadsAMillionSitesElsewhereWithTheBarAdvancingAndPainted) {
    // One site in twenty under category 1, written in large blocks.
    test::TempDir elsewhere;
    const std::string big = elsewhere.file("big.kvl");
    std::string block;
    for (int i = 0; i < 20; ++i)
        block +=
            test::encodeSites({{"http://b" + std::to_string(i), i == 0 ? 1 : 2, "b", "E", 0, 0}});
    {
        std::ofstream out(big, std::ios::binary);
        for (int i = 0; i < 50000; ++i)
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        ASSERT_TRUE(out.good());
    }
    auto form = startMaintaining();
    form->Search_Panel->Edit4->setText(QStringLiteral("two"));
    form->Search_Panel->BitBtnWithColor1->click();
    ASSERT_GT(form->Search_Panel->ListView2->model()->rowCount(), 0);

    // Every paint of the bar while the file is read, with its value.
    struct PaintLog : QObject {
        std::vector<int> values;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                values.push_back(static_cast<QProgressBar*>(watched)->value());
            return false;
        }
    } paints;
    form->ProgressBar1->installEventFilter(&paints);
    chooseFile(QDialogButtonBox::Open, big, [](QFileDialog* d) {
        EXPECT_EQ(d->windowTitle(), u("فتـــح"));
        EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFile);
    });
    form->Button12->click();

    EXPECT_EQ(form->Count_Label->text(), u("عدد المواقع المسجلة    1000000"));
    EXPECT_EQ(form->Show_Panel->sites()->rowCount(), 50000);
    EXPECT_EQ(form->Search_Panel->ListView2->model()->rowCount(), 0);
    EXPECT_EQ(form->Caption->toolTip(), QString::fromStdString(big));
    EXPECT_TRUE(form->Caption->text().endsWith(QStringLiteral("big.kvl")));
    EXPECT_FALSE(form->ProgressBar1->isVisible());
    // A step of 7 822 records: the bar is full after 100 of its 127 moves,
    // and painted at each.
    EXPECT_GE(paints.values.size(), 127u);
    ASSERT_FALSE(paints.values.empty());
    EXPECT_TRUE(std::is_sorted(paints.values.begin(), paints.values.end()));
    EXPECT_EQ(paints.values.back(), 100);
}

TEST_F(MaintenanceToolsTest, theVersionRecordNeedsADigitAsksForASiteAndShowsAtTheNextStart) {
    test::writeSites(dir.file("weburl.kvl"), {{"http://one.example", 1, "one", "E", 0, 0},
                                              {"http://two.example", 2, "two", "E", 0, 0}});
    auto form = startMaintaining();
    AddPanel* panel = form->Add_Panel;
    const std::string before = test::readFile(dir.file("weburl.kvl"));
    panel->Edit2->setText(u("الاصدار الثالث"));
    panel->ComboBox2->setCurrentIndex(panel->ComboBox2->findText(QStringLiteral("info")));
    panel->Edit3->setText(QStringLiteral("3.0"));
    panel->Edit10->clear();
    test::answerNextModal(u("تم"));
    panel->Button2->click();
    EXPECT_EQ(test::readFile(dir.file("weburl.kvl")), before) << "no mark, no record";

    panel->Edit10->setText(QStringLiteral("0"));
    QString asked;
    test::answerNextModal(u("الغاء"), test::recordMessage(asked));
    panel->Button2->click();
    EXPECT_TRUE(asked.contains(QStringLiteral("http://one.example"))) << asked.toStdString();
    EXPECT_EQ(test::readFile(dir.file("weburl.kvl")), before);
    test::answerNextModal(u("موافق"));
    panel->Button2->click();
    const auto sites = test::readSites(dir.file("weburl.kvl"));
    ASSERT_EQ(sites.size(), 2u);
    EXPECT_EQ(sites[0], (SiteRecord{"3.0", 4, test::cp("الاصدار الثالث"), test::cp("عربي"), 0, 0}));
    EXPECT_TRUE(panel->Edit2->text().isEmpty());

    auto next = start();
    ASSERT_TRUE(started);
    EXPECT_EQ(next->Caption->text(), u("الاصدار 3.0"));
}

TEST_F(MaintenanceToolsTest, theConversionButtonsRefuseWhatWouldRuinTheDirectory) {
    auto form = startMaintaining();
    const std::string sites = test::readFile(dir.file("weburl.kvl"));
    const std::string categories = test::readFile(dir.file("cate.dat"));
    // The site file holds current records already.
    QString shown;
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    form->Button14->click();
    EXPECT_FALSE(shown.isEmpty());
    // Every category would take another id, and sites use them all.
    test::answerNextModal(u("الغاء"), test::recordMessage(shown));
    form->Button11->click();
    EXPECT_TRUE(shown.startsWith(u("يوجد عناوين"))) << shown.toStdString();
    EXPECT_EQ(test::readFile(dir.file("weburl.kvl")), sites);
    EXPECT_EQ(test::readFile(dir.file("cate.dat")), categories);
}

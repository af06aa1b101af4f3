#include "mainwindow/AddPanel.h"
#include "mainwindow/BrowsePanel.h"
#include "mainwindow/SiteListModel.h"
#include "mainwindow/TAddForm1.h"
#include "support/Fixtures.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>

#include <sys/stat.h>

using namespace korvalo;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class SiteActionsTest : public test::ShownWindowFixture {
protected:
    void SetUp() override {
        ShownWindowFixture::SetUp();
        panel = form->Show_Panel;
    }
    void TearDown() override {
        EXPECT_EQ(test::pendingModalAnswers(), 0) << "a dialog the test expected never came";
        test::cancelModalAnswers();
    }

    void select(std::initializer_list<int> rows) {
        panel->ListView1->clearSelection();
        for (int r : rows)
            panel->ListView1->selectionModel()->select(panel->sites()->index(r, 0),
                                                       QItemSelectionModel::Select |
                                                           QItemSelectionModel::Rows);
    }

    // Triggers an item of the list's context menu, found by its text.
    void trigger(const QString& text) {
        Q_EMIT panel->ListView1->customContextMenuRequested(QPoint(5, 5));
        ASSERT_NE(panel->PopupMenu1, nullptr);
        panel->PopupMenu1->hide();
        std::function<QAction*(QMenu*)> find = [&](QMenu* m) -> QAction* {
            for (QAction* a : m->actions()) {
                if (a->text() == text)
                    return a;
                if (a->menu())
                    if (QAction* inner = find(a->menu()))
                        return inner;
            }
            return nullptr;
        };
        QAction* action = find(panel->PopupMenu1);
        ASSERT_NE(action, nullptr) << text.toStdString();
        action->trigger();
    }

    QStringList listedUrls() const {
        QStringList urls;
        for (int i = 0; i < panel->sites()->rowCount(); ++i)
            urls << panel->sites()->url(i);
        return urls;
    }

    BrowsePanel* panel = nullptr;
};

} // namespace

TEST_F(SiteActionsTest, deleteAsksAboutTheLastSelectedRowAndRemovesOnlyIt) {
    ASSERT_EQ(listedUrls().size(), 3);
    const std::string before = test::readFile(dir.file("weburl.kvl"));
    select({0, 2});
    QString question;
    test::answerNextModal(u("الغاء"), [&](QDialog* d) {
        question = d->findChild<QLabel*>(QStringLiteral("Label1"))->text();
    });
    trigger(u("حـــذف"));
    EXPECT_EQ(question, u("سيتم حذف العنوان \nhttp://five.example\n هل تريد الاستمرار ؟"));
    EXPECT_EQ(test::readFile(dir.file("weburl.kvl")), before) << "declined: nothing changes";

    test::answerNextModal(u("موافق"));
    trigger(u("حـــذف"));
    const auto sites = test::readSites(dir.file("weburl.kvl"));
    ASSERT_EQ(sites.size(), 9u);
    for (const SiteRecord& s : sites)
        EXPECT_NE(s.Url, "http://five.example");
    EXPECT_EQ(listedUrls(), (QStringList{QStringLiteral("http://one.example"),
                                         QStringLiteral("http://three.example")}));
    EXPECT_EQ(form->Count_Label->text(), u("عدد المواقع المسجلة    9"));
}

TEST_F(SiteActionsTest, editMovesTheSiteToTheEndUnderItsNewCategoryAndCancelChangesNothing) {
    select({0});
    const std::string before = test::readFile(dir.file("weburl.kvl"));
    QString shownTitle, shownCategory;
    test::answerNextModal(QStringLiteral("Button2"), [&](QDialog* d) {
        auto* dialog = static_cast<TAddForm1*>(d);
        shownTitle = dialog->Edit1->text();
        shownCategory = dialog->ComboBox1->currentText();
        dialog->Edit1->setText(QStringLiteral("changed but cancelled"));
    });
    trigger(u("تعـديل"));
    EXPECT_EQ(shownTitle, u("الأول"));
    EXPECT_EQ(shownCategory, u("أخبار"));
    EXPECT_EQ(test::readFile(dir.file("weburl.kvl")), before);

    test::answerNextModal(QStringLiteral("Button1"), [&](QDialog* d) {
        auto* dialog = static_cast<TAddForm1*>(d);
        dialog->Edit1->setText(u("وصف جديد"));
        dialog->ComboBox1->setCurrentIndex(dialog->ComboBox1->findText(u("رياضة")));
    });
    trigger(u("تعـديل"));
    const auto sites = test::readSites(dir.file("weburl.kvl"));
    ASSERT_EQ(sites.size(), 10u);
    EXPECT_EQ(sites.back().Url, "http://one.example") << "an edited site moves to the end";
    EXPECT_EQ(sites.back().Title, test::cp("وصف جديد"));
    EXPECT_EQ(sites.back().CategoryId, 2);
    EXPECT_EQ(sites.back().SubCategoryId, 0);
    EXPECT_FALSE(listedUrls().contains(QStringLiteral("http://one.example")))
        << "the refilled list no longer shows it under its old category";
}

TEST_F(SiteActionsTest, anEditThatCannotBeStoredGoesBackToTheDialog) {
    select({1});
    const std::string before = test::readFile(dir.file("weburl.kvl"));
    QString message;
    test::answerNextModal(QStringLiteral("Button1"), [&](QDialog* d) {
        static_cast<TAddForm1*>(d)->Edit1->setText(u("وصف فيه 😀"));
    });
    test::answerNextModal(u("تم"), [&](QDialog* d) {
        message = d->findChild<QLabel*>(QStringLiteral("Label1"))->text();
    });
    test::answerNextModal(QStringLiteral("Button2"));
    trigger(u("تعـديل"));
    EXPECT_TRUE(message.contains(u("لا يمكن حفظه"))) << message.toStdString();
    EXPECT_EQ(test::readFile(dir.file("weburl.kvl")), before);
}

TEST_F(SiteActionsTest, theAddressGoesToTheClipboard) {
    select({2, 1});
    trigger(u("الحافظة"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("http://three.example"))
        << "every action but delete takes the first selected row";
}

TEST_F(SiteActionsTest, sendingToTheFavouritesListAndToTheBrowserFavourites) {
    select({1});
    const size_t before = test::readFile(dir.file("favorites.dat")).size();
    trigger(u("المفضلة"));
    EXPECT_EQ(test::readFile(dir.file("favorites.dat")).size(), before + kSiteRecordSize);

    const std::string folder = dir.file("Favorites");
    ::mkdir(folder.c_str(), 0755);
    form->state().favoritesFolder = QString::fromStdString(folder);
    QString message;
    auto record = [&](QDialog* d) {
        message = d->findChild<QLabel*>(QStringLiteral("Label1"))->text();
    };
    test::answerNextModal(u("تم"), record);
    trigger(u("مفضلة المتصفح"));
    EXPECT_EQ(message, u("تمت عملية نقل الموقع الى مفضلة المتصفح بنجاح"));
    EXPECT_NE(test::readFile(folder + "/three.URL").find("URL=http://three.example"),
              std::string::npos);

    // A description that cannot be a file name cannot become a shortcut.
    test::writeSites(dir.file("weburl.kvl"), {{"http://q.example", 1, "what?", "E", 0, 0}});
    form->Show_Panel->sites()->setRows({{"http://q.example", "E", "what?"}});
    select({0});
    test::answerNextModal(u("تم"), record);
    trigger(u("مفضلة المتصفح"));
    EXPECT_EQ(message, u("لم يتم نقل العنوان الى المفضلة لعدم وجود مساحة خالية"));
}

#include "mainwindow/AddPanel.h"
#include "data/CategoryFile.h"
#include "mainwindow/BrowsePanel.h"
#include "mainwindow/SiteListModel.h"
#include "support/Fixtures.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"
#include "support/Wait.h"
#include "widgets/ButtonWithColor.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>

using namespace korvalo;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class AddPanelTest : public test::ShownWindowFixture {
protected:
    void SetUp() override {
        ShownWindowFixture::SetUp();
        panel = form->Add_Panel;
        form->ShowPanel(panel);
    }
    void TearDown() override {
        EXPECT_EQ(test::pendingModalAnswers(), 0) << "a message the test expected never came";
        test::cancelModalAnswers();
    }

    void chooseCategory(const char* name) {
        panel->ComboBox2->setCurrentIndex(panel->ComboBox2->findText(u(name)));
        ASSERT_GE(panel->ComboBox2->currentIndex(), 0) << name;
    }

    QTreeWidgetItem* node(QTreeWidget* tree, const char* name) {
        const auto found = tree->findItems(u(name), Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    AddPanel* panel = nullptr;
};

} // namespace

TEST_F(AddPanelTest, addsASiteUnderASubCategoryAndRefusesTheSameAddressTwice) {
    EXPECT_EQ(panel->TabSet1->currentIndex(), AddPanel::kAddressTab);
    EXPECT_EQ(panel->Edit3->text(), QStringLiteral("http://www."));
    panel->Edit2->setText(u("موقع جديد"));
    chooseCategory("محلية");
    panel->ComboBox3->setEditText(QStringLiteral("ع/E"));
    const int rowsBefore = form->Show_Panel->sites()->rowCount();
    panel->BitBtnWithColor2->click();

    const auto sites = test::readSites(dir.file("weburl.kvl"));
    ASSERT_EQ(sites.size(), 11u);
    const SiteRecord& added = sites.back();
    EXPECT_EQ(added.Url, "http://www.") << "the address is not checked";
    EXPECT_EQ(added.CategoryId, 1) << "the main category of the sub-category";
    EXPECT_EQ(added.SubCategoryId, 3);
    EXPECT_EQ(added.Title, test::cp("موقع جديد"));
    EXPECT_EQ(added.Language, test::cp("ع/E"));
    EXPECT_EQ(added.UserMark, 1);
    EXPECT_EQ(form->Count_Label->text(), u("عدد المواقع المسجلة    11"));
    EXPECT_EQ(form->Show_Panel->sites()->rowCount(), rowsBefore + 1);
    EXPECT_TRUE(panel->Edit2->text().isEmpty());
    EXPECT_EQ(panel->ComboBox2->currentText(), u("محلية")) << "the choices stay";

    QString shown;
    panel->Edit2->setText(QStringLiteral("again"));
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    panel->BitBtnWithColor2->click();
    EXPECT_EQ(shown, u("العنوان المدخل موجود مسبقاً"));
    EXPECT_EQ(test::readSites(dir.file("weburl.kvl")).size(), 11u);
    EXPECT_EQ(panel->Edit2->text(), QStringLiteral("again")) << "the fields keep their text";
}

TEST_F(AddPanelTest, incompleteOrUnstorableInputIsRefusedBeforeAnythingIsWritten) {
    const std::string before = test::readFile(dir.file("weburl.kvl"));
    QString shown;
    chooseCategory("رياضة");
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    panel->BitBtnWithColor2->click();
    EXPECT_EQ(shown, u("يجب اكمال الخانات الفارغه"));

    panel->Edit2->setText(u("وصف فيه حرف עברי"));
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    panel->BitBtnWithColor2->click();
    EXPECT_TRUE(shown.contains(u("لا يمكن حفظه"))) << shown.toStdString();

    panel->Edit2->setText(QStringLiteral("ok"));
    panel->Edit3->setText(QStringLiteral("http://example.com/😀"));
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    panel->BitBtnWithColor2->click();
    EXPECT_TRUE(shown.startsWith(u("العنوان"))) << shown.toStdString();
    EXPECT_EQ(test::readFile(dir.file("weburl.kvl")), before);
}

TEST_F(AddPanelTest, theAccessCodeSwitchesMaintainerModeOnWithoutAddingASite) {
    const std::string before = test::readFile(dir.file("weburl.kvl"));
    panel->Edit2->setText(QStringLiteral("qentavrol"));
    EXPECT_FALSE(panel->Edit10->isVisible());
    panel->BitBtnWithColor2->click();
    EXPECT_EQ(test::readFile(dir.file("weburl.kvl")), before);
    EXPECT_TRUE(form->maintainerMode());
    EXPECT_TRUE(panel->Edit10->isVisible());
    EXPECT_TRUE(panel->Button2->isVisible());
    for (QPushButton* b : {form->Button11, form->Button12, form->Button13, form->Button14})
        EXPECT_TRUE(b->isVisible()) << b->objectName().toStdString();
    EXPECT_GE(panel->ComboBox2->findText(QStringLiteral("info")), 0);
    EXPECT_NE(node(form->Show_Panel->TreeView1, "info"), nullptr);
    EXPECT_EQ(panel->Edit2->text(), QStringLiteral("qentavrol"));

    // A new site takes the maintainer's mark; the next rebuild drops "info".
    panel->Edit10->setText(QStringLiteral("0"));
    panel->Edit2->setText(QStringLiteral("distributed"));
    chooseCategory("رياضة");
    panel->BitBtnWithColor2->click();
    EXPECT_EQ(test::readSites(dir.file("weburl.kvl")).back().UserMark, 0);
    form->BuildCategoryViews();
    EXPECT_LT(panel->ComboBox2->findText(QStringLiteral("info")), 0);
    EXPECT_TRUE(panel->Edit10->isVisible()) << "the controls stay";
}

TEST_F(AddPanelTest, addingCategoriesChecksTheLevelAndRefillsEveryView) {
    panel->showTab(AddPanel::kCategoryTab);
    EXPECT_TRUE(panel->Add_Cat->isVisible());
    EXPECT_EQ(panel->Label13->text(), u("اضافة موضوع"));
    EXPECT_EQ(panel->Label14->text(), u("يمكنك اضافة أو حذف أو تعديل  موضوع"));

    panel->Edit7->setText(u("فنون"));
    panel->BitBtnWithColor3->click();
    auto cats = test::readCategories(dir.file("cate.dat"));
    ASSERT_EQ(cats.size(), 5u);
    EXPECT_EQ(cats.back().Name, test::cp("فنون"));
    EXPECT_EQ(cats.back().Id, 5) << "largest Id plus one";
    EXPECT_EQ(cats.back().IsRoot, 1);
    EXPECT_TRUE(panel->Edit7->text().isEmpty());
    EXPECT_NE(node(form->Show_Panel->TreeView1, "فنون"), nullptr);
    EXPECT_GE(panel->ComboBox2->findText(u("فنون")), 0);

    QString shown;
    panel->subLevel->setChecked(true);
    panel->Edit7->setText(u("مسرح"));
    panel->TreeView2->clearSelection();
    panel->TreeView2->setCurrentItem(nullptr);
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    panel->BitBtnWithColor3->click();
    EXPECT_EQ(shown, u("لأضافة هذا الفرع يجب تحديد الجذر الرئيسي اولاً"));

    panel->TreeView2->setCurrentItem(node(panel->TreeView2, "محلية"));
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    panel->BitBtnWithColor3->click();
    EXPECT_EQ(shown, u("لا يمكنك اضافة فرع لفرع"));
    EXPECT_EQ(test::readCategories(dir.file("cate.dat")).size(), 5u);

    panel->TreeView2->setCurrentItem(node(panel->TreeView2, "فنون"));
    panel->BitBtnWithColor3->click();
    cats = test::readCategories(dir.file("cate.dat"));
    ASSERT_EQ(cats.size(), 6u);
    EXPECT_EQ(cats.back().IsRoot, 0);
    EXPECT_EQ(cats.back().ParentId, 5);
    QTreeWidgetItem* arts = node(form->Show_Panel->TreeView1, "فنون");
    ASSERT_NE(arts, nullptr);
    ASSERT_EQ(arts->childCount(), 1);
    EXPECT_EQ(arts->child(0)->text(0), u("مسرح"));
}

TEST_F(AddPanelTest, renamingThroughTheInPlaceEditorChangesTheFirstRecordOfTheName) {
    panel->showTab(AddPanel::kCategoryTab);
    QTreeWidget* tree = panel->TreeView2;
    tree->setCurrentItem(node(tree, "رياضة"));
    panel->BitBtnWithColor15->click();
    auto* editor = qobject_cast<QLineEdit*>(tree->indexWidget(tree->currentIndex()));
    ASSERT_NE(editor, nullptr) << "the button starts the in-place editor";
    editor->setText(u("الرياضة والألعاب"));
    panel->BitBtnWithColor15->click(); // pressing it again ends the edit

    EXPECT_EQ(messages, QStringList{u("الرياضة والألعاب")}) << "the new text is shown first";
    EXPECT_EQ(test::readCategories(dir.file("cate.dat"))[1].Name, test::cp("الرياضة والألعاب"));
    EXPECT_NE(node(form->Show_Panel->TreeView1, "الرياضة والألعاب"), nullptr);
    EXPECT_GE(panel->ComboBox2->findText(u("الرياضة والألعاب")), 0);

    // An empty name is refused and the old label comes back.
    const std::string before = test::readFile(dir.file("cate.dat"));
    tree->setCurrentItem(node(tree, "محلية"));
    panel->BitBtnWithColor15->click();
    editor = qobject_cast<QLineEdit*>(tree->indexWidget(tree->currentIndex()));
    ASSERT_NE(editor, nullptr);
    editor->clear();
    QString shown;
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    panel->BitBtnWithColor15->click();
    EXPECT_EQ(shown, u("لايمكنك ترك الموضوع فارغ"));
    EXPECT_EQ(test::readFile(dir.file("cate.dat")), before);
    EXPECT_NE(node(tree, "محلية"), nullptr);
}

TEST_F(AddPanelTest, deletingACategoryAsksTwiceAndRemovesItsSites) {
    panel->showTab(AddPanel::kCategoryTab);
    panel->TreeView2->setCurrentItem(node(panel->TreeView2, "رياضة"));

    // Declining the first question changes nothing.
    const std::string before = test::readFile(dir.file("cate.dat"));
    QString question;
    test::answerNextModal(u("الغاء"), test::recordMessage(question));
    panel->BitBtnWithColor13->click();
    EXPECT_EQ(question, u("سيتم حذف الموضوع \nرياضة\n هل تريد الاستمرار ؟"));
    EXPECT_EQ(test::readFile(dir.file("cate.dat")), before);

    QString second;
    test::answerNextModal(u("موافق"));
    test::answerNextModal(u("موافق"), test::recordMessage(second));
    panel->BitBtnWithColor13->click();
    EXPECT_EQ(second, u("يوجد عناوين تحت هذا الموضوع\n هل تريد الاستمرار ؟"));
    EXPECT_EQ(test::readCategories(dir.file("cate.dat")).size(), 3u);
    const auto sites = test::readSites(dir.file("weburl.kvl"));
    EXPECT_EQ(sites.size(), 5u) << "the five sport sites are gone";
    for (const SiteRecord& s : sites)
        EXPECT_NE(s.CategoryId, 2) << s.Url;
    EXPECT_EQ(form->Count_Label->text(), u("عدد المواقع المسجلة    5"));
    EXPECT_EQ(node(form->Show_Panel->TreeView1, "رياضة"), nullptr);
}

TEST_F(AddPanelTest, afterARebuildNoCategoryIsChosenSoAnAddWithoutOneIsRefused) {
    chooseCategory("رياضة");
    form->BuildCategoryViews();
    EXPECT_EQ(panel->ComboBox2->currentIndex(), -1);
    const std::string before = test::readFile(dir.file("weburl.kvl"));
    panel->Edit2->setText(QStringLiteral("no category"));
    QString shown;
    test::answerNextModal(u("تم"), test::recordMessage(shown));
    panel->BitBtnWithColor2->click();
    EXPECT_EQ(shown, u("يجب اكمال الخانات الفارغه"));
    EXPECT_EQ(test::readFile(dir.file("weburl.kvl")), before);
}

TEST_F(AddPanelTest, aRenameCancelledWithEscapeLeavesNothingBehind) {
    panel->showTab(AddPanel::kCategoryTab);
    QTreeWidget* tree = panel->TreeView2;
    tree->setCurrentItem(node(tree, "رياضة"));
    panel->BitBtnWithColor15->click();
    auto* editor = qobject_cast<QLineEdit*>(tree->indexWidget(tree->currentIndex()));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Escape);
    ASSERT_EQ(tree->indexWidget(tree->currentIndex()), nullptr) << "Escape closes the editor";

    // The next press starts a new edit instead of finishing the cancelled one.
    const std::string before = test::readFile(dir.file("cate.dat"));
    panel->BitBtnWithColor15->click();
    EXPECT_NE(tree->indexWidget(tree->currentIndex()), nullptr);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(test::readFile(dir.file("cate.dat")), before);
}

TEST_F(AddPanelTest, theTreesOwnLabelEditingRenamesToo) {
    panel->showTab(AddPanel::kCategoryTab);
    QTreeWidget* tree = panel->TreeView2;
    tree->setCurrentItem(node(tree, "رياضة"));
    QTest::keyClick(tree, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(tree->indexWidget(tree->currentIndex()));
    ASSERT_NE(editor, nullptr) << "F2 opens the in-place editor";
    editor->setText(u("ألعاب"));
    QTest::keyClick(editor, Qt::Key_Return); // the editor commits once back in the event loop
    EXPECT_TRUE(test::waitUntil([&] { return !messages.isEmpty(); }));
    EXPECT_EQ(messages, QStringList{u("ألعاب")});
    EXPECT_EQ(test::readCategories(dir.file("cate.dat"))[1].Name, test::cp("ألعاب"));
}

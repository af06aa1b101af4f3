#include "desktop/TMessageForm.h"
#include "mainwindow/AddPanel.h"
#include "mainwindow/OptionsPanel.h"
#include "search/ui/SearchPanel.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"
#include "widgets/ButtonWithColor.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>

using namespace korvalo;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class TrayTest : public test::ShownWindowFixture {
protected:
    void TearDown() override {
        EXPECT_EQ(test::pendingModalAnswers(), 0);
        test::cancelModalAnswers();
    }

    static QAction* find(QMenu* menu, const QString& text) {
        for (QAction* a : menu->actions()) {
            if (a->text() == text)
                return a;
            if (a->menu())
                if (QAction* inner = find(a->menu(), text))
                    return inner;
        }
        return nullptr;
    }
    QAction* item(QMenu* menu, const QString& text) {
        QAction* a = find(menu, text);
        if (!a)
            ADD_FAILURE() << "no tray item " << text.toStdString();
        return a;
    }

    QString settingTask() {
        const auto v =
            registry().value(RegRoot::Users, QStringLiteral(".DEFAULT\\Software\\Korvalo\\2.0"),
                             QStringLiteral("Task"));
        return v ? v->text : QString();
    }
};

} // namespace

TEST_F(TrayTest, theMenuHasItsItemsInOrderAndTheShowItemStartsDisabled) {
    QStringList texts;
    for (QAction* a : form->TrayMenu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(texts, (QStringList{u("إظهار النافذة"), QStringLiteral("-"), u("مواقع"), u("اضافة"),
                                  u("بحث"), u("المفضلة"), QStringLiteral("-"), u("خصائص"),
                                  QStringLiteral("-"), u("انهاء")}));
    EXPECT_FALSE(form->N1->isEnabled());
}

TEST_F(TrayTest, theMinimiseNoticeComesUntilItsBoxIsTicked) {
    // First minimise: the notice with its picture and box; left unticked.
    bool boxShown = false;
    test::answerNextModal(
        u("تم"), [&](QDialog*) { boxShown = TMessageForm::instance().CheckBox1->isVisible(); });
    form->BitBtnWithColor4->click();
    EXPECT_TRUE(boxShown);
    EXPECT_TRUE(form->N1->isEnabled());
    EXPECT_FALSE(TMessageForm::instance().CheckBox1->isVisible()) << "hidden again afterwards";
    EXPECT_TRUE(settingTask().isEmpty());

    // Second minimise: still shown; this time the box is ticked.
    form->N1->trigger();
    EXPECT_FALSE(form->N1->isEnabled());
    test::answerNextModal(u("تم"),
                          [](QDialog*) { TMessageForm::instance().CheckBox1->setChecked(true); });
    form->BitBtnWithColor4->click();
    EXPECT_EQ(settingTask(), QStringLiteral("1"));

    // From then on no notice.
    form->N1->trigger();
    form->BitBtnWithColor4->click();
    EXPECT_EQ(test::pendingModalAnswers(), 0);
    TMessageForm::instance().CheckBox1->setChecked(false);
}

TEST_F(TrayTest, itemsRestoreTheWindowAndShowTheirPanel) {
    form->ShowPanel(form->Config_Panel);
    form->Add_Panel->Edit7->setText(QStringLiteral("draft"));
    item(form->TrayMenu, u("موضوع"))->trigger();
    EXPECT_TRUE(form->Add_Panel->isVisible());
    EXPECT_TRUE(form->Add_Panel->Add_Cat->isVisible());
    EXPECT_TRUE(form->Add_Panel->Edit7->text().isEmpty());

    item(form->TrayMenu, u("عنوان"))->trigger();
    EXPECT_TRUE(form->Add_Panel->Add_Web->isVisible());
    item(form->TrayMenu, u("بحث"))->trigger();
    EXPECT_TRUE(form->Search_Panel->isVisible());
    EXPECT_FALSE(form->Config_Panel->isVisible());

    item(form->TrayMenu, u("انهاء"))->trigger();
    EXPECT_EQ(quitStatus, 0);
}

TEST_F(TrayTest, aSecondWindowOnTheSameGuardReportsTheRunningCopyAndStillStarts) {
    StartupEnvironment env = environment();
    env.instanceName = QStringLiteral("korvalo-test-1"); // the fixture's first window
    TForm1 second(env);
    EXPECT_TRUE(second.startUp());
    EXPECT_TRUE(messages.contains(u("البرنامج يعمل حالياً")));
}

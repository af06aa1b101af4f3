#include "browser/ui/BrowserFavoritesPanel.h"
#include "browser/ui/FavoritesPanel.h"
#include "desktop/THelpArt.h"
#include "mainwindow/AssistantMode.h"
#include "mainwindow/BackgroundArea.h"
#include "mainwindow/BrowsePanel.h"
#include "mainwindow/LitPicture.h"
#include "mainwindow/OptionsPanel.h"
#include "search/ui/SearchPanel.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"
#include "support/Wait.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <QToolButton>

using namespace korvalo;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Notes which panel is showing each time the assistant comes up, so a test
// can tell whether a control acted before its explanation.
class ShowWatch : public QObject {
public:
    ShowWatch(QWidget* assistant, TForm1& form)
        : form_(form) {
        assistant->installEventFilter(this);
    }
    QStringList panels;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            for (QWidget* p : std::initializer_list<QWidget*>{form_.Show_Panel, form_.Search_Panel,
                                                              form_.Config_Panel})
                if (p->isVisible())
                    panels << p->objectName();
        }
        return false;
    }

private:
    TForm1& form_;
};

class AssistantExplanationsTest : public test::ShownWindowFixture {
protected:
    void TearDown() override { test::cancelModalAnswers(); }

    THelpArt& art() { return *form->HelpArt; }
    bool explaining(const char* title) {
        return test::waitUntil(
            [&] { return art().isVisible() && art().L1->text() == QString::fromUtf8(title); },
            2000);
    }
    void clickToolbar(const char* name) {
        auto* lit = form->findChild<LitPicture*>(QString::fromLatin1(name) + u("_Image2"));
        ASSERT_NE(lit, nullptr) << name;
        lit->show();
        QTest::mouseClick(lit, Qt::LeftButton);
    }
    QStringList lines() {
        QStringList all;
        for (QLabel* l : {art().L3, art().L4, art().L5, art().L6, art().L7, art().L8, art().L9})
            all << l->text();
        return all;
    }
};

} // namespace

TEST_F(AssistantExplanationsTest, toolbarButtonsActAndExplainInTheirOrderOnlyWhileTheModeIsOn) {
    clickToolbar("Email");
    EXPECT_TRUE(form->Config_Panel->isVisible());
    EXPECT_FALSE(art().isVisible()) << "off, nothing is explained";

    // The greeting empties the lines an earlier explanation left.
    art().setText(u("x"), {u("1"), u("2"), u("3"), u("4"), u("5"), u("6"), u("7")});
    clickToolbar("Help");
    ASSERT_TRUE(form->assistantMode().isOn());
    ASSERT_TRUE(art().isVisible());
    EXPECT_EQ(art().pos(), QPoint(791, 496)) << "the corner of a 1024 by 768 screen";
    EXPECT_EQ(art().L1->text(), u("مرحباً "));
    EXPECT_EQ(lines(), (QStringList{u("انا مساعدك الشخصي"), u("أنقر على اي مكان تريد استفساراً عنه"),
                                    u(""), u(""), u(""), u(""), u("")}));

    ShowWatch watch(&art(), *form);
    clickToolbar("Search");
    EXPECT_TRUE(explaining("بحث"));
    EXPECT_EQ(lines().at(3), u("العنوان ام في وصف العنوان"));
    EXPECT_EQ(lines().at(4), u(""));
    clickToolbar("Email");
    EXPECT_TRUE(explaining("خصائص"));
    EXPECT_TRUE(form->Config_Panel->isVisible());
    EXPECT_EQ(watch.panels, (QStringList{u("Search_Panel"), u("Search_Panel")}))
        << "the search panel shows before its explanation, the options panel after its own";

    clickToolbar("Option");
    EXPECT_TRUE(explaining("تواصل"));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "the contact menu stays closed";
    // An answer stands ready in case the about window came up after all.
    test::answerNextModal(u("BitBtnWithColor4"));
    clickToolbar("About");
    EXPECT_TRUE(explaining("حول"));
    EXPECT_EQ(test::pendingModalAnswers(), 1) << "the about window must not open";
    test::cancelModalAnswers();

    clickToolbar("Help");
    EXPECT_FALSE(form->assistantMode().isOn());
    EXPECT_FALSE(art().isVisible());
    clickToolbar("Show");
    EXPECT_TRUE(form->Show_Panel->isVisible());
    EXPECT_FALSE(art().isVisible());
}

// A misspelt control name in the table leaves that control unexplained and,
// for a command, acting in the assistant mode.
TEST_F(AssistantExplanationsTest, everyControlOfTheTableIsExplainedByItsTitle) {
    form->switchMaintainerModeOn();
    form->assistantMode().setOn(true);
    enum Gesture { Click, DoubleClick, Slide };
    struct Case {
        const char* control;
        QWidget* panel;
        Gesture gesture;
        const char* title;
    };
    const Case cases[] = {
        {"ListView1", form->Show_Panel, Click, "العناوين"},
        {"ListView1", form->Show_Panel, DoubleClick, "العناوين"},
        {"TrackBar1", form->Favorites_Panel, Slide, "المفضلة"},
        {"Button1", form->Favorites_Panel, Click, "المفضلة"},
        {"Button3", form->Favorites_Panel, Click, "المفضلة"},
        {"Button7", form->Favorites_Panel, Click, "نقل مواقع الى مفضلة المتصفح"},
        {"Button4", form->Favorites_Panel, Click, "المفضلة"},
        {"BitBtnWithColor12", form->Ie_Fav_Panel, Click, "تحــديث"},
        {"BitBtn10", form->Ie_Fav_Panel, Click, "اضافة المواقع المحددة الى البرنامج"},
        {"BitBtnWithColor10", form->Ie_Fav_Panel, Click, "تحديد كلي"},
        {"Image4", nullptr, Click, "ابحث في الشبكة"},
        {"Ip_Label", nullptr, Click, "IP"},
        {"Button12", nullptr, Click, "فتح"},
        {"Button13", nullptr, Click, "جديد"},
        {"Favorites_Ie_Image2", nullptr, Click, "مفضلة المتصفح"},
        {"Add_Image2", nullptr, Click, "اضافة"},
        {"Favorites_Image2", nullptr, Click, "المفضلة"},
        {"Show_Image2", nullptr, Click, "مواقع"},
    };
    form->state().browserPath = QString::fromStdString(dir.file("no browser"));
    QSlider* slider = form->Favorites_Panel->TrackBar1;
    const int minutes = slider->value();
    for (const Case& c : cases) {
        if (c.panel)
            form->ShowPanel(c.panel);
        // The main window's own control: its dialogs reuse some names.
        QWidget* control = nullptr;
        for (QWidget* w : form->findChildren<QWidget*>(QString::fromLatin1(c.control)))
            if (w->window() == form.get())
                control = w;
        ASSERT_NE(control, nullptr) << c.control;
        control->show();
        auto* area = qobject_cast<QAbstractScrollArea*>(control);
        QWidget* target = area ? area->viewport() : control;
        art().hide();
        art().setText(QString(), {});
        // Should a command act after all (a question, a failed browser start),
        // its window has no such button: the answer fails the test.
        test::answerNextModal(u("no window may open"));
        if (c.gesture == Click)
            QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(4, 4));
        else if (c.gesture == DoubleClick)
            QTest::mouseDClick(target, Qt::LeftButton, {}, QPoint(4, 4));
        else
            QTest::keyClick(target, Qt::Key_Right);
        EXPECT_TRUE(explaining(c.title)) << c.control;
        test::cancelModalAnswers();
    }
    EXPECT_EQ(slider->value(), minutes) << "the timer's slider only explains";
}

TEST_F(AssistantExplanationsTest, theCloseButtonLeavesTheModeOnUntilTheNextHelp) {
    clickToolbar("Help");
    ASSERT_TRUE(art().isVisible());
    QTest::mouseClick(art().SpeedButton2, Qt::LeftButton);
    EXPECT_FALSE(art().isVisible());
    EXPECT_TRUE(form->assistantMode().isOn());

    // Moved away, it still comes back to its corner with the next explanation.
    art().move(10, 10);
    clickToolbar("Add");
    EXPECT_TRUE(explaining("اضافة"));
    EXPECT_EQ(art().pos(), QPoint(791, 496));
    art().close();
    QTest::mousePress(form->Image3, Qt::LeftButton, {}, QPoint(300, 100));
    QTest::mouseRelease(form->Image3, Qt::LeftButton, {}, QPoint(300, 100));
    EXPECT_TRUE(art().isVisible()) << "a click on the background brings it back";

    art().close();
    clickToolbar("Help");
    EXPECT_FALSE(form->assistantMode().isOn());
    EXPECT_FALSE(art().isVisible());
    QTest::mouseRelease(form->Image3, Qt::LeftButton, {}, QPoint(300, 100));
    EXPECT_FALSE(art().isVisible()) << "off, the background brings nothing back";
    clickToolbar("Help");
    EXPECT_TRUE(form->assistantMode().isOn());
    EXPECT_TRUE(art().isVisible());
}

#include "mainwindow/BackgroundArea.h"
#include "browser/ui/FavoritesPanel.h"
#include "mainwindow/AddPanel.h"
#include "mainwindow/BrowsePanel.h"
#include "mainwindow/LitPicture.h"
#include "mainwindow/OptionsPanel.h"
#include "support/MainWindowFixture.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/PlatformColor.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QTest>

using namespace korvalo;

namespace {

class NavigationShellTest : public test::ShownWindowFixture {
protected:
    template <typename W = QWidget> W* child(const char* name) {
        auto* w = form->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    void enter(QWidget* w) {
        QEnterEvent e(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
        QCoreApplication::sendEvent(w, &e);
    }

    void moveOverBackground(QPoint at) {
        QMouseEvent e(QEvent::MouseMove, at, form->Image3->mapToGlobal(at), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->Image3, &e);
    }
};

} // namespace

TEST_F(NavigationShellTest, hotZonesLightTheirPictureAndTheBackgroundPutsItOut) {
    auto* lit = child<LitPicture>("Add_Image2");
    EXPECT_FALSE(lit->isVisible());
    EXPECT_EQ(lit->geometry(), QRect(505, 16, 54, 47));
    EXPECT_FALSE(lit->pixmap().isNull()) << "the lit picture comes from the artwork";
    enter(child("Add_Image1"));
    EXPECT_TRUE(lit->isVisible());
    enter(child("Search_Image1"));
    EXPECT_TRUE(child("Search_Image2")->isVisible());

    form->Add_Panel->BitBtnWithColor2->setBackgroundColor(QColor(1, 2, 3));
    moveOverBackground({300, 100});
    EXPECT_FALSE(lit->isVisible());
    EXPECT_FALSE(child("Search_Image2")->isVisible());
    EXPECT_EQ(form->Add_Panel->BitBtnWithColor2->backgroundColor(),
              colorFromWord(ButtonWithColor::kRestingColor));
}

TEST_F(NavigationShellTest, toolbarClicksShowExactlyOnePanel) {
    auto shown = [this] {
        QStringList names;
        for (QWidget* p : std::initializer_list<QWidget*>{form->Show_Panel, form->Favorites_Panel,
                                                          form->Config_Panel, form->Add_Panel})
            if (p->isVisible())
                names << p->objectName();
        return names;
    };
    EXPECT_EQ(shown(), QStringList{QStringLiteral("Show_Panel")});
    const std::pair<const char*, const char*> clicks[] = {{"Add_Image2", "Add_Panel"},
                                                          {"Email_Image2", "Config_Panel"},
                                                          {"Favorites_Image2", "Favorites_Panel"},
                                                          {"Show_Image2", "Show_Panel"}};
    for (const auto& [picture, panel] : clicks) {
        auto* lit = child<LitPicture>(picture);
        lit->show();
        QTest::mouseClick(lit, Qt::LeftButton);
        EXPECT_EQ(shown(), QStringList{QString::fromLatin1(panel)}) << picture;
    }
}

TEST_F(NavigationShellTest, draggingTheBackgroundMovesTheWindowByTheSameAmount) {
    form->move(100, 100);
    const QPoint start = form->pos();
    QTest::mousePress(form->Image3, Qt::LeftButton, {}, QPoint(300, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(330, 110),
                     form->Image3->mapToGlobal(QPointF(330, 110)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(form->Image3, &move);
    EXPECT_EQ(form->pos(), start + QPoint(30, 10));
    QTest::mouseRelease(form->Image3, Qt::LeftButton, {}, QPoint(300, 100));
    moveOverBackground({350, 150});
    EXPECT_EQ(form->pos(), start + QPoint(30, 10)) << "no drag once the button is up";
}

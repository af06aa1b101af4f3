#include "mainwindow/AssistantMode.h"
#include "browser/ui/FavoritesPanel.h"
#include "mainwindow/BrowsePanel.h"
#include "mainwindow/LitPicture.h"
#include "mainwindow/OptionsPanel.h"
#include "mainwindow/SiteListModel.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"
#include "support/Wait.h"
#include "widgets/ButtonWithColor.h"

#include <QTest>

using namespace korvalo;

namespace {

using AssistantModeTest = test::ShownWindowFixture;

} // namespace

TEST_F(AssistantModeTest, theTableDecidesWhetherAClickActsAndWhenTheControlIsExplained) {
    using Mode = AssistantMode;
    AssistantMode& mode = form->assistantMode();
    QStringList explained;
    mode.add(QStringLiteral("Button4"), Mode::Trigger::Click, Mode::Order::ExplainOnly,
             [&] { explained << QStringLiteral("clear"); });
    mode.add(QStringLiteral("Email_Image2"), Mode::Trigger::Click, Mode::Order::ExplainThenAct,
             [&] {
                 explained << QString::fromLatin1(form->Config_Panel->isVisible() ? "options first"
                                                                                  : "options");
             });
    mode.add(QStringLiteral("Show_Image2"), Mode::Trigger::Click, Mode::Order::ActThenExplain, [&] {
        explained << QString::fromLatin1(form->Show_Panel->isVisible() ? "sites" : "sites first");
    });

    // Off, the command acts as ever: the clear asks its question.
    form->ShowPanel(form->Favorites_Panel);
    test::answerNextModal(QString::fromUtf8("الغاء"));
    QTest::mouseClick(form->Favorites_Panel->Button4, Qt::LeftButton);
    EXPECT_EQ(test::pendingModalAnswers(), 0);
    EXPECT_TRUE(explained.isEmpty());

    // On, it only explains; an answer stands ready in case the question came.
    mode.setOn(true);
    test::answerNextModal(QString::fromUtf8("الغاء"));
    QTest::mouseClick(form->Favorites_Panel->Button4, Qt::LeftButton);
    EXPECT_EQ(test::pendingModalAnswers(), 1) << "nothing may be asked";
    test::cancelModalAnswers();
    EXPECT_EQ(explained, QStringList{QStringLiteral("clear")});
    EXPECT_EQ(form->Favorites_Panel->favorites()->rowCount(), 1);

    for (const char* name : {"Email_Image2", "Show_Image2"}) {
        auto* lit = form->findChild<LitPicture*>(QString::fromLatin1(name));
        ASSERT_NE(lit, nullptr) << name;
        lit->show();
        QTest::mouseClick(lit, Qt::LeftButton);
    }
    EXPECT_TRUE(test::waitUntil([&] { return explained.size() == 3; }));
    EXPECT_EQ(explained, (QStringList{QStringLiteral("clear"), QStringLiteral("options"),
                                      QStringLiteral("sites")}));
    EXPECT_TRUE(form->Show_Panel->isVisible());
}

#include "desktop/TPasswordDlg.h"
#include "desktop/TSplash.h"
#include "mainwindow/LitPicture.h"
#include "support/Fixtures.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"
#include "support/Wait.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/PlatformColor.h"

#include <QDialog>
#include <QEnterEvent>
#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

using namespace korvalo;

namespace {

class SplashTest : public test::MainWindowFixture {
protected:
    void TearDown() override {
        EXPECT_EQ(test::pendingModalAnswers(), 0) << "a window the test expected never came";
        test::cancelModalAnswers();
        qputenv("KORVALO_SERVER", server_); // the closed port every test uses
    }
    std::string log() const { return dir.file("browser.log"); }

private:
    const QByteArray server_ = qgetenv("KORVALO_SERVER");
};

void enter(QWidget* w) {
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

// Start-up may sit in a password prompt, or in a long read: the splash goes
// at its time all the same.
TEST_F(SplashTest, theSplashClosesOnItsTimerWhileStartUpIsStillBusy) {
    test::writeSites(dir.file("weburl.kvl"), {{"http://one.example", 1, "one", "E", 0, 0},
                                              {"pass", 0, "secret", "", 0, 0}});
    TSplash splash(nullptr, 50);
    splash.showSplash();
    EXPECT_TRUE(splash.isVisible());
    EXPECT_FALSE(splash.BitBtnWithColor4->isVisibleTo(&splash));
    EXPECT_FALSE(splash.BitBtnWithColor1->isVisibleTo(&splash));

    bool closedDuringTheGate = false;
    test::answerNextModal(QStringLiteral("Button2"), [&](QDialog*) {
        closedDuringTheGate = test::waitUntil([&] { return !splash.isVisible(); }, 3000);
    });
    auto form = start();
    ASSERT_TRUE(started);
    form->show(); // the password prompt; cancelled, it ends the program
    EXPECT_TRUE(closedDuringTheGate);
    EXPECT_EQ(quitStatus, 0);
}

TEST_F(SplashTest, theAboutWindowOpensTwiceAndItsSiteButtonLeavesItOpen) {
    qputenv("KORVALO_SERVER", "http://127.0.0.1:8123/base/");
    auto form = start();
    ASSERT_TRUE(started);
    form->show();
    const std::string script = dir.file("fake browser");
    test::writeFile(script, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log() + "'\n");
    ::chmod(script.c_str(), 0755);
    form->state().browserPath = QString::fromStdString(script);

    auto* about = form->findChild<LitPicture*>(QStringLiteral("About_Image2"));
    ASSERT_NE(about, nullptr);
    for (int opening = 1; opening <= 2; ++opening) {
        test::answerNextModal(QStringLiteral("BitBtnWithColor4"), [&](QDialog* d) {
            auto* w = qobject_cast<TSplash*>(d);
            ASSERT_NE(w, nullptr) << d->objectName().toStdString();
            EXPECT_EQ(w->Label1->text(), QStringLiteral("Build 1702b - 11/2003"));
            EXPECT_TRUE(w->Panel2->isVisible());
            EXPECT_FALSE(w->Image1->pixmap().isNull());
            EXPECT_FALSE(w->Timer1->isActive());
            EXPECT_EQ(w->BitBtnWithColor1->text(), QStringLiteral("127.0.0.1:8123/"));

            enter(w->BitBtnWithColor1);
            EXPECT_EQ(w->BitBtnWithColor1->backgroundColor(),
                      colorFromWord(ButtonWithColor::kHoverColor));
            EXPECT_EQ(w->BitBtnWithColor4->backgroundColor(),
                      colorFromWord(ButtonWithColor::kRestingColor));

            if (opening == 2) {
                w->BitBtnWithColor1->click();
                EXPECT_TRUE(test::waitUntil([&] { return test::fileExists(log()); }));
                EXPECT_TRUE(w->isVisible()) << "the site opens beside the window";
            }
        });
        about->show();
        QTest::mouseClick(about, Qt::LeftButton);
        EXPECT_EQ(test::pendingModalAnswers(), 0) << "opening " << opening;
    }
    EXPECT_EQ(test::readFile(log()), "127.0.0.1:8123/\n");
}

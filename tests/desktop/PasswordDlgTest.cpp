#include "desktop/TPasswordDlg.h"
#include "support/ModalAnswer.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/PlatformColor.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace korvalo {
namespace {

using test::answerNextModal;
using test::waitForFocusWidget;

QString u(const char* text) {
    return QString::fromUtf8(text);
}

// Types any text, Arabic included, as key presses carrying it.
void typeText(QWidget* w, const QString& text) {
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

TEST(PasswordDlgTest, typedTextIsMaskedAndKeptUntilTheCallerClearsIt) {
    TPasswordDlg& dlg = TPasswordDlg::instance();
    dlg.Password->clear();
    EXPECT_EQ(dlg.Label1->text(), u("ادخل كلمة السر"));

    answerNextModal(QStringLiteral("Button1"), [](QDialog*) {
        // Typed where the prompt puts the focus.
        QWidget* focus = waitForFocusWidget();
        ASSERT_EQ(focus->objectName(), QStringLiteral("Password"));
        typeText(focus, u("سر123"));
    });
    EXPECT_EQ(dlg.exec(), 1);
    EXPECT_EQ(dlg.Password->text(), u("سر123"));
    EXPECT_EQ(dlg.Password->displayText(), QStringLiteral("*****"));

    // The next showing still holds it; Cancel leaves it for the caller too.
    answerNextModal(QStringLiteral("Button2"),
                    [&](QDialog*) { EXPECT_EQ(dlg.Password->text(), u("سر123")); });
    EXPECT_EQ(dlg.exec(), 2);
    EXPECT_EQ(dlg.Password->text(), u("سر123"));
    dlg.Password->clear();
}

TEST(PasswordDlgTest, enterEscapeAndCloseGiveTheirAnswers) {
    TPasswordDlg& dlg = TPasswordDlg::instance();
    dlg.Password->clear();
    answerNextModal(QStringLiteral("Button2"), [](QDialog*) {
        QWidget* field = waitForFocusWidget();
        QTest::keyClicks(field, QStringLiteral("abc"));
        QTest::keyClick(field, Qt::Key_Return);
    });
    EXPECT_EQ(dlg.exec(), 1) << "Enter in the field must press OK";
    EXPECT_EQ(dlg.Password->text(), QStringLiteral("abc"));

    answerNextModal(QStringLiteral("Button1"),
                    [](QDialog*) { QTest::keyClick(waitForFocusWidget(), Qt::Key_Escape); });
    EXPECT_EQ(dlg.exec(), 2);

    answerNextModal(QStringLiteral("Button1"), [](QDialog* d) { d->close(); });
    EXPECT_EQ(dlg.exec(), 2);
    dlg.Password->clear();
}

TEST(PasswordDlgTest, hoverLightsOneButtonAndTheFieldRestsBoth) {
    TPasswordDlg dlg;
    const QColor resting = colorFromWord(ButtonWithColor::kRestingColor);
    const QColor hover = colorFromWord(ButtonWithColor::kHoverColor);
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QApplication::sendEvent(dlg.Button2, &enter);
    EXPECT_EQ(dlg.Button2->backgroundColor(), hover);
    EXPECT_EQ(dlg.Button1->backgroundColor(), resting);
    QApplication::sendEvent(dlg.Button1, &enter);
    EXPECT_EQ(dlg.Button1->backgroundColor(), hover);
    EXPECT_EQ(dlg.Button2->backgroundColor(), resting);

    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(dlg.Password, &move);
    EXPECT_EQ(dlg.Button1->backgroundColor(), resting);
    EXPECT_EQ(dlg.Button2->backgroundColor(), resting);
}

} // namespace
} // namespace korvalo

#include "widgets/TRegComboBox.h"
#include "data/TypedHistory.h"
#include "support/TempDir.h"
#include "support/Wait.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace korvalo;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Types each character as a key press carrying it (QTest's own typing knows
// only ASCII).
void type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// Two history boxes and a field to move the focus to, in a shown window.
class TRegComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.setLayoutDirection(Qt::RightToLeft);
        first = new TRegComboBox(registry, &window);
        second = new TRegComboBox(registry, &window);
        elsewhere = new QLineEdit(&window);
        second->move(0, 30);
        elsewhere->move(0, 60);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // Types text into box and moves the focus away from it.
    void typeAndLeave(TRegComboBox* box, const QString& text) {
        box->setFocus();
        type(box, text);
        elsewhere->setFocus();
    }

    test::TempDir dir;
    RegistryFile registry{QString::fromStdString(dir.file("registry.reg"))};
    QWidget window;
    TRegComboBox* first = nullptr;
    TRegComboBox* second = nullptr;
    QLineEdit* elsewhere = nullptr;
};

} // namespace

TEST_F(TRegComboBoxTest, leavingABoxPutsItsTextFirstInTheListEveryBoxShares) {
    first->LoadHistory();
    second->LoadHistory(); // before the first box saves anything
    typeAndLeave(first, u("سارة"));
    EXPECT_EQ(loadTypedHistory(registry), QStringList{u("سارة")});
    EXPECT_EQ(first->itemText(0), u("سارة"));
    EXPECT_EQ(first->currentText(), u("سارة"));

    // The second box loaded an empty list, yet what the first saved stays.
    typeAndLeave(second, u("omar@example.com"));
    first->clearEditText();
    typeAndLeave(first, QString()); // an empty box saves nothing
    EXPECT_EQ(loadTypedHistory(registry), QStringList({u("omar@example.com"), u("سارة")}));

    TRegComboBox later(registry);
    later.LoadHistory();
    EXPECT_EQ(later.count(), 2);
    EXPECT_EQ(later.itemText(0), u("omar@example.com"));
    EXPECT_TRUE(later.currentText().isEmpty()) << "loading leaves the text alone";

    second->ClearAll();
    EXPECT_EQ(second->count(), 0);
    EXPECT_TRUE(second->currentText().isEmpty());
    EXPECT_EQ(loadTypedHistory(registry).size(), 2) << "the registry keeps its entries";
}

TEST_F(TRegComboBoxTest, completesWithTheShortestMatchIgnoringCaseUnlessBackspaceCame) {
    rememberTypedEntry(registry, {u("Alexandria"), u("ALEX"), u("alex@example.com")}, u("Bob"));
    first->LoadHistory();
    first->setFocus();
    QTest::keyClicks(first, QStringLiteral("al"));
    EXPECT_EQ(first->currentText(), QStringLiteral("al")) << "not before the wait";
    EXPECT_TRUE(
        test::waitUntil([&] { return first->currentText() == QStringLiteral("alEX"); }, 2000));
    EXPECT_EQ(first->lineEdit()->selectedText(), QStringLiteral("EX"));
    QTest::keyClicks(first, QStringLiteral("e"));
    EXPECT_EQ(first->currentText(), QStringLiteral("ale")) << "typing replaces the added part";

    first->clearEditText();
    QTest::keyClicks(first, QStringLiteral("bo"));
    QTest::keyClick(first, Qt::Key_Backspace);
    QTest::qWait(TRegComboBox::kCompletionDelayMs + 200);
    EXPECT_EQ(first->currentText(), QStringLiteral("b"));
}

#include "widgets/MemoField.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

using namespace korvalo;

// The message field's limit holds for what the user types or pastes, never
// for the lines the program adds; its lines are its paragraphs without the
// empty one a final line break leaves.
TEST(MemoField, stopsTypingAndPastingAtItsLimitButNotTheProgram) {
    MemoField memo;
    memo.setMaxLength(5);
    memo.show();
    memo.setFocus();
    QTest::keyClicks(&memo, QStringLiteral("abc"));
    QTest::keyClick(&memo, Qt::Key_Return);
    QTest::keyClicks(&memo, QStringLiteral("defg"));
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("abc\nd"));
    QTest::keyClick(&memo, Qt::Key_Backspace);
    QApplication::clipboard()->setText(QStringLiteral("xyz"));
    memo.paste();
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("abc\nx"));

    memo.addLine(QStringLiteral("http://one.example"));
    EXPECT_EQ(memo.lines(), QStringList({QStringLiteral("abc"), QStringLiteral("x"),
                                         QStringLiteral("http://one.example")}));
    memo.setPlainText(QStringLiteral("a\n"));
    EXPECT_EQ(memo.lines(), QStringList{QStringLiteral("a")});
    memo.addLine(QStringLiteral("b"));
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("a\nb")) << "into the empty last line";
    memo.replaceLine(5, QStringLiteral("none"));
    memo.clear();
    EXPECT_TRUE(memo.lines().isEmpty());
    memo.replaceLine(0, QStringLiteral("none"));
    EXPECT_TRUE(memo.toPlainText().isEmpty()) << "an empty field has no line to replace";
}

#include "support/ModalAnswer.h"
#include "desktop/TMessageForm.h"

#include <QTest>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace korvalo {
namespace {

using test::answerNextModal;
using test::pendingModalAnswers;

QString u(const char* text) {
    return QString::fromUtf8(text);
}

// The helper every window test leans on: queued answers go to successive
// showings of the same window, in order.
TEST(ModalAnswerTest, queuedAnswersGoToSuccessiveShowingsInOrder) {
    answerNextModal(u("تم"));
    answerNextModal(u("الغاء"));
    answerNextModal(QStringLiteral("Yes"));
    EXPECT_EQ(ShowMessageBox(u("اولى"), false), 1);
    EXPECT_EQ(ShowMessageBox(u("ثانية"), true), 2);
    EXPECT_EQ(ShowMessageBox(u("ثالثة"), true), 1);
    EXPECT_EQ(pendingModalAnswers(), 0);
}

TEST(ModalAnswerTest, failsClearlyInsteadOfHanging) {
    EXPECT_NONFATAL_FAILURE(
        {
            answerNextModal(u("تم"), {}, 50);
            QTest::qWait(300);
        },
        "no modal dialog appeared within 50 ms");
    EXPECT_EQ(pendingModalAnswers(), 0);

    // A hidden button cannot be pressed: the dialog is closed, not left open.
    EXPECT_NONFATAL_FAILURE(
        {
            answerNextModal(u("تم"));
            EXPECT_EQ(ShowMessageBox(u("سؤال"), true), 2);
        },
        "has no visible, enabled button");
}

} // namespace
} // namespace korvalo

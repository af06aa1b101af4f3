#include "desktop/TMessageForm.h"
#include "support/ModalAnswer.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/PlatformColor.h"

#include <QApplication>
#include <QCheckBox>
#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace korvalo {
namespace {

using test::answerNextModal;
using test::pendingModalAnswers;
using test::waitForFocusWidget;

QString u(const char* text) {
    return QString::fromUtf8(text);
}

TMessageForm* form(QDialog* dialog) {
    return qobject_cast<TMessageForm*>(dialog);
}

TEST(MessageBoxTest, eachButtonGivesItsAnswer) {
    struct Case {
        bool yesNo;
        QString button;
        int expected;
    };
    const std::vector<Case> cases = {
        {false, u("تم"), 1},
        {true, u("موافق"), 1},
        {true, u("الغاء"), 2},
        {false, QStringLiteral("Ok"), 1},
        {true, QStringLiteral("No"), 2},
    };
    for (const Case& c : cases) {
        answerNextModal(c.button);
        EXPECT_EQ(ShowMessageBox(u("رسالة"), c.yesNo), c.expected)
            << c.button.toStdString() << (c.yesNo ? " in a question" : " in an information box");
    }
    EXPECT_EQ(pendingModalAnswers(), 0);
}

TEST(MessageBoxTest, informationBoxAndQuestionShowTheirButtonsInTheOneWindow) {
    std::vector<TMessageForm*> seen;
    answerNextModal(u("تم"), [&](QDialog* d) {
        TMessageForm* f = form(d);
        ASSERT_NE(f, nullptr);
        seen.push_back(f);
        EXPECT_TRUE(f->Ok->isVisible());
        EXPECT_FALSE(f->Yes->isVisible());
        EXPECT_FALSE(f->No->isVisible());
        EXPECT_EQ(f->Ok->text(), u("تم"));
        EXPECT_EQ(f->Label1->text(), u("تم الحفظ"));
    });
    ShowMessageBox(u("تم الحفظ"), false);

    answerNextModal(u("الغاء"), [&](QDialog* d) {
        TMessageForm* f = form(d);
        ASSERT_NE(f, nullptr);
        seen.push_back(f);
        EXPECT_FALSE(f->Ok->isVisible());
        EXPECT_TRUE(f->Yes->isVisible());
        EXPECT_TRUE(f->No->isVisible());
        EXPECT_EQ(f->Yes->text(), u("موافق"));
        EXPECT_EQ(f->No->text(), u("الغاء"));
        // The previous message is replaced, not added to.
        EXPECT_EQ(f->Label1->text(), u("هل تريد الحذف؟"));
    });
    ShowMessageBox(u("هل تريد الحذف؟"), true);

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0], &TMessageForm::instance());
}

TEST(MessageBoxTest, keyboardFocusEnterAndEscape) {
    // Information box: "تم" has the focus, Escape does nothing, Enter answers.
    answerNextModal(u("تم"), [](QDialog* d) {
        TMessageForm* f = form(d);
        ASSERT_EQ(waitForFocusWidget(), f->Ok);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        ASSERT_TRUE(f->isVisible()) << "Escape closed an information box";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(f->isVisible()) << "Enter did not answer the information box";
    });
    EXPECT_EQ(ShowMessageBox(u("معلومة"), false), 1);

    // Question: "موافق" has the focus, Enter gives 1.
    answerNextModal(u("الغاء"), [](QDialog* d) {
        ASSERT_EQ(waitForFocusWidget(), form(d)->Yes);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(ShowMessageBox(u("سؤال"), true), 1);

    // Question: Escape gives 2.
    answerNextModal(u("موافق"),
                    [](QDialog*) { QTest::keyClick(waitForFocusWidget(), Qt::Key_Escape); });
    EXPECT_EQ(ShowMessageBox(u("سؤال"), true), 2);
}

TEST(MessageBoxTest, closingWithoutAnAnswerCountsAsCancel) {
    // The platform's close command, even on an information box.
    answerNextModal(u("تم"), [](QDialog* d) { d->close(); });
    EXPECT_EQ(ShowMessageBox(u("معلومة"), false), 2);
    // A window merely hidden must not read as agreement to a question.
    answerNextModal(u("موافق"), [](QDialog* d) { d->hide(); });
    EXPECT_EQ(ShowMessageBox(u("سؤال"), true), 2);
}

TEST(MessageBoxTest, messageDuringAnOpenMessageGetsItsOwnWindow) {
    TMessageForm& shared = TMessageForm::instance();
    int inner = -1;
    QTimer::singleShot(0, [&] {
        // Runs while the first message is open, as a timer or network event would.
        answerNextModal(u("تم"), [&](QDialog* d) {
            EXPECT_NE(d, &shared);
            EXPECT_EQ(form(d)->Label1->text(), u("الثانية"));
        });
        inner = ShowMessageBox(u("الثانية"), false);
        EXPECT_EQ(shared.Label1->text(), u("الاولى"));
        EXPECT_TRUE(shared.Yes->isVisible());
        answerNextModal(u("موافق"));
    });
    EXPECT_EQ(ShowMessageBox(u("الاولى"), true), 1);
    EXPECT_EQ(inner, 1);
}

TEST(MessageBoxTest, windowIsAFixedBorderlessCardCentredAtEachShowing) {
    TMessageForm& f = TMessageForm::instance();
    const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    for (int showing = 0; showing < 2; ++showing) {
        answerNextModal(u("تم"), [&](QDialog* d) {
            EXPECT_EQ(d->size(), QSize(300, 139));
            EXPECT_TRUE(d->windowFlags() & Qt::FramelessWindowHint);
            EXPECT_TRUE(d->windowFlags() & Qt::WindowStaysOnTopHint);
            EXPECT_TRUE(d->isModal());
            EXPECT_LE((d->geometry().center() - screenCentre).manhattanLength(), 2);
            EXPECT_EQ(d->layoutDirection(), Qt::RightToLeft);
        });
        ShowMessageBox(u("رسالة"), false);
        f.move(0, 0); // wherever it was left, the next showing is centred again
    }
}

QImage rendered(QLabel* label) {
    QImage image(label->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    label->render(&image);
    return image;
}

// Rows of dark pixels in the rendered label, as [first, last] bands.
std::vector<std::pair<int, int>> inkBands(const QImage& image) {
    std::vector<std::pair<int, int>> bands;
    bool inBand = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x)
            ink = qGray(image.pixel(x, y)) < 128;
        if (ink && !inBand)
            bands.push_back({y, y});
        if (ink)
            bands.back().second = y;
        inBand = ink;
    }
    return bands;
}

TEST(MessageBoxTest, lineBreakStartsASecondCentredLine) {
    TMessageForm f;
    // Both break conventions the callers' texts may carry.
    for (const QString& text : {u("سطر\nالسطر الثاني الاطول"), u("سطر\r\nالسطر الثاني الاطول")}) {
        f.prepare(text, false);
        EXPECT_EQ(f.Label1->text(), u("سطر\nالسطر الثاني الاطول"));

        const QImage image = rendered(f.Label1);
        const auto bands = inkBands(image);
        ASSERT_EQ(bands.size(), 2u) << "expected two lines of text";
        for (const auto& [top, bottom] : bands) {
            int left = image.width(), right = -1;
            for (int y = top; y <= bottom; ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (qGray(image.pixel(x, y)) < 128) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
                }
            }
            EXPECT_LE(std::abs(left - (image.width() - 1 - right)), 3)
                << "line at y " << top << " is not centred: ink from " << left << " to " << right;
        }
    }
}

TEST(MessageBoxTest, messageStartingWithAnAddressStillReadsRightToLeft) {
    TMessageForm f;
    const QString text = QStringLiteral("http://www.example.com ") + u("غير موجود");
    f.prepare(text, false);
    // The same text led by a right-to-left mark is laid out right to left by
    // any label; without one a plain label would put the address first.
    QLabel reference;
    reference.setFont(f.Label1->font());
    reference.setGeometry(f.Label1->geometry());
    reference.setAlignment(f.Label1->alignment());
    reference.setWordWrap(true);
    reference.setText(QChar(0x200F) + text);
    EXPECT_EQ(rendered(f.Label1), rendered(&reference));
}

TEST(MessageBoxTest, mouseOverAButtonLightsItAndTheCardRestsThemAll) {
    TMessageForm f;
    f.prepare(u("سؤال"), true);
    const QColor resting = colorFromWord(ButtonWithColor::kRestingColor);
    const QColor hover = colorFromWord(ButtonWithColor::kHoverColor);
    auto enter = [](QWidget* w) {
        QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(w, &e);
    };
    auto moveOver = [](QWidget* w) {
        QMouseEvent e(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    };

    for (ButtonWithColor* b : {f.Yes, f.Ok, f.No})
        EXPECT_EQ(b->backgroundColor(), resting) << b->objectName().toStdString();

    enter(f.Yes);
    EXPECT_EQ(f.Yes->backgroundColor(), hover);
    EXPECT_EQ(f.No->backgroundColor(), resting);
    enter(f.No);
    EXPECT_EQ(f.Yes->backgroundColor(), resting);
    EXPECT_EQ(f.No->backgroundColor(), hover);

    for (QWidget* area : {static_cast<QWidget*>(f.Label1), static_cast<QWidget*>(f.Image1)}) {
        enter(f.No);
        moveOver(area);
        for (ButtonWithColor* b : {f.Yes, f.Ok, f.No})
            EXPECT_EQ(b->backgroundColor(), resting)
                << b->objectName().toStdString() << " after moving over "
                << area->objectName().toStdString();
    }
}

TEST(MessageBoxTest, minimiseNoticePartsShowOnlyWhenAskedAndKeepTheTick) {
    TMessageForm& f = TMessageForm::instance();
    EXPECT_FALSE(f.Image2->pixmap().isNull()) << "the notice picture did not load";
    EXPECT_EQ(f.CheckBox1->text(), u("لا تعرض هذه الرسالة مرة اخرى"));
    f.CheckBox1->setChecked(false);

    f.Image2->show();
    f.CheckBox1->show();
    answerNextModal(u("تم"), [&](QDialog*) {
        EXPECT_TRUE(f.Image2->isVisible());
        EXPECT_TRUE(f.CheckBox1->isVisible());
        f.CheckBox1->click();
    });
    ShowMessageBox(u("تنبيه"), false);
    f.Image2->hide();
    f.CheckBox1->hide();
    EXPECT_TRUE(f.CheckBox1->isChecked());

    answerNextModal(u("تم"), [&](QDialog*) {
        EXPECT_FALSE(f.Image2->isVisible());
        EXPECT_FALSE(f.CheckBox1->isVisible());
    });
    ShowMessageBox(u("رسالة اخرى"), false);
    EXPECT_TRUE(f.CheckBox1->isChecked());
    f.CheckBox1->setChecked(false);
}

} // namespace
} // namespace korvalo

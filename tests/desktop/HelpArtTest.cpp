#include "desktop/THelpArt.h"
#include "support/Wait.h"

#include <QLabel>
#include <QSet>
#include <QTimer>

#include <gtest/gtest.h>

using namespace korvalo;

namespace {

// The number of the one Art picture showing, or 0 when it is not exactly one.
int shownArt(const THelpArt& art) {
    int shown = 0;
    for (size_t i = 0; i < art.Art.size(); ++i) {
        if (art.Art[i]->isVisibleTo(&art)) {
            if (shown)
                return 0;
            shown = int(i) + 1;
        }
    }
    return shown;
}

// Runs one sequence to its end and gives the picture of each of its ticks.
std::vector<int> play(THelpArt& art, QTimer* sequence) {
    std::vector<int> pictures;
    const auto tick =
        QObject::connect(sequence, &QTimer::timeout, [&] { pictures.push_back(shownArt(art)); });
    if (!sequence->isActive())
        sequence->start();
    EXPECT_TRUE(test::waitUntil([&] { return !sequence->isActive(); }))
        << sequence->objectName().toStdString();
    QObject::disconnect(tick);
    return pictures;
}

} // namespace

TEST(HelpArtTest, sequencesRunTheirLengthOnTheOneCounterAndGoOnWhileHidden) {
    // Ticks of a millisecond; the choice comes only when the test asks.
    THelpArt art(nullptr, {1, 3600 * 1000});
    art.setScreenSize(QSize(1024, 768));
    art.show();
    EXPECT_EQ(art.pos(), QPoint(791, 496));
    EXPECT_EQ(shownArt(art), 1);

    const std::vector<int> blink = play(art, art.Mov2);
    EXPECT_EQ(blink, (std::vector<int>{6, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_TRUE(art.MovAll->isActive()) << "the choice takes over after a sequence";
    EXPECT_EQ(art.step(), 0);

    art.close();
    const std::vector<int> performance = play(art, art.Mov1);
    EXPECT_EQ(performance, (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 2, 3, 4, 5, 6, 7, 1}));
    EXPECT_EQ(play(art, art.Mov3).size(), 9u);
    EXPECT_TRUE(art.MovAll->isActive());

    // The choice starts one of the sequences, and every one of them comes up.
    art.MovAll->setInterval(1);
    EXPECT_TRUE(test::waitUntil(
        [&] { return art.Mov1->isActive() || art.Mov2->isActive() || art.Mov3->isActive(); }));
    QSet<int> choices;
    for (qint64 second = 1'700'000'000; second < 1'700'000'064; ++second)
        choices.insert(THelpArt::choiceAt(second));
    EXPECT_EQ(choices, (QSet<int>{0, 1, 2, 3}));
}

#include "platform/TXJustOne.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

using namespace korvalo;

TEST(SingleInstance, aSecondCopyIsToldAndTheLockGoesWithTheFirst) {
    test::TempDir dir;
    const QString folder = QString::fromStdString(dir.path());
    auto first = std::make_unique<TXJustOne>(QStringLiteral("korvalo"), folder);
    EXPECT_FALSE(first->alreadyExists());
    TXJustOne second(QStringLiteral("korvalo"), folder);
    EXPECT_TRUE(second.alreadyExists());
    TXJustOne other(QStringLiteral("another-program"), folder);
    EXPECT_FALSE(other.alreadyExists());
    first.reset();
    TXJustOne third(QStringLiteral("korvalo"), folder);
    EXPECT_FALSE(third.alreadyExists());
}

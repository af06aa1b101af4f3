#include "platform/AtomicFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace korvalo;

TEST(StaleTemporaries, onlyTheFilesOfKilledWritersGo)
{
    test::TempDir dir;
    const std::string site = dir.file("weburl.kvl");
    for (const char* name : {"weburl.kvl", "weburl.kvl.a1B2c3", "weburl.kvl.Zz9999", "weburl.kvl.bak",
                             "weburl.kvl.lock", "weburl.kvl.abcdefg", "cate.dat.a1B2c3"})
        test::writeFile(dir.file(name), "x");
    EXPECT_EQ(removeStaleTemporaries(site), 2);
    EXPECT_FALSE(test::fileExists(dir.file("weburl.kvl.a1B2c3")));
    EXPECT_FALSE(test::fileExists(dir.file("weburl.kvl.Zz9999")));
    for (const char* kept : {"weburl.kvl", "weburl.kvl.bak", "weburl.kvl.lock", "weburl.kvl.abcdefg",
                             "cate.dat.a1B2c3"})
        EXPECT_TRUE(test::fileExists(dir.file(kept))) << kept;
}

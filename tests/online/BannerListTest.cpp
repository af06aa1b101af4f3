#include "online/BannerList.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace korvalo;

namespace {

QStringList ids(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* id : list)
        out << QString::fromLatin1(id);
    return out;
}

} // namespace

TEST(BannerListTest, eachBarEndsOneIdentifierAndWhatFollowsTheLastIsDropped) {
    EXPECT_EQ(ParseBannerList("12|15|20|"), ids({"12", "15", "20"}));
    EXPECT_EQ(ParseBannerList("12|15"), ids({"12"}));
    EXPECT_EQ(ParseBannerList("12||20|"), ids({"12", "", "20"}));
    EXPECT_EQ(ParseBannerList("<html>Not found</html>"), QStringList());
    EXPECT_EQ(ParseBannerList(""), QStringList());
    // Only the exact word means "no change".
    EXPECT_EQ(ParseBannerList("No"), std::nullopt);
    EXPECT_EQ(ParseBannerList("No\n"), QStringList());
    EXPECT_EQ(ParseBannerList("No|"), ids({"No"}));
}

TEST(BannerListTest, onlyShortPlainIdentifiersCanNameAFile) {
    for (const char* good : {"12", "a-B_9", "x"})
        EXPECT_EQ(slotIdentifier(QString::fromLatin1(good)), QString::fromLatin1(good)) << good;
    EXPECT_TRUE(isBannerId(QString(64, u'a')));
    EXPECT_FALSE(isBannerId(QString(65, u'a')));
    for (const char* bad : {"", "../x", "a/b", "a.gif", "a b", " 12", "12\r", "%2e%2e", "a\\b"})
        EXPECT_EQ(slotIdentifier(QString::fromLatin1(bad)), QString()) << bad;
    EXPECT_FALSE(isBannerId(QString::fromUtf8("١٢")));
    EXPECT_FALSE(isBannerId(QString::fromUtf8("é")));
}

TEST(BannerListTest, theFolderIsInTheUsersCacheFolder) {
    const bool wasSet = qEnvironmentVariableIsSet("XDG_CACHE_HOME");
    const QByteArray saved = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", "/var/cache/someone");
    EXPECT_EQ(defaultBannerFolder(), QStringLiteral("/var/cache/someone/korvalo/banners"));
    qputenv("XDG_CACHE_HOME", "relative/cache");
    EXPECT_EQ(defaultBannerFolder(), QDir::homePath() + QStringLiteral("/.cache/korvalo/banners"));
    if (wasSet)
        qputenv("XDG_CACHE_HOME", saved);
    else
        qunsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(bannerFile(QStringLiteral("/f"), QStringLiteral("12")), QStringLiteral("/f/12.gif"));
}

TEST(BannerListTest, aCountIsAPlainNumberOfAtMostTwelveDigits) {
    EXPECT_EQ(userCountText("1234"), QStringLiteral("1234"));
    EXPECT_EQ(userCountText("1234\n"), QStringLiteral("1234"));
    EXPECT_EQ(userCountText("1234\r\n"), QStringLiteral("1234"));
    EXPECT_EQ(userCountText("999999999999"), QStringLiteral("999999999999"));
    for (const char* bad : {"", "\n", "1234567890123", "<HTML>500</HTML>", "12 34", " 12", "-5",
                            "12\n\n", "0x10", "1e3"})
        EXPECT_EQ(userCountText(bad), std::nullopt) << bad;
    EXPECT_EQ(userCountText(QString::fromUtf8("١٢").toUtf8()), std::nullopt);
}

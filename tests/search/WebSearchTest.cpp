#include "search/WebSearch.h"

#include <gtest/gtest.h>

using namespace korvalo;

namespace {

// Every engine's address around the query, written out in full.
const char* const kAround[WebSearch::kEngineCount][2] = {
    {"http://www.naseej.com/"
     "Browse_news.asp?NeedQuery=0&CurrentPage=1&RecordCounter=0&SearchPeriod=0&SearchText=",
     ""},
    {"http://www.ayna.com/cgi-bin/anathra.cgi?search=",
     "&codepage=cp1256&show=1&boolean=AND&db=ayna"},
    {"http://www.altavista.com/cgi-bin/query?q=",
     "&kl=XX&pg=q&Translate=on&search.x=16&search.y=8"},
    {"http://search.yahoo.com/bin/query?p=", "&hc=0&hs=0"},
    {"http://www.google.com/search?q=", ""},
    {"http://www.ask.com/main/askjeeves.asp?ask=",
     "&origin=0&site_name=Jeeves&metasearch=yes&ads=&Ask!.x=16&Ask!.y=11"},
    {"http://search.msn.com/results.asp?RS=CHECKED&FORM=MSNH&v=1&q=", ""},
    {"http://search.lycos.com/srch/?lpv=1&loc=searchhp&query=", ""},
    {"http://www.goto.com/d/search/;$sessionid$KQT7RZ2MWVNB4XJHDPFA9CE?type=home&Keywords=",
     "&Find+It%21.x=38&Find+It%21.y=25"},
    {"http://search.cnet.com/search?channel=1&tag=ex.cn.1.srch.web&q=", ""},
    {"http://www.looksmart.com/r_search?look=&pin=020708x51b3f7a2c94de06b8f3&key=", ""},
    {"http://www.euroseek.com/"
     "query?ilang=en&width=468&height=60&lang=world&domain=world&query=",
     "&Search.x=14&Search.y=8"},
    {"http://www.findwhat.com/results.asp?DC=25&MT=", "&imageField.x=37&imageField.y=41"},
    {"http://www.pcgamefinder.com/find.cgi?key=", ""},
};

} // namespace

TEST(WebSearchTest, everyEngineGetsItsAddressWithTheQueryEncodedByteForByte) {
    // Arabic goes as its Windows-1256 bytes; blanks and reserved characters
    // are escaped so they neither split the command line nor end the query.
    const QString arabic = QString::fromUtf8("بحث عربي");
    const QString arabicEncoded = QStringLiteral("%C8%CD%CB%20%DA%D1%C8%ED");
    const QString latin = QStringLiteral("a b&c=d#e?f+g/h%i x-y_z.w~");
    const QString latinEncoded = QStringLiteral("a%20b%26c%3Dd%23e%3Ff%2Bg%2Fh%25i%20x-y_z.w~");

    for (int i = 0; i < WebSearch::kEngineCount; ++i) {
        const QString before = QString::fromLatin1(kAround[i][0]);
        const QString after = QString::fromLatin1(kAround[i][1]);
        EXPECT_EQ(WebSearch::queryAddress(i, arabic), before + arabicEncoded + after)
            << "engine " << i;
        EXPECT_EQ(WebSearch::queryAddress(i, latin), before + latinEncoded + after)
            << "engine " << i;
    }
    EXPECT_EQ(WebSearch::queryAddress(4, QStringLiteral("abc")),
              QStringLiteral("http://www.google.com/search?q=abc"));
    // Blanks only are a query like any other.
    EXPECT_EQ(WebSearch::queryAddress(3, QStringLiteral("  ")),
              QStringLiteral("http://search.yahoo.com/bin/query?p=%20%20&hc=0&hs=0"));
}

TEST(WebSearchTest, textTheArabicCodePageCannotHoldGoesAsUtf8RatherThanBeingMangled) {
    // Windows-1256 has no byte for these; the query must not turn into "?".
    EXPECT_EQ(WebSearch::encodeQuery(QString::fromUtf8("日本")),
              QStringLiteral("%E6%97%A5%E6%9C%AC"));
    // A text mixing Arabic with such a character goes wholly as UTF-8, never
    // half in one encoding and half in the other.
    EXPECT_EQ(WebSearch::encodeQuery(QString::fromUtf8("ب日")), QStringLiteral("%D8%A8%E6%97%A5"));
}

TEST(WebSearchTest, theEngineListHasFourteenItemsAndNoAddressOutsideIt) {
    const QStringList items = WebSearch::itemTexts();
    ASSERT_EQ(items.size(), 14);
    EXPECT_EQ(items[0], QString::fromUtf8("نسيج"));
    EXPECT_EQ(items[1], QString::fromUtf8("أين"));
    EXPECT_EQ(items[4], QStringLiteral("google.com"));
    EXPECT_EQ(items[13], QStringLiteral("pc game finder"));
    EXPECT_EQ(WebSearch::queryAddress(-1, QStringLiteral("abc")), std::nullopt);
    EXPECT_EQ(WebSearch::queryAddress(14, QStringLiteral("abc")), std::nullopt);
}

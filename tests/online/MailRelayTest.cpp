#include "online/MailRelay.h"
#include "online/HTTPUtils.h"

#include <gtest/gtest.h>

using namespace korvalo;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

TEST(MailRelay, everyValueTravelsPercentEncodedSoNoneCanEndItsKeyOrAddOne) {
    const QByteArray closedServer = qgetenv("KORVALO_SERVER");
    qputenv("KORVALO_SERVER", "http://127.0.0.1:9");
    const QString request = BuildRelayRequest(
        {u("علي"), u("a@b.example"), u("x&ToEmail=evil@x.example"), u("one #1\r\ntwo=2  "), {}});
    qputenv("KORVALO_SERVER", closedServer);
    EXPECT_EQ(request, u("http://127.0.0.1:9/2/sendmail/sendmail.asp"
                         "?FromName=%DA%E1%ED&FromEmail=a%40b.example"
                         "&Subject=x%26ToEmail%3Devil%40x.example"
                         "&Body=one%20%231%0D%0Atwo%3D2%20%20&ToEmail="));
    // Nothing left for the HTTP layer to change on the way out.
    EXPECT_EQ(EncodeURLForRequest(request), request.toLatin1());
    // A text Windows-1256 cannot hold whole goes whole as UTF-8.
    EXPECT_EQ(EncodeRelayValue(u("عΩ")), QByteArray("%D8%B9%CE%A9"));
}

TEST(MailRelay, aSenderAddressNeedsAnAtWithTextOnBothSides) {
    for (const char* good : {"a@b.example", "ali@localhost"})
        EXPECT_TRUE(LooksLikeMailAddress(u(good))) << good;
    for (const char* bad : {"name.example", "", "@b.example", "a@", " @ ", "plain"})
        EXPECT_FALSE(LooksLikeMailAddress(u(bad))) << bad;
}

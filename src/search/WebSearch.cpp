#include "search/WebSearch.h"

#include "data/Cp1256.h"

#include <QByteArray>

namespace korvalo {

const std::array<SearchEngine, WebSearch::kEngineCount>& WebSearch::engines() {
    static const std::array<SearchEngine, kEngineCount> list{{
        {"نسيج", "www.naseej.com",
         "/Browse_news.asp?NeedQuery=0&CurrentPage=1&RecordCounter=0&SearchPeriod=0&SearchText=",
         ""},
        {"أين", "www.ayna.com",
         "/cgi-bin/anathra.cgi?search=", "&codepage=cp1256&show=1&boolean=AND&db=ayna"},
        {"altavista.com", "www.altavista.com",
         "/cgi-bin/query?q=", "&kl=XX&pg=q&Translate=on&search.x=16&search.y=8"},
        {"yahoo.com", "search.yahoo.com", "/bin/query?p=", "&hc=0&hs=0"},
        {"google.com", "www.google.com", "/search?q=", ""},
        {"ask.com", "www.ask.com", "/main/askjeeves.asp?ask=",
         "&origin=0&site_name=Jeeves&metasearch=yes&ads=&Ask!.x=16&Ask!.y=11"},
        {"msn.com", "search.msn.com", "/results.asp?RS=CHECKED&FORM=MSNH&v=1&q=", ""},
        {"lycos.com", "search.lycos.com", "/srch/?lpv=1&loc=searchhp&query=", ""},
        // The session token is a fixed constant, the same for every search.
        {"goto.com", "www.goto.com",
         "/d/search/;$sessionid$KQT7RZ2MWVNB4XJHDPFA9CE?type=home&Keywords=",
         "&Find+It%21.x=38&Find+It%21.y=25"},
        {"cnet.com", "search.cnet.com", "/search?channel=1&tag=ex.cn.1.srch.web&q=", ""},
        {"looksmart.com", "www.looksmart.com",
         "/r_search?look=&pin=020708x51b3f7a2c94de06b8f3&key=", ""},
        {"euroseek.com", "www.euroseek.com",
         "/query?ilang=en&width=468&height=60&lang=world&domain=world&query=",
         "&Search.x=14&Search.y=8"},
        {"findwhat.com", "www.findwhat.com",
         "/results.asp?DC=25&MT=", "&imageField.x=37&imageField.y=41"},
        {"pc game finder", "www.pcgamefinder.com", "/find.cgi?key=", ""},
    }};
    return list;
}

QStringList WebSearch::itemTexts() {
    QStringList texts;
    for (const SearchEngine& e : engines())
        texts << QString::fromUtf8(e.itemText);
    return texts;
}

QString WebSearch::encodeQuery(const QString& query) {
    const std::optional<std::string> cp = Cp1256::fromUnicode(query);
    const QByteArray bytes = cp ? QByteArray::fromStdString(*cp) : query.toUtf8();
    return QString::fromLatin1(bytes.toPercentEncoding());
}

std::optional<QString> WebSearch::queryAddress(int index, const QString& query) {
    if (index < 0 || index >= kEngineCount)
        return std::nullopt;
    const SearchEngine& e = engines()[static_cast<size_t>(index)];
    return QStringLiteral("http://") + QString::fromLatin1(e.host) + QString::fromLatin1(e.before) +
           encodeQuery(query) + QString::fromLatin1(e.after);
}

} // namespace korvalo

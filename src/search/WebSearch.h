#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace korvalo {

// One web search engine: the query address is "http://" + host + before +
// the encoded query + after.
struct SearchEngine {
    const char* itemText; // UTF-8, as the engine list shows it
    const char* host;
    const char* before;
    const char* after;
};

// The fourteen engines of the web-search box and the query addresses sent to
// them through the browser.
class WebSearch {
public:
    static constexpr int kEngineCount = 14;

    static const std::array<SearchEngine, kEngineCount>& engines();
    // The engine list's items, by index.
    static QStringList itemTexts();

    // The typed text as it stands in a query address: its Windows-1256 bytes
    // (the code page the engines were written for; a text that code page
    // cannot hold goes as UTF-8 instead), every byte outside the unreserved
    // ASCII set percent-encoded. A blank thus never splits the browser's
    // command line and "&" or "#" never cut the query short.
    static QString encodeQuery(const QString& query);

    // The query address of engine `index` for the typed text; nothing when
    // the index is not one of the engines.
    static std::optional<QString> queryAddress(int index, const QString& query);
};

} // namespace korvalo

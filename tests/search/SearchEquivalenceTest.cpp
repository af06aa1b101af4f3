#include "data/CategoryFile.h"
#include "data/RecordReader.h"
#include "search/AddressOrder.h"
#include "search/LocalSearch.h"
#include "search/SiteMatcher.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

using namespace korvalo;
using test::cp;

namespace {

struct Row {
    std::string url, category, title;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& r) {
    return out << r.url << " | " << r.category << " | " << r.title;
}

// The search as the words describe it, record by record, with nothing
// clever: decode, fold, upper-case, find.
std::vector<uint32_t> plainMatches(const std::vector<SiteRecord>& records, const std::string& query,
                                   SearchScope scope) {
    const std::string needle = prepareSearchQuery(query);
    std::vector<uint32_t> found;
    for (size_t i = 0; i < records.size() && !needle.empty(); ++i) {
        const SiteRecord& r = records[i];
        const std::string text = scope == SearchScope::Description
                                     ? upperCaseAscii(FoldSearchText(r.Title))
                                     : upperCaseAscii(r.Url);
        if (text.find(needle) != std::string::npos)
            found.push_back(uint32_t(i));
    }
    return found;
}

// Those matches as the list shows them: a stable sort by address.
std::vector<Row> plainRows(const std::vector<SiteRecord>& records,
                           const std::vector<uint32_t>& matches, const std::string& cate) {
    static std::map<int32_t, std::string> names;
    std::vector<Row> rows;
    for (uint32_t i : matches) {
        const SiteRecord& r = records[i];
        if (!names.count(r.CategoryId))
            names[r.CategoryId] = FindCategoryName(cate, r.CategoryId).name.value_or("");
        rows.push_back({r.Url, names[r.CategoryId], r.Title});
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return AddressOrder::less(a.url, b.url); });
    return rows;
}

std::vector<Row> fastSearch(const std::string& site, const std::string& cate,
                            const std::string& query, SearchScope scope) {
    SiteSearchResult r = SearchSites(site, cate, query, scope);
    EXPECT_EQ(r.status, SiteSearchResult::Status::Done);
    sortByAddress(r.rows);
    std::vector<Row> rows;
    for (size_t i = 0; i < r.rows.size(); ++i)
        rows.push_back({std::string(r.rows.url(i)), std::string(r.rows.categoryName(i)),
                        std::string(r.rows.title(i))});
    return rows;
}

// The record numbers the matcher's portable code finds, in file order.
std::vector<uint32_t> portableHits(const std::string& site, const std::string& query,
                                   SearchScope scope) {
    const SiteMatcher matcher(query, scope, false);
    RecordReader reader(kSiteRecordSize);
    EXPECT_TRUE(reader.open(site));
    std::vector<uint32_t> hits, all;
    size_t count = 0, first = 0;
    while (const uint8_t* block = reader.nextBlock(count)) {
        hits.clear();
        matcher.findIn(block, count, hits);
        for (uint32_t h : hits)
            all.push_back(uint32_t(first + h));
        first += count;
    }
    return all;
}

class Generator {
public:
    explicit Generator(unsigned seed)
        : random_(seed) {}

    size_t below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

    // Letters of every folding case, Latin of both cases, the stretching
    // letter, digits and punctuation.
    std::string text(size_t maxLength, bool address) {
        static const std::string arabic = cp("اأإآبتةهوؤيئىءمدرسـ");
        static const std::string latin = "abcABCwW.:/-1";
        const std::string& letters = address && below(3) ? latin : below(2) ? arabic : latin;
        std::string out = address && below(3) ? "http://www." : "";
        const size_t length = below(maxLength - out.size() + 1);
        while (out.size() < length)
            out += below(8) ? letters[below(letters.size())] : ' ';
        return out;
    }

    // A piece of a text, respelled as a user might type it.
    std::string query(const std::string& from) {
        if (from.empty())
            return "";
        const size_t start = below(from.size()),
                     length = 1 + below(std::min<size_t>(5, from.size() - start));
        std::string q = from.substr(start, length), out;
        static const std::map<char, std::string> respell = {{char(0xC7), cp("اأإآ")},
                                                            {char(0xE5), cp("هة")},
                                                            {char(0xE6), cp("وؤ")},
                                                            {'a', "aA"},
                                                            {'b', "bB"},
                                                            {'w', "wW"}};
        for (char c : prepareSearchQuery(q)) {
            const char lower = c >= 'A' && c <= 'Z' ? char(c + 32) : c;
            const auto it = respell.find(lower);
            out += it == respell.end() ? c : it->second[below(it->second.size())];
            if (!below(6))
                out += char(0xDC); // ـ between letters
        }
        return out;
    }

private:
    std::mt19937 random_;
};

} // namespace

// Every folding case, bytes after a terminator, fields without one, sites
// stored twice, ids without a category: the search finds what the plain
// one finds, in the same order, with both of the matcher's engines.
TEST(SearchEquivalence, theSearchListsWhatThePlainSearchListsInTheSameOrder) {
    test::TempDir dir;
    const std::string site = dir.file("weburl.kvl"), cate = dir.file("cate.dat");
    test::writeCategories(cate, {{cp("أخبار"), 1, 1, 0, 0},
                                 {"Sport", 2, 1, 0, 0},
                                 {"Sub", 3, 0, 1, 0},
                                 {"Second of 2", 2, 1, 0, 0}});
    Generator gen(20261209);
    std::vector<SiteRecord> records;
    for (int i = 0; i < 2500; ++i) {
        if (!records.empty() && !gen.below(40)) {
            records.push_back(records[gen.below(records.size())]);
            continue;
        }
        const int32_t ids[] = {0, 1, 2, 3, 77};
        records.push_back({gen.text(kUrlWidth - 1, true), ids[gen.below(5)],
                           gen.text(kTitleWidth - 1, false), "E", 0, 0});
    }
    std::string bytes = test::encodeSites(records);
    // Texts written by other programs: stray bytes after the terminator,
    // and fields that fill their array without one.
    for (size_t r = 0; r < records.size(); r += 7) {
        uint8_t* rec = reinterpret_cast<uint8_t*>(bytes.data()) + r * kSiteRecordSize;
        for (size_t i = records[r].Title.size() + 1; i < kTitleWidth; ++i)
            rec[84 + i] = uint8_t(gen.below(256));
        if (r % 5 == 0)
            for (size_t i = records[r].Url.size(); i < kUrlWidth; ++i)
                rec[i] = uint8_t('z' + kShift);
    }
    test::writeFile(site, bytes);

    std::vector<std::string> queries = {"",
                                        cp("ـــ"),
                                        cp("ا"),
                                        cp("ة"),
                                        cp("ئ"),
                                        "w",
                                        "www",
                                        "A",
                                        std::string(76, 'a'),
                                        std::string("a\0b", 3)};
    for (int i = 0; i < 60; ++i) {
        const SiteRecord& r = records[gen.below(records.size())];
        queries.push_back(gen.query(gen.below(2) ? r.Title : r.Url));
    }
    const std::vector<SiteRecord> stored = test::readSites(site);
    size_t found = 0;
    for (const std::string& q : queries)
        for (SearchScope scope : {SearchScope::Description, SearchScope::Address}) {
            const std::vector<uint32_t> matches = plainMatches(stored, q, scope);
            ASSERT_EQ(fastSearch(site, cate, q, scope), plainRows(stored, matches, cate))
                << "query " << q;
            ASSERT_EQ(portableHits(site, q, scope), matches) << "query " << q;
            found += matches.size();
        }
    EXPECT_GT(found, 10000u) << "the queries found too little to prove much";
}

TEST(SearchEquivalence, addressesGoInDictionaryOrder) {
    std::vector<std::string> urls = {cp("ب"), "b", cp("ا"), "aB", "-x",    "ab",    "A",
                                     "B",     "1", cp("أ"), "a",  cp("ة"), cp("ه"), cp("و")};
    std::stable_sort(urls.begin(), urls.end(), AddressOrder::less);
    EXPECT_EQ(urls, (std::vector<std::string>{"-x", "1", "A", "a", "aB", "ab", "B", "b", cp("أ"),
                                              cp("ا"), cp("ب"), cp("ة"), cp("ه"), cp("و")}));
}

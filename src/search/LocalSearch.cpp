#include "search/LocalSearch.h"

#include "data/RecordReader.h"
#include "data/Records.h"
#include "search/AddressOrder.h"
#include "search/SiteMatcher.h"

#include <cstdint>
#include <optional>
#include <unordered_map>

namespace korvalo {

namespace {

constexpr uint8_t kStretch = 0xDC; // ـ, dropped by the folding

inline uint8_t upperByte(uint8_t b) {
    return static_cast<uint8_t>(uint8_t(b - 'a') < 26 ? b - ('a' - 'A') : b);
}

inline uint8_t foldByte(uint8_t b) {
    b = (b == 0xC3 || b == 0xC5 || b == 0xC2) ? 0xC7 : b; // أ إ آ -> ا
    b = b == 0xC4 ? 0xE6 : b;                             // ؤ -> و
    return b == 0xC9 ? 0xE5 : b;                          // ة -> ه
}

// The names of the main categories the matches are filed under, each once,
// numbered as the matches first need them (so that the rows' numbers stay
// small): the first record with an Id wins, as in FindCategoryName. Read
// from "cate.dat" once, when the first match needs it.
class CategoryNames {
public:
    explicit CategoryNames(const std::string& path)
        : path_(path) {}

    // The number of the Id's name among names() (0, the empty name, for an
    // Id without a category); nullopt when the file cannot be opened or read.
    std::optional<uint32_t> indexOf(int32_t id) {
        if (!loaded_ && !load())
            return std::nullopt;
        // Ids are small numbers: most lookups are one array read.
        const bool small = id >= 0 && id < int32_t(kSmallIds);
        if (small && known_[size_t(id)] != kUnknown)
            return known_[size_t(id)];
        uint32_t index = 0;
        if (const auto name = byId_.find(id); name != byId_.end()) {
            const auto [used, added] = used_.try_emplace(id, uint32_t(names_.size()));
            if (added)
                names_.push_back(name->second);
            index = used->second;
        }
        if (small)
            known_[size_t(id)] = index;
        return index;
    }

    std::vector<std::string> takeNames() { return std::move(names_); }

private:
    bool load() {
        RecordReader reader(kCategoryRecordSize);
        if (!reader.open(path_))
            return false;
        while (const uint8_t* rec = reader.next())
            byId_.try_emplace(storedCategoryId(rec), storedCategoryName(rec));
        if (reader.failed())
            return false;
        names_.assign(1, std::string());
        known_.assign(kSmallIds, kUnknown);
        loaded_ = true;
        return true;
    }

    static constexpr size_t kSmallIds = 1 << 14;
    static constexpr uint32_t kUnknown = UINT32_MAX;

    const std::string& path_;
    std::unordered_map<int32_t, std::string> byId_;
    std::unordered_map<int32_t, uint32_t> used_;
    std::vector<std::string> names_;
    std::vector<uint32_t> known_; // the index of each small id, once asked
    bool loaded_ = false;
};

} // namespace

std::string FoldSearchText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const uint8_t b = static_cast<uint8_t>(c);
        if (b != kStretch)
            out.push_back(static_cast<char>(foldByte(b)));
    }
    return out;
}

std::string upperCaseAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(upperByte(static_cast<uint8_t>(c)));
    return out;
}

std::string prepareSearchQuery(std::string_view query) {
    return FoldSearchText(upperCaseAscii(query));
}

SiteSearchResult SearchSites(const std::string& sitePath, const std::string& catePath,
                             std::string_view query, SearchScope scope) {
    RecordReader reader(kSiteRecordSize);
    if (!reader.open(sitePath))
        return {};
    SiteSearchResult result;
    result.status = SiteSearchResult::Status::Done;
    const SiteMatcher matcher(query, scope);
    if (matcher.matchesNothing())
        return result;
    CategoryNames categories(catePath);
    std::vector<uint32_t> hits;
    bool reserved = false;
    size_t count = 0;
    while (const uint8_t* block = reader.nextBlock(count)) {
        hits.clear();
        matcher.findIn(block, count, hits);
        if (!hits.empty() && !reserved) {
            // Room for every record the file holds: only what the rows
            // fill is ever memory, and no row moves as more come.
            result.rows.reserve(reader.recordsAtOpen());
            reserved = true;
        }
        for (uint32_t hit : hits) {
            const uint8_t* rec = block + size_t(hit) * kSiteRecordSize;
            const std::optional<uint32_t> name = categories.indexOf(storedSiteCategoryId(rec));
            if (!name)
                return {SiteSearchResult::Status::CategoryFileMissing, {}};
            result.rows.appendStored(rec, *name, false);
        }
    }
    // A read that failed part way must not pass for a complete search.
    if (reader.failed())
        return {};
    result.rows.setCategoryNames(categories.takeNames());
    return result;
}

void sortByAddress(SiteRowBuffer& rows) {
    AddressOrder::sort(rows);
}

} // namespace korvalo

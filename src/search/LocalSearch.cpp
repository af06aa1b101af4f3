#include "search/LocalSearch.h"

#include "data/RecordReader.h"
#include "data/Records.h"

#include <array>
#include <cstring>
#include <unordered_map>

namespace korvalo {

namespace {

// Where the two searchable texts lie in a stored site record (see
// Records.cpp); both are stored shifted once by kShift.
constexpr size_t kUrlOffset = 0;
constexpr size_t kTitleOffset = 84;

constexpr uint8_t kStretch = 0xDC; // ـ, dropped by the folding

uint8_t upperByte(uint8_t b) {
    return b >= 'a' && b <= 'z' ? static_cast<uint8_t>(b - 'a' + 'A') : b;
}

uint8_t foldByte(uint8_t b) {
    switch (b) {
    case 0xC3:       // أ
    case 0xC5:       // إ
    case 0xC2:       // آ
        return 0xC7; // ا
    case 0xC4:       // ؤ
        return 0xE6; // و
    case 0xC9:       // ة
        return 0xE5; // ه
    default:
        return b;
    }
}

// Maps each stored byte straight to the byte the search compares, so a
// record's field is unshifted, upper-cased and folded in one pass.
struct StoredByteMap {
    std::array<uint8_t, 256> to{};
    std::array<uint8_t, 256> keep{}; // 0 for a byte the folding drops

    explicit StoredByteMap(bool fold) {
        for (int s = 0; s < 256; ++s) {
            const uint8_t plain = static_cast<uint8_t>(s - kShift);
            const uint8_t up = upperByte(plain);
            to[size_t(s)] = fold ? foldByte(up) : up;
            keep[size_t(s)] = fold && plain == kStretch ? 0 : 1;
        }
    }
};

const StoredByteMap& byteMap(SearchScope scope) {
    static const StoredByteMap description(true);
    static const StoredByteMap address(false);
    return scope == SearchScope::Description ? description : address;
}

// Category names by Id, the first record with an Id winning as in
// FindCategoryName. Read from "cate.dat" once, when the first match needs it.
class CategoryNames {
public:
    explicit CategoryNames(const std::string& path)
        : path_(path) {}

    // nullptr when the file cannot be opened.
    const std::string* nameOf(int32_t id) {
        if (!loaded_ && !load())
            return nullptr;
        const auto it = names_.find(id);
        return it == names_.end() ? &none_ : &it->second;
    }

private:
    bool load() {
        RecordReader reader(kCategoryRecordSize);
        if (!reader.open(path_))
            return false;
        while (const uint8_t* rec = reader.next())
            names_.try_emplace(storedCategoryId(rec), storedCategoryName(rec));
        loaded_ = true;
        return true;
    }

    const std::string& path_;
    std::unordered_map<int32_t, std::string> names_;
    const std::string none_;
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
    SiteSearchResult result;
    RecordReader reader(kSiteRecordSize);
    if (!reader.open(sitePath))
        return result;
    result.status = SiteSearchResult::Status::Done;

    const std::string needle = prepareSearchQuery(query);
    const bool description = scope == SearchScope::Description;
    const size_t offset = description ? kTitleOffset : kUrlOffset;
    const size_t width = description ? kTitleWidth : kUrlWidth;
    // Folding never lengthens a text, so a longer query matches no field.
    if (needle.empty() || needle.size() > width)
        return result;

    const StoredByteMap& map = byteMap(scope);
    CategoryNames categories(catePath);
    char text[kUrlWidth > kTitleWidth ? kUrlWidth : kTitleWidth];
    while (const uint8_t* rec = reader.next()) {
        const uint8_t* field = rec + offset;
        size_t length = 0;
        for (size_t i = 0; i < width; ++i) {
            const uint8_t s = field[i];
            if (s == kShift) // the stored terminator
                break;
            text[length] = static_cast<char>(map.to[s]);
            length += map.keep[s];
        }
        if (length < needle.size() || !::memmem(text, length, needle.data(), needle.size()))
            continue;
        const std::string* name = categories.nameOf(storedSiteCategoryId(rec));
        if (!name)
            return {SiteSearchResult::Status::CategoryFileMissing, {}};
        result.rows.push_back({storedSiteUrl(rec), *name, storedSiteTitle(rec)});
    }
    // A read that failed part way must not pass for a complete search.
    if (reader.failed())
        return {};
    return result;
}

} // namespace korvalo

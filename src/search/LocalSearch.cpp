#include "search/LocalSearch.h"

#include "data/RecordReader.h"
#include "data/Records.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace korvalo {

namespace {

// Where the two searchable texts lie in a stored site record (see
// Records.cpp); both are stored shifted once by kShift.
constexpr size_t kUrlOffset = 0;
constexpr size_t kTitleOffset = 84;

constexpr uint8_t kStretch = 0xDC; // ـ, dropped by the folding

// Both written without branches, so that the per-record loops below become
// vector code.
inline uint8_t upperByte(uint8_t b) {
    return static_cast<uint8_t>(uint8_t(b - 'a') < 26 ? b - ('a' - 'A') : b);
}

inline uint8_t foldByte(uint8_t b) {
    b = (b == 0xC3 || b == 0xC5 || b == 0xC2) ? 0xC7 : b; // أ إ آ -> ا
    b = b == 0xC4 ? 0xE6 : b;                             // ؤ -> و
    return b == 0xC9 ? 0xE5 : b;                          // ة -> ه
}

// The byte a stored (shifted) field byte is compared as: unshifted and
// upper-cased, and in the descriptions also folded. The stretching letter
// stays here; the caller drops it.
template <bool Fold> inline uint8_t compareByte(uint8_t stored) {
    const uint8_t up = upperByte(static_cast<uint8_t>(stored - kShift));
    return Fold ? foldByte(up) : up;
}

// Stored bytes that compare as one chosen byte of the query. A record whose
// field holds none of them cannot match, and memchr tells that faster than
// mapping the field.
template <bool Fold> struct Prefilter {
    std::array<uint8_t, 4> stored{};
    size_t count = 0; // 0: every record is mapped

    explicit Prefilter(std::string_view needle) {
        // Letters that nearly every description or address holds make a poor
        // filter, so they are chosen only when nothing else is left.
        constexpr std::string_view common = "\x20\xC7\xE1\xED\xE3\xE6\xE4\xE5\xD1\xCA\xC8./:HTPW";
        size_t bestScore = SIZE_MAX;
        for (char c : needle) {
            std::array<uint8_t, 4> found{};
            size_t n = 0;
            for (int s = 0; s < 256; ++s) {
                const uint8_t plain = uint8_t(s - kShift);
                if (plain == 0 || (Fold && plain == kStretch) ||
                    compareByte<Fold>(uint8_t(s)) != uint8_t(c))
                    continue;
                if (n < found.size())
                    found[n] = uint8_t(s);
                ++n;
            }
            if (n == 0 || n > found.size())
                continue;
            const size_t score = n * 2 + (common.find(c) != std::string_view::npos ? 1 : 0);
            if (score < bestScore) {
                bestScore = score;
                stored = found;
                count = n;
            }
        }
    }

    bool mayMatch(const uint8_t* field, size_t length) const {
        if (count == 0)
            return true;
        for (size_t i = 0; i < count; ++i)
            if (std::memchr(field, stored[i], length))
                return true;
        return false;
    }
};

// Category names by Id, the first record with an Id winning as in
// FindCategoryName. Read from "cate.dat" once, when the first match needs it.
class CategoryNames {
public:
    explicit CategoryNames(const std::string& path)
        : path_(path) {}

    // nullptr when the file cannot be opened or read.
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
        if (reader.failed())
            return false;
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

namespace {

// The scan for one field: Width is the field's array, Fold whether the
// descriptions' folding applies.
template <size_t Offset, size_t Width, bool Fold>
SiteSearchResult scanSites(RecordReader& reader, const std::string& catePath,
                           const std::string& needle) {
    SiteSearchResult result;
    result.status = SiteSearchResult::Status::Done;
    const Prefilter<Fold> prefilter(needle);
    CategoryNames categories(catePath);
    char text[Width];
    while (const uint8_t* rec = reader.next()) {
        const uint8_t* field = rec + Offset;
        // The filter may look past the terminator: a byte there only lets a
        // record through to the exact test.
        if (!prefilter.mayMatch(field, Width))
            continue;
        // The whole array, a fixed length the compiler vectorises; the
        // terminator comes out as 0 and ends the text.
        for (size_t i = 0; i < Width; ++i)
            text[i] = static_cast<char>(compareByte<Fold>(field[i]));
        const void* end = std::memchr(text, 0, Width);
        size_t length = end ? size_t(static_cast<const char*>(end) - text) : Width;
        if (Fold && std::memchr(text, kStretch, length))
            length = size_t(std::remove(text, text + length, char(kStretch)) - text);
        // glibc's memmem sets up a table on every call, which costs more than
        // the search itself in a field this short.
        if (std::string_view(text, length).find(needle) == std::string_view::npos)
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

} // namespace

SiteSearchResult SearchSites(const std::string& sitePath, const std::string& catePath,
                             std::string_view query, SearchScope scope) {
    RecordReader reader(kSiteRecordSize);
    if (!reader.open(sitePath))
        return {};
    const std::string needle = prepareSearchQuery(query);
    const bool description = scope == SearchScope::Description;
    // Folding never lengthens a text, so a longer query matches no field.
    if (needle.empty() || needle.size() > (description ? kTitleWidth : kUrlWidth))
        return {SiteSearchResult::Status::Done, {}};
    return description ? scanSites<kTitleOffset, kTitleWidth, true>(reader, catePath, needle)
                       : scanSites<kUrlOffset, kUrlWidth, false>(reader, catePath, needle);
}

} // namespace korvalo

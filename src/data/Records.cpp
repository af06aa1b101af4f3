#include "data/Records.h"

#include <cstring>

namespace korvalo {

namespace {

// Inclusive byte ranges that are stored shifted. They overlap at byte 159
// (the first byte of the language), which is therefore shifted twice.
struct Range {
    size_t first;
    size_t last;
};
constexpr Range kSiteRanges[] = {{0, 80}, {84, 159}, {159, 167}};
constexpr Range kCategoryRanges[] = {{0, 69}};

constexpr size_t kUrlOffset = 0;
constexpr size_t kCategoryIdOffset = 80;
constexpr size_t kTitleOffset = 84;
constexpr size_t kLanguageOffset = 159;
constexpr size_t kUserMarkOffset = 168;
constexpr size_t kSubCategoryIdOffset = 172;

constexpr size_t kNameOffset = 0;
constexpr size_t kIdOffset = 72;
constexpr size_t kIsRootOffset = 76;
constexpr size_t kParentIdOffset = 80;
constexpr size_t kCategoryUserMarkOffset = 84;

template <size_t N, size_t R>
void shift(std::array<uint8_t, N>& bytes, const Range (&ranges)[R], int direction) {
    for (const Range& r : ranges)
        for (size_t i = r.first; i <= r.last; ++i)
            bytes[i] = static_cast<uint8_t>(bytes[i] + direction * kShift);
}

void putText(uint8_t* dst, std::string_view text) {
    std::memcpy(dst, text.data(), text.size());
    dst[text.size()] = 0;
}

void putInt(uint8_t* dst, int32_t value) {
    const uint32_t v = static_cast<uint32_t>(value);
    dst[0] = static_cast<uint8_t>(v);
    dst[1] = static_cast<uint8_t>(v >> 8);
    dst[2] = static_cast<uint8_t>(v >> 16);
    dst[3] = static_cast<uint8_t>(v >> 24);
}

int32_t getInt(const uint8_t* src) {
    return static_cast<int32_t>(uint32_t(src[0]) | uint32_t(src[1]) << 8 | uint32_t(src[2]) << 16 |
                                uint32_t(src[3]) << 24);
}

// Reads a NUL-terminated text from a plain (already unshifted) array.
std::string getText(const uint8_t* src, size_t width) {
    const void* nul = std::memchr(src, 0, width);
    const size_t len = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - src) : width;
    return std::string(reinterpret_cast<const char*>(src), len);
}

// Length of a text in stored bytes shifted once by K: up to the stored
// terminator (the byte K), or the whole array when it has none.
size_t storedTextLength(const uint8_t* src, size_t width) {
    const void* end = std::memchr(src, kShift, width);
    return end ? static_cast<size_t>(static_cast<const uint8_t*>(end) - src) : width;
}

void unshiftInto(char* dst, const uint8_t* src, size_t len) {
    for (size_t i = 0; i < len; ++i)
        dst[i] = static_cast<char>(static_cast<uint8_t>(src[i] - kShift));
}

// Reads a text straight from stored bytes shifted once by K. A text that
// fills its array without a terminator stops at the array's end. Allocated
// at its exact size: a listing reads three texts from each of up to a
// million records, and short ones then fit the string itself.
std::string getStoredText(const uint8_t* src, size_t width) {
    const size_t len = storedTextLength(src, width);
    std::string out(len, '\0');
    unshiftInto(out.data(), src, len);
    return out;
}

} // namespace

const char* fieldName(TextField field) {
    switch (field) {
    case TextField::Url:
        return "Url";
    case TextField::Title:
        return "Title";
    case TextField::Language:
        return "Language";
    case TextField::Name:
        return "Name";
    }
    return "?";
}

size_t maxTextLength(TextField field) {
    switch (field) {
    case TextField::Url:
        return kUrlWidth - 1;
    case TextField::Title:
        return kTitleWidth - 1;
    case TextField::Language:
        return kLanguageWidth - 1;
    case TextField::Name:
        return kNameWidth - 1;
    }
    return 0;
}

std::string FieldError::describe() const {
    std::string s = fieldName(field);
    if (problem == TooLong)
        s += " is too long for its field (at most " + std::to_string(maxLength) + " bytes)";
    else
        s += " contains a NUL character";
    return s;
}

std::optional<FieldError> checkText(TextField field, std::string_view text) {
    const size_t max = maxTextLength(field);
    if (text.size() > max)
        return FieldError{field, FieldError::TooLong, max};
    if (text.find('\0') != std::string_view::npos)
        return FieldError{field, FieldError::HasNul, max};
    return std::nullopt;
}

std::optional<FieldError> checkSiteRecord(const SiteRecord& r) {
    if (auto e = checkText(TextField::Url, r.Url))
        return e;
    if (auto e = checkText(TextField::Title, r.Title))
        return e;
    return checkText(TextField::Language, r.Language);
}

std::optional<FieldError> checkCategoryRecord(const CategoryRecord& r) {
    return checkText(TextField::Name, r.Name);
}

bool EncodeSiteRecord(const SiteRecord& r, SiteBytes& out) {
    if (checkSiteRecord(r))
        return false;
    SiteBytes b{};
    putText(&b[kUrlOffset], r.Url);
    putInt(&b[kCategoryIdOffset], r.CategoryId);
    putText(&b[kTitleOffset], r.Title);
    putText(&b[kLanguageOffset], r.Language);
    putInt(&b[kUserMarkOffset], r.UserMark);
    putInt(&b[kSubCategoryIdOffset], r.SubCategoryId);
    shift(b, kSiteRanges, +1);
    out = b;
    return true;
}

bool EncodeCategoryRecord(const CategoryRecord& r, CategoryBytes& out) {
    if (checkCategoryRecord(r))
        return false;
    CategoryBytes b{};
    putText(&b[kNameOffset], r.Name);
    putInt(&b[kIdOffset], r.Id);
    putInt(&b[kIsRootOffset], r.IsRoot);
    putInt(&b[kParentIdOffset], r.ParentId);
    putInt(&b[kCategoryUserMarkOffset], r.UserMark);
    shift(b, kCategoryRanges, +1);
    out = b;
    return true;
}

SiteRecord DecodeSiteRecord(const uint8_t* stored) {
    SiteBytes b;
    std::memcpy(b.data(), stored, b.size());
    shift(b, kSiteRanges, -1);
    SiteRecord r;
    r.Url = getText(&b[kUrlOffset], kUrlWidth);
    r.CategoryId = getInt(&b[kCategoryIdOffset]);
    r.Title = getText(&b[kTitleOffset], kTitleWidth);
    r.Language = getText(&b[kLanguageOffset], kLanguageWidth);
    r.UserMark = getInt(&b[kUserMarkOffset]);
    r.SubCategoryId = getInt(&b[kSubCategoryIdOffset]);
    return r;
}

CategoryRecord DecodeCategoryRecord(const uint8_t* stored) {
    CategoryBytes b;
    std::memcpy(b.data(), stored, b.size());
    shift(b, kCategoryRanges, -1);
    CategoryRecord r;
    r.Name = getText(&b[kNameOffset], kNameWidth);
    r.Id = getInt(&b[kIdOffset]);
    r.IsRoot = getInt(&b[kIsRootOffset]);
    r.ParentId = getInt(&b[kParentIdOffset]);
    r.UserMark = getInt(&b[kCategoryUserMarkOffset]);
    return r;
}

int32_t storedSiteCategoryId(const uint8_t* s) {
    const uint8_t low = static_cast<uint8_t>(s[kCategoryIdOffset] - kShift);
    const uint8_t b[4] = {low, s[81], s[82], s[83]};
    return getInt(b);
}

int32_t storedSiteSubCategoryId(const uint8_t* s) {
    return getInt(s + kSubCategoryIdOffset);
}
void setStoredSiteUserMark(uint8_t* s, int32_t userMark) {
    putInt(s + kUserMarkOffset, userMark);
}
std::string storedSiteUrl(const uint8_t* s) {
    return getStoredText(s + kUrlOffset, kUrlWidth);
}
std::string storedSiteTitle(const uint8_t* s) {
    // The title's array ends at byte 158; byte 159 belongs to the language.
    return getStoredText(s + kTitleOffset, kTitleWidth);
}

std::string storedSiteLanguage(const uint8_t* s) {
    // The first byte lies in two shifted ranges and so carries 2K.
    const uint8_t first = static_cast<uint8_t>(s[kLanguageOffset] - 2 * kShift);
    if (first == 0)
        return {};
    const uint8_t* rest = s + kLanguageOffset + 1;
    const size_t len = storedTextLength(rest, kLanguageWidth - 1);
    std::string out(len + 1, '\0');
    out[0] = static_cast<char>(first);
    unshiftInto(out.data() + 1, rest, len);
    return out;
}

int32_t storedCategoryId(const uint8_t* s) {
    return getInt(s + kIdOffset);
}
int32_t storedCategoryIsRoot(const uint8_t* s) {
    return getInt(s + kIsRootOffset);
}
int32_t storedCategoryParentId(const uint8_t* s) {
    return getInt(s + kParentIdOffset);
}
std::string storedCategoryName(const uint8_t* s) {
    return getStoredText(s + kNameOffset, kNameWidth);
}

StoredText::StoredText(std::string_view plain, size_t offset, size_t width)
    : offset_(offset)
    , storable_(plain.size() < width && plain.find('\0') == std::string_view::npos) {
    shifted_.reserve(plain.size() + 1);
    for (char c : plain)
        shifted_.push_back(static_cast<char>(static_cast<uint8_t>(c) + kShift));
    shifted_.push_back(static_cast<char>(kShift)); // the stored terminator
}

bool StoredText::matches(const uint8_t* stored) const {
    // Scans call this once per record and nearly always miss; the first byte
    // settles most of them without a call to memcmp.
    return storable_ && stored[offset_] == static_cast<uint8_t>(shifted_[0]) &&
           std::memcmp(stored + offset_, shifted_.data(), shifted_.size()) == 0;
}

} // namespace korvalo

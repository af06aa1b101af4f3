#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvalo {

// The directory's fixed-size records. Text fields hold Windows-1256 bytes;
// the conversion to and from QString happens in the windows.

constexpr size_t kSiteRecordSize = 176;
constexpr size_t kCategoryRecordSize = 88;

// Added (mod 256) to the shifted bytes of every record on disk. Files written
// with one value read correctly only with the same one, so it never changes.
constexpr uint8_t kShift = 0x2B;

// Widths of the text arrays; the longest text a field holds is one less.
constexpr size_t kUrlWidth = 80;
constexpr size_t kTitleWidth = 75;
constexpr size_t kLanguageWidth = 9;
constexpr size_t kNameWidth = 70;

using SiteBytes = std::array<uint8_t, kSiteRecordSize>;
using CategoryBytes = std::array<uint8_t, kCategoryRecordSize>;

struct SiteRecord {
    std::string Url;
    int32_t CategoryId = 0;
    std::string Title;
    std::string Language;
    int32_t UserMark = 0;
    int32_t SubCategoryId = 0;

    bool operator==(const SiteRecord&) const = default;
};

struct CategoryRecord {
    std::string Name;
    int32_t Id = 0;
    int32_t IsRoot = 0;
    int32_t ParentId = 0;
    int32_t UserMark = 0;

    bool operator==(const CategoryRecord&) const = default;
};

enum class TextField { Url, Title, Language, Name };

// Why a text cannot be stored in its field.
struct FieldError {
    enum Problem { TooLong, HasNul };
    TextField field;
    Problem problem;
    size_t maxLength; // the field's width minus one

    std::string describe() const; // plain English, for the command-line tool
};

const char* fieldName(TextField field);
size_t maxTextLength(TextField field);

std::optional<FieldError> checkText(TextField field, std::string_view text);
std::optional<FieldError> checkSiteRecord(const SiteRecord& record);
std::optional<FieldError> checkCategoryRecord(const CategoryRecord& record);

// Lays the record out and applies the byte shift. A record that fails its
// check is never encoded: the function returns false and leaves out as it was.
// Bytes after a text's NUL and the padding are zero before the shift.
bool EncodeSiteRecord(const SiteRecord& record, SiteBytes& out);
bool EncodeCategoryRecord(const CategoryRecord& record, CategoryBytes& out);

SiteRecord DecodeSiteRecord(const uint8_t* stored);
CategoryRecord DecodeCategoryRecord(const uint8_t* stored);
inline SiteRecord DecodeSiteRecord(const SiteBytes& s) {
    return DecodeSiteRecord(s.data());
}
inline CategoryRecord DecodeCategoryRecord(const CategoryBytes& s) {
    return DecodeCategoryRecord(s.data());
}

// Single fields straight from the stored bytes, for scans that need only one
// or two of them.
int32_t storedSiteCategoryId(const uint8_t* stored);
int32_t storedSiteSubCategoryId(const uint8_t* stored);
std::string storedSiteUrl(const uint8_t* stored);
std::string storedSiteTitle(const uint8_t* stored);
std::string storedSiteLanguage(const uint8_t* stored);
int32_t storedCategoryId(const uint8_t* stored);
int32_t storedCategoryIsRoot(const uint8_t* stored);
int32_t storedCategoryParentId(const uint8_t* stored);
std::string storedCategoryName(const uint8_t* stored);

// Sets the UserMark of a stored site record in place (the field is not
// shifted), so a copied record keeps every other byte as it was.
void setStoredSiteUserMark(uint8_t* stored, int32_t userMark);

// A text in its stored (shifted) form with its terminator, so that a scan can
// compare a field with memcmp instead of decoding every record.
class StoredText {
public:
    // For a field at offset of the given width that is shifted once by K.
    // A text that could not be stored in the field matches nothing.
    StoredText(std::string_view plain, size_t offset, size_t width);
    bool matches(const uint8_t* stored) const;

private:
    std::string shifted_;
    size_t offset_;
    bool storable_;
};

inline StoredText storedUrlKey(std::string_view url) {
    return StoredText(url, 0, kUrlWidth);
}
inline StoredText storedCategoryNameKey(std::string_view name) {
    return StoredText(name, 0, kNameWidth);
}

// Special records and names.
inline constexpr std::string_view kPasswordUrl = "pass";
inline constexpr std::string_view kInfoCategoryName = "info";

} // namespace korvalo

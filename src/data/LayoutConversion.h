#pragma once

#include "data/SiteFile.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace korvalo {

// The directory's older record layouts and their conversion to the current
// ones, for directories built before sub-categories existed.
//
// An old site record is 172 bytes: the current record without SubCategoryId,
// every field at the same offset and shifted over the same ranges. An old
// category record is 88 bytes whose Name is the current one; its four words
// carry nothing the two-level tree can use.
constexpr size_t kOldSiteRecordSize = 172;
constexpr size_t kOldCategoryRecordSize = kCategoryRecordSize;

// The current record of an old site record: its stored bytes as they are
// (so no text is refused or cut) and SubCategoryId 0.
void convertOldSiteRecord(const uint8_t* old, uint8_t* out);
// The current record of the old category record at position (from 0): its
// stored Name as it is, Id = position, a main category, UserMark 0.
void convertOldCategoryRecord(const uint8_t* old, int32_t position, uint8_t* out);

// A length that only current records make: converting such a file again
// would shift every field of every record after the first.
inline bool holdsCurrentSiteRecords(uint64_t length) {
    return length % kSiteRecordSize == 0 && length % kOldSiteRecordSize != 0;
}

// The ids of an old category file that the conversion takes from their
// category: every stored Id that differs from its record's position. Id 0 is
// left out, as it names no category in the site file (see CategoryHasSites).
// nullopt when the file cannot be read.
std::optional<std::set<int32_t>> renumberedIds(const std::string& catePath);

// The ids of ids that some record of the site file holds as its CategoryId
// or SubCategoryId; nullopt when the site file cannot be read.
std::optional<std::set<int32_t>> idsInUse(const std::string& sitePath,
                                          const std::set<int32_t>& ids);

enum class ConversionStatus {
    Converted,
    AlreadyConverted, // the site file's length says it holds current records
    Failed,           // see rewrite
};

struct ConversionResult {
    ConversionStatus status = ConversionStatus::Converted;
    DataFileResult rewrite; // count is the records written when converted
};

// Converts the site file in place through the scratch file, under its lock;
// the file is replaced atomically, so a failure or a kill leaves it byte for
// byte as it was. A trailing part of an old record is dropped.
ConversionResult ConvertSiteFile(const std::string& sitePath, const std::string& scratchPath);

// Converts "cate.dat" in place the same way: every category becomes a main
// category with its position for Id.
ConversionResult ConvertCategoryFile(const std::string& catePath, const std::string& scratchPath);

} // namespace korvalo

// The record decoders over any stored bytes: the single-field readers agree
// with the full decode, a decoded record encodes to bytes that decode the
// same, and the stored-form keys find exactly what they should.

#include "FuzzSupport.h"

#include "data/Records.h"

#include <algorithm>
#include <cstring>

using namespace korvalo;

namespace {

void checkSite(const uint8_t* stored) {
    const SiteRecord r = DecodeSiteRecord(stored);
    FUZZ_CHECK(storedSiteUrl(stored) == r.Url);
    FUZZ_CHECK(storedSiteTitle(stored) == r.Title);
    FUZZ_CHECK(storedSiteLanguage(stored) == r.Language);
    FUZZ_CHECK(storedSiteCategoryId(stored) == r.CategoryId);
    FUZZ_CHECK(storedSiteSubCategoryId(stored) == r.SubCategoryId);

    SiteBytes again;
    if (EncodeSiteRecord(r, again))
        FUZZ_CHECK(DecodeSiteRecord(again) == r);
    else
        FUZZ_CHECK(checkSiteRecord(r).has_value());
    if (r.Url.size() < kUrlWidth) {
        FUZZ_CHECK(storedUrlKey(r.Url).matches(stored));
        FUZZ_CHECK(!storedUrlKey(r.Url + "x").matches(stored));
    }

    SiteBytes marked;
    std::memcpy(marked.data(), stored, kSiteRecordSize);
    setStoredSiteUserMark(marked.data(), 7);
    SiteRecord expected = r;
    expected.UserMark = 7;
    FUZZ_CHECK(DecodeSiteRecord(marked) == expected);
}

void checkCategory(const uint8_t* stored) {
    const CategoryRecord r = DecodeCategoryRecord(stored);
    FUZZ_CHECK(storedCategoryName(stored) == r.Name);
    FUZZ_CHECK(storedCategoryId(stored) == r.Id);
    FUZZ_CHECK(storedCategoryIsRoot(stored) == r.IsRoot);
    FUZZ_CHECK(storedCategoryParentId(stored) == r.ParentId);

    CategoryBytes again;
    if (EncodeCategoryRecord(r, again))
        FUZZ_CHECK(DecodeCategoryRecord(again) == r);
    else
        FUZZ_CHECK(checkCategoryRecord(r).has_value());
    if (r.Name.size() < kNameWidth) {
        FUZZ_CHECK(storedCategoryNameKey(r.Name).matches(stored));
        FUZZ_CHECK(!storedCategoryNameKey(r.Name + "x").matches(stored));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The input read as one record of each kind, padded with zero bytes.
    SiteBytes site{};
    std::memcpy(site.data(), data, std::min(size, kSiteRecordSize));
    checkSite(site.data());
    CategoryBytes category{};
    std::memcpy(category.data(), data, std::min(size, kCategoryRecordSize));
    checkCategory(category.data());
    return 0;
}

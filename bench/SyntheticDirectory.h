#pragma once

#include "data/Records.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvalo::bench {

// A made-up directory of any size, the same bytes on every run: every record
// is a pure function of its index, so a benchmark can name the address of
// site i without reading the file.
//
// Layout: kMainCategories main categories (Ids 1..40), each with a few
// sub-categories, and the "info" category. Main category 1 holds one site in
// twenty (5%); the others share the rest. The version record and the password
// record sit in the middle of the site file.
class SyntheticDirectory {
public:
    static constexpr int kMainCategories = 40;
    static constexpr int32_t kBigCategoryId = 1;
    static constexpr int32_t kInfoCategoryId = 9000;

    // subCategoriesPerMain: 4 gives the ordinary file of about 200 categories,
    // 49 the file of 2 000 categories the category-view benchmark wants.
    // password: the password record's Title; empty keeps the record but
    // leaves the program without a password gate.
    SyntheticDirectory(uint64_t sites, int subCategoriesPerMain = 4,
                       std::string password = "bench-secret");

    uint64_t sites() const { return sites_; }

    SiteRecord site(uint64_t index) const;
    std::vector<CategoryRecord> categories() const;

    // Writes the files with large writes; throws std::runtime_error on failure.
    void writeSiteFile(const std::string& path) const;
    void writeCategoryFile(const std::string& path) const;

    // Facts a benchmark checks its results against.
    uint64_t bigCategoryRows() const;      // sites listed under category 1
    std::string bigCategoryName() const;   // Windows-1256
    std::string smallCategoryName() const; // a main category with fewer sites
    std::string versionLabel() const { return "bench-2.2"; }
    const std::string& password() const { return password_; }
    std::string absentUrl() const; // an address no record has
    uint64_t versionIndex() const { return sites_ / 3; }
    uint64_t passwordIndex() const { return sites_ / 2; }

private:
    std::string mainName(int32_t id) const;
    std::string subName(int32_t mainId, int k) const;
    int32_t subId(int32_t mainId, int k) const;

    uint64_t sites_;
    int subsPerMain_;
    std::string password_;
};

} // namespace korvalo::bench

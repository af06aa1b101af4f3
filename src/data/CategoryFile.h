#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvalo {

// Lookups over "cate.dat". Each opens the file, reads it from the start and
// closes it again; names compare byte for byte and the first match in file
// order wins. A result of nullopt means the file could not be opened or read
// to the end, which the program treats as fatal (the category file is
// required).

std::optional<int32_t> FindCategoryId(const std::string& catePath, const std::string& name);
std::optional<int32_t> IsRootCategory(const std::string& catePath, const std::string& name);
std::optional<int32_t> FindParentId(const std::string& catePath, const std::string& name);

// Where a site chosen under the named category is filed: for a main
// category its Id with no sub-category, for a sub-category its parent's Id
// and its own. The last record with the name decides; none gives 0 and 0.
struct SiteCategory {
    int32_t categoryId = 0;
    int32_t subCategoryId = 0;
};
std::optional<SiteCategory> ResolveSiteCategory(const std::string& catePath,
                                                const std::string& name);

struct CategoryNameLookup {
    bool opened = false;
    std::optional<std::string> name; // unset when no record has the id
};
CategoryNameLookup FindCategoryName(const std::string& catePath, int32_t id);

// The two-level tree as every category view shows it: main categories in file
// order, each followed by the sub-categories whose ParentId is its Id, in file
// order. Main categories named "info" are left out; sub-categories whose
// parent is not a shown main category never appear.
struct CategoryTree {
    struct Main {
        std::string name;
        int32_t id = 0;
        std::vector<std::string> children;
    };
    std::vector<Main> mains;
    // The flat lists: every shown name, each main followed by its children.
    std::vector<std::string> flat;
    // The hidden list of names the program works from: the flat list without
    // any "info".
    std::vector<std::string> names;
};

std::optional<CategoryTree> ReadCategoryTree(const std::string& catePath);

} // namespace korvalo

#include "data/CategoryFile.h"

#include "data/RecordReader.h"
#include "data/Records.h"

#include <unordered_map>

namespace korvalo {

namespace {

// Calls visit(stored) for each record until it returns false. False when the
// file cannot be opened or a read fails before visit has stopped it.
template <typename Visit> bool forEachCategory(const std::string& path, Visit visit) {
    RecordReader reader(kCategoryRecordSize);
    if (!reader.open(path))
        return false;
    while (const uint8_t* rec = reader.next())
        if (!visit(rec))
            return true;
    return !reader.failed();
}

std::optional<int32_t> firstFieldByName(const std::string& path, const std::string& name,
                                        int32_t (*field)(const uint8_t*)) {
    const StoredText key = storedCategoryNameKey(name);
    int32_t result = 0;
    const bool opened = forEachCategory(path, [&](const uint8_t* rec) {
        if (!key.matches(rec))
            return true;
        result = field(rec);
        return false;
    });
    if (!opened)
        return std::nullopt;
    return result;
}

} // namespace

std::optional<int32_t> FindCategoryId(const std::string& catePath, const std::string& name) {
    return firstFieldByName(catePath, name, storedCategoryId);
}

std::optional<int32_t> IsRootCategory(const std::string& catePath, const std::string& name) {
    return firstFieldByName(catePath, name, storedCategoryIsRoot);
}

std::optional<int32_t> FindParentId(const std::string& catePath, const std::string& name) {
    return firstFieldByName(catePath, name, storedCategoryParentId);
}

std::optional<SiteCategory> ResolveSiteCategory(const std::string& catePath,
                                                const std::string& name) {
    const StoredText key = storedCategoryNameKey(name);
    SiteCategory result;
    const bool opened = forEachCategory(catePath, [&](const uint8_t* rec) {
        if (key.matches(rec)) {
            if (storedCategoryIsRoot(rec) != 0)
                result = {storedCategoryId(rec), 0};
            else
                result = {storedCategoryParentId(rec), storedCategoryId(rec)};
        }
        return true;
    });
    if (!opened)
        return std::nullopt;
    return result;
}

CategoryNameLookup FindCategoryName(const std::string& catePath, int32_t id) {
    CategoryNameLookup result;
    result.opened = forEachCategory(catePath, [&](const uint8_t* rec) {
        if (storedCategoryId(rec) != id)
            return true;
        result.name = storedCategoryName(rec);
        return false;
    });
    return result;
}

std::optional<CategoryTree> ReadCategoryTree(const std::string& catePath) {
    // Only the fields the tree needs, read straight from the stored bytes.
    std::vector<CategoryRecord> records;
    if (!forEachCategory(catePath, [&](const uint8_t* rec) {
            records.push_back({storedCategoryName(rec), storedCategoryId(rec),
                               storedCategoryIsRoot(rec), storedCategoryParentId(rec), 0});
            return true;
        }))
        return std::nullopt;

    // Children by parent id, each list in file order. Matching by ParentId
    // alone means two main categories sharing an Id both get all its children.
    std::unordered_map<int32_t, std::vector<const CategoryRecord*>> children;
    for (const CategoryRecord& r : records)
        if (r.IsRoot == 0)
            children[r.ParentId].push_back(&r);

    CategoryTree tree;
    tree.flat.reserve(records.size());
    tree.names.reserve(records.size());
    for (const CategoryRecord& r : records) {
        if (r.IsRoot == 0 || r.Name == kInfoCategoryName)
            continue;
        CategoryTree::Main main{r.Name, r.Id, {}};
        tree.flat.push_back(r.Name);
        tree.names.push_back(r.Name);
        if (const auto it = children.find(r.Id); it != children.end()) {
            for (const CategoryRecord* c : it->second) {
                main.children.push_back(c->Name);
                tree.flat.push_back(c->Name);
                if (c->Name != kInfoCategoryName)
                    tree.names.push_back(c->Name);
            }
        }
        tree.mains.push_back(std::move(main));
    }
    return tree;
}

} // namespace korvalo

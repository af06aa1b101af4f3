#include "data/CategoryEdit.h"

#include "data/CategoryFile.h"
#include "data/RecordReader.h"
#include "platform/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <unistd.h>

namespace korvalo {

namespace {

std::string systemError(const char* what, const std::string& path, int err) {
    return std::string(what) + " " + path + ": " + std::strerror(err);
}

AddCategoryResult addFailure(AddCategoryStatus status, std::string error) {
    AddCategoryResult r;
    r.status = status;
    r.error = std::move(error);
    return r;
}

} // namespace

AddCategoryRefusal checkAddCategoryChoice(bool nameEmpty, bool subCategory, bool nodeSelected,
                                          bool selectedIsTopLevel) {
    if (nameEmpty)
        return AddCategoryRefusal::EmptyName;
    if (!subCategory)
        return AddCategoryRefusal::None;
    if (!nodeSelected)
        return AddCategoryRefusal::NoMainSelected;
    if (!selectedIsTopLevel)
        return AddCategoryRefusal::SubOfSubCategory;
    return AddCategoryRefusal::None;
}

AddCategoryResult AddCategory(const std::string& catePath, const std::string& name,
                              bool subCategory, const std::string& parentName, int32_t userMark) {
    if (const auto bad = checkText(TextField::Name, name)) {
        AddCategoryResult r = addFailure(AddCategoryStatus::InvalidName, bad->describe());
        r.fieldError = bad;
        return r;
    }
    // A missing file is reported before a lock file is created beside it.
    if (::access(catePath.c_str(), F_OK) != 0)
        return addFailure(AddCategoryStatus::CannotRead,
                          systemError("cannot open", catePath, errno));
    // Held until the append: another copy adding at the same time would
    // otherwise take the same largest Id.
    FileLock lock(lockPathFor(catePath));
    if (!lock.locked())
        return addFailure(AddCategoryStatus::CannotAppend,
                          systemError("cannot lock", lockPathFor(catePath), errno));

    RecordReader in(kCategoryRecordSize);
    if (!in.open(catePath))
        return addFailure(AddCategoryStatus::CannotRead,
                          systemError("cannot open", catePath, errno));
    const StoredText parentKey = storedCategoryNameKey(parentName);
    int32_t largest = 0;
    std::optional<int32_t> parentId;
    while (const uint8_t* rec = in.next()) {
        largest = std::max(largest, storedCategoryId(rec));
        if (subCategory && !parentId && parentKey.matches(rec))
            parentId = storedCategoryId(rec);
    }
    if (in.failed())
        return addFailure(AddCategoryStatus::CannotRead, "cannot read " + catePath);
    if (largest == std::numeric_limits<int32_t>::max())
        return addFailure(AddCategoryStatus::NoFreeId,
                          "no Id left above " + std::to_string(largest));

    CategoryRecord record;
    record.Name = name;
    record.Id = largest + 1;
    record.IsRoot = subCategory ? 0 : 1;
    record.ParentId = subCategory ? parentId.value_or(0) : 0;
    record.UserMark = userMark;
    CategoryBytes bytes;
    if (!EncodeCategoryRecord(record, bytes))
        return addFailure(AddCategoryStatus::InvalidName, "record does not fit");

    AppendOptions options;
    options.lockHeldByCaller = true;
    const DataFileResult appended = appendRecord(catePath, bytes.data(), bytes.size(), options);
    if (!appended.ok())
        return addFailure(AddCategoryStatus::CannotAppend, appended.error);
    AddCategoryResult r;
    r.id = record.Id;
    r.parentId = record.ParentId;
    return r;
}

DataFileResult RenameCategory(const std::string& catePath, const std::string& scratchPath,
                              const std::string& oldName, const std::string& newName) {
    if (const auto bad = checkText(TextField::Name, newName)) {
        DataFileResult r;
        r.status = DataFileStatus::InvalidRecord;
        r.fieldError = bad;
        r.error = bad->describe();
        return r;
    }
    // The stored form of the new Name array; the rest of the renamed record
    // (padding, Id, links, mark) is copied as stored.
    CategoryRecord named;
    named.Name = newName;
    CategoryBytes nameBytes;
    EncodeCategoryRecord(named, nameBytes);

    const StoredText key = storedCategoryNameKey(oldName);
    RecordRewrite rewrite;
    rewrite.recordSize = kCategoryRecordSize;
    rewrite.replaceFirst = [&](const uint8_t* stored, uint8_t* out) {
        if (!key.matches(stored))
            return false;
        std::memcpy(out, stored, kCategoryRecordSize);
        std::memcpy(out, nameBytes.data(), kNameWidth);
        return true;
    };
    return rewriteThroughScratch(catePath, scratchPath, rewrite);
}

CategorySitesCheck CategoryHasSites(const std::string& sitePath, int32_t id) {
    CategorySitesCheck check;
    RecordReader in(kSiteRecordSize);
    if (!in.open(sitePath))
        return check;
    if (id != 0) {
        while (const uint8_t* rec = in.next()) {
            if (storedSiteCategoryId(rec) == id || storedSiteSubCategoryId(rec) == id) {
                check.hasSites = true;
                break;
            }
        }
        if (in.failed())
            return {};
    }
    check.opened = true;
    return check;
}

DataFileResult RemoveCategoryRecords(const std::string& catePath, const std::string& scratchPath,
                                     const std::string& name) {
    const StoredText key = storedCategoryNameKey(name);
    RecordRewrite rewrite;
    rewrite.recordSize = kCategoryRecordSize;
    rewrite.keep = [&key](const uint8_t* stored) { return !key.matches(stored); };
    return rewriteThroughScratch(catePath, scratchPath, rewrite);
}

DeleteCategoryResult DeleteCategory(const std::string& catePath, const SiteFile& siteFile,
                                    const std::string& name,
                                    const std::function<bool()>& confirmSites) {
    DeleteCategoryResult r;
    // Without a site file the delete stops silently, before "cate.dat" is
    // even looked at.
    if (::access(siteFile.path().c_str(), R_OK) != 0) {
        r.status = DeleteCategoryStatus::SiteFileNotOpened;
        return r;
    }
    const std::optional<int32_t> id = FindCategoryId(catePath, name);
    if (!id) {
        r.status = DeleteCategoryStatus::CategoryFileNotOpened;
        return r;
    }
    r.id = *id;
    const CategorySitesCheck check = CategoryHasSites(siteFile.path(), r.id);
    if (!check.opened) {
        r.status = DeleteCategoryStatus::SiteFileNotOpened;
        return r;
    }
    r.hadSites = check.hasSites;
    if (r.hadSites && confirmSites && !confirmSites()) {
        r.status = DeleteCategoryStatus::Declined;
        return r;
    }

    // The sites go first: a delete cut short after them leaves the category
    // in the tree, to be deleted again, where the other order would leave
    // sites whose category is gone. Only CategoryId is matched: a
    // sub-category's sites carry their main category's Id there, so deleting
    // a sub-category removes none of them.
    if (r.hadSites) {
        r.sites = siteFile.RemoveCategorySites(r.id);
        if (!r.sites->ok()) {
            r.status = DeleteCategoryStatus::SiteRemovalFailed;
            return r;
        }
    }
    r.categories = RemoveCategoryRecords(catePath, siteFile.scratchPath(), name);
    if (!r.categories.ok())
        r.status = DeleteCategoryStatus::CategoryRewriteFailed;
    return r;
}

} // namespace korvalo

#pragma once

#include "data/Records.h"
#include "data/SiteFile.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace korvalo {

// The three changes the user makes to "cate.dat": add, rename and delete.
// Names are Windows-1256 bytes and compare byte for byte. Nothing here shows
// anything; the caller maps each status to its message.

// Why the add page refuses before touching the file; checked in this order.
enum class AddCategoryRefusal {
    None,
    EmptyName, // nothing happens
    NoMainSelected, // "لأضافة هذا الفرع يجب تحديد الجذر الرئيسي اولاً"
    SubOfSubCategory // "لا يمكنك اضافة فرع لفرع"
};
AddCategoryRefusal checkAddCategoryChoice(bool nameEmpty, bool subCategory, bool nodeSelected,
                                          bool selectedIsTopLevel);

enum class AddCategoryStatus {
    Added,
    CannotRead,   // "cate.dat" cannot be opened or read: the fatal message
    CannotAppend, // it cannot be appended to: the plain message, the program goes on
    InvalidName,  // the name does not fit Name (see fieldError); nothing written
    NoFreeId,     // the largest Id is already the largest int32; nothing written
};

struct AddCategoryResult {
    AddCategoryStatus status = AddCategoryStatus::Added;
    int32_t id = 0;       // the new category's Id when added
    int32_t parentId = 0; // its ParentId when added
    std::optional<FieldError> fieldError;
    std::string error; // the system's reason, for logs
};

// Appends one category with Id = largest Id in the file (over main and sub
// records, 0 for an empty file) + 1. A sub-category's ParentId is the Id of
// the first record named parentName (0 when none); a main category ignores
// parentName. The file stays locked from the read of the ids to the append.
AddCategoryResult AddCategory(const std::string& catePath, const std::string& name,
                              bool subCategory, const std::string& parentName, int32_t userMark);

// Gives the first record whose Name equals oldName the name newName; every
// other byte of the file stays as it was. Through the scratch file, like every
// rewrite. A new name longer than 69 bytes or holding a NUL is refused with
// InvalidRecord before anything is written. replaced tells whether oldName
// was found (the file is rewritten unchanged when it was not).
DataFileResult RenameCategory(const std::string& catePath, const std::string& scratchPath,
                              const std::string& oldName, const std::string& newName);

// Deleting a category, step by step, so that the window can ask between the
// steps.

struct CategorySitesCheck {
    bool opened = false; // the site file could be opened and read
    bool hasSites = false;
};

// Whether any site has CategoryId == id or SubCategoryId == id. Id 0 names no
// category (see ListCategorySites), so it never has sites.
CategorySitesCheck CategoryHasSites(const std::string& sitePath, int32_t id);

// Removes every record whose Name equals name, through the scratch file.
DataFileResult RemoveCategoryRecords(const std::string& catePath, const std::string& scratchPath,
                                     const std::string& name);

// A failed step is shown with the message of its DataFileResult's status
// (the scratch-file message for ScratchFailed, nothing for the others).
enum class DeleteCategoryStatus {
    Deleted,
    SiteFileNotOpened,     // stop silently
    CategoryFileNotOpened, // the fatal message
    Declined,              // the user answered "الغاء" to the sites question
    CategoryRewriteFailed, // the sites (if any) are gone, the category is not; see categories
    SiteRemovalFailed,     // nothing changed; see sites
};

struct DeleteCategoryResult {
    DeleteCategoryStatus status = DeleteCategoryStatus::Deleted;
    int32_t id = 0;
    bool hadSites = false;
    DataFileResult categories;           // the rewrite of "cate.dat", once run
    std::optional<DataFileResult> sites; // RemoveCategorySites, when it ran
};

// The delete after the first question: looks up the id of the first category
// named name, checks for its sites and, when it has some, asks confirmSites
// (false stops with nothing changed), removes the sites whose CategoryId is
// the id and then every category of that name. When sites ran and succeeded,
// sites->count is the new site count, even when the second step then failed:
// the category is still there and a second delete finishes the work.
DeleteCategoryResult DeleteCategory(const std::string& catePath, const SiteFile& siteFile,
                                    const std::string& name,
                                    const std::function<bool()>& confirmSites);

} // namespace korvalo

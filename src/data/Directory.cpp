#include "data/Directory.h"

#include "browser/FavoritesFile.h"
#include "browser/InternetShortcut.h"
#include "data/CategoryEdit.h"
#include "data/Cp1256.h"
#include "data/FieldText.h"
#include "data/LayoutConversion.h"
#include "data/OpeningProgress.h"
#include "data/SourceText.h"
#include "data/VersionRecord.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace korvalo {

namespace {

// Texts that came from the files always convert back; anything else that
// the code page cannot hold matches no stored text, as an empty one.
std::string bytesOf(const QString& text) {
    return Cp1256::fromUnicode(text).value_or(std::string());
}

struct CheckedTexts {
    std::string url;
    std::string title;
    std::string language;
};

// Every text of an entry fits its field, or the message says which does not.
std::optional<CheckedTexts> checkTexts(const SiteEntry& entry, QString* problem) {
    const auto title = fieldBytes(entry.title, TextField::Title, problem);
    const auto url = title ? fieldBytes(entry.url, TextField::Url, problem) : std::nullopt;
    const auto language =
        url ? fieldBytes(entry.language, TextField::Language, problem) : std::nullopt;
    if (!language)
        return std::nullopt;
    return CheckedTexts{*url, *title, *language};
}

} // namespace

Directory::Directory(QObject* parent)
    : QObject(parent) {}

void Directory::setProgramDir(const QString& dir) {
    state_.programDir = dir;
    if (!state_.programDir.endsWith(QLatin1Char('/')))
        state_.programDir += QLatin1Char('/');
}

SiteFile Directory::siteFile() const {
    return SiteFile(state_.path(QString()), QFile::encodeName(state_.siteFileName).toStdString());
}

Outcome Directory::tell(Outcome outcome) {
    if (outcome.status == Outcome::Status::CategoryFileMissing)
        Q_EMIT categoryFileMissing();
    else if (!outcome.message.isEmpty())
        Q_EMIT notice(outcome);
    return outcome;
}

Outcome Directory::tell(const DataFileResult& result) {
    switch (result.status) {
    case DataFileStatus::Done:
        return Outcome::done();
    case DataFileStatus::Duplicate:
        return tell(Outcome::duplicate());
    case DataFileStatus::ScratchFailed:
        return tell(Outcome::scratchFailed());
    default:
        return Outcome::notOpened();
    }
}

void Directory::setSiteCount(int64_t count) {
    state_.siteCount = count;
    Q_EMIT siteCountChanged(count);
}

std::optional<OpeningRead> Directory::readAtStartup() {
    const CategoryNameLookup first = FindCategoryName(state_.catePath(), 1);
    if (!first.opened) {
        tell(Outcome::categoryFileMissing());
        return std::nullopt;
    }
    const int32_t infoId =
        FindCategoryId(state_.catePath(), std::string(kInfoCategoryName)).value_or(0);
    StartupScan scan = ScanSiteFileAtStartup(state_.sitePath(), infoId);
    if (!scan.opened) {
        tell(Outcome::siteFileMissing(state_.siteFileName));
        return std::nullopt;
    }
    // Shown by the window once the rest of start-up has read its files.
    state_.siteCount = static_cast<int64_t>(scan.siteCount);
    state_.versionLabel = Cp1256::toUnicode(scan.versionLabel);
    state_.storedPassword = Cp1256::toUnicode(scan.storedPassword);

    // Writers killed midway in an earlier run may have left their temporary
    // files beside the data files.
    for (const std::string& data : {state_.sitePath(), state_.catePath(), state_.favoritesPath()})
        removeStaleTemporaries(data);
    return OpeningRead{first.name ? Cp1256::toUnicode(*first.name) : QString(),
                       std::move(scan.firstCategoryRows)};
}

std::vector<SiteRow> Directory::favorites() const {
    return ReadSiteRows(state_.favoritesPath());
}

std::optional<CategoryTree> Directory::categoryTree() {
    std::optional<CategoryTree> tree = ReadCategoryTree(state_.catePath());
    if (!tree)
        tell(Outcome::categoryFileMissing());
    return tree;
}

std::optional<SiteRowBuffer> Directory::categorySites(const QString& name, bool sub) {
    // A sub-category is found by the last record of its name, everything
    // else by the first.
    const std::optional<int32_t> id =
        sub ? FindLastCategoryIdByName(state_.catePath(), bytesOf(name))
            : FindCategoryId(state_.catePath(), bytesOf(name));
    if (!id) {
        tell(Outcome::categoryFileMissing());
        return std::nullopt;
    }
    SiteListingResult listing = ListCategorySites(state_.sitePath(), *id, sub);
    if (!listing.opened)
        return std::nullopt;
    return std::move(listing.rows);
}

std::optional<SiteRowBuffer> Directory::searchSites(const QString& query, SearchScope scope) {
    // A character the code page cannot hold occurs in no record: such a query
    // searches as the empty one, which matches nothing.
    SiteSearchResult result =
        SearchSites(state_.sitePath(), state_.catePath(), bytesOf(query), scope);
    if (result.status == SiteSearchResult::Status::CategoryFileMissing) {
        tell(Outcome::categoryFileMissing());
        return std::nullopt;
    }
    if (!result.opened())
        return std::nullopt;
    return std::move(result.rows);
}

Outcome Directory::buildRecord(const SiteEntry& entry, bool lastOfName, int32_t userMark,
                               SiteRecord& record) {
    // Every text is checked before anything is read or written.
    QString problem;
    const std::optional<CheckedTexts> texts = checkTexts(entry, &problem);
    if (!texts)
        return tell(Outcome::refused(problem));
    const std::string cate = state_.catePath();
    const std::string name = bytesOf(entry.categoryName);
    SiteCategory category;
    if (lastOfName) {
        const std::optional<SiteCategory> found = ResolveSiteCategory(cate, name);
        if (!found)
            return tell(Outcome::categoryFileMissing());
        category = *found;
    } else {
        const std::optional<int32_t> isRoot = IsRootCategory(cate, name);
        const std::optional<int32_t> id = FindCategoryId(cate, name);
        const std::optional<int32_t> parent = FindParentId(cate, name);
        if (!isRoot || !id || !parent)
            return tell(Outcome::categoryFileMissing());
        category = *isRoot != 0 ? SiteCategory{*id, 0} : SiteCategory{*parent, *id};
    }
    record = SiteRecord{texts->url, category.categoryId,   texts->title, texts->language,
                        userMark,   category.subCategoryId};
    return Outcome::done();
}

Outcome Directory::append(const SiteRecord& record) {
    const DataFileResult r = siteFile().AppendSite(record);
    if (!r.ok())
        return tell(r);
    Q_EMIT siteAppended({record.Url, record.Language, record.Title});
    setSiteCount(state_.siteCount + 1);
    return Outcome::done();
}

Outcome Directory::addSite(const SiteEntry& entry) {
    if (entry.title.isEmpty() || entry.categoryName.isEmpty())
        return tell(Outcome::refused(u("يجب اكمال الخانات الفارغه")));
    int32_t mark = 0;
    if (Outcome o = checkedUserMark(mark); !o.ok())
        return o;
    SiteRecord record;
    if (Outcome o = buildRecord(entry, true, mark, record); !o.ok())
        return o;
    return append(record);
}

Outcome Directory::addShortcut(const SiteEntry& entry) {
    if (entry.categoryName.isEmpty())
        return tell(Outcome::refused(u("عفواً لم تقم بتحديد الموضوع")));
    int32_t mark = 0;
    if (Outcome o = checkedUserMark(mark); !o.ok())
        return o;
    SiteRecord record;
    if (Outcome o = buildRecord(entry, false, mark, record); !o.ok())
        return o;
    return append(record);
}

Outcome Directory::beginEdit(const QString& address, std::optional<EditedSite>& site) {
    const std::string url = bytesOf(address);
    bool categoriesMissing = false;
    site.reset();
    const DataFileResult read = siteFile().ReadSites([&](const SiteRecord& r) {
        if (r.Url != url)
            return true;
        const int32_t id = r.SubCategoryId != 0 ? r.SubCategoryId : r.CategoryId;
        const CategoryNameLookup name = FindCategoryName(state_.catePath(), id);
        if (!name.opened) {
            categoriesMissing = true;
            return false;
        }
        // The last record with the address is the one the dialog shows.
        site = EditedSite{
            Cp1256::toUnicode(r.Title), Cp1256::toUnicode(r.Url), Cp1256::toUnicode(r.Language),
            name.name ? std::optional(Cp1256::toUnicode(*name.name)) : std::nullopt, r.UserMark};
        return true;
    });
    if (categoriesMissing)
        return tell(Outcome::categoryFileMissing());
    if (!read.ok())
        return Outcome::notOpened();
    // The edit goes through the scratch file; without one there is no edit.
    QFile scratch(QFile::decodeName(QByteArray::fromStdString(siteFile().scratchPath())));
    if (!scratch.open(QIODevice::WriteOnly | QIODevice::Append))
        return tell(Outcome::scratchFailed());
    return Outcome::done();
}

Outcome Directory::replaceSite(const QString& address, const SiteEntry& entry,
                               const QString& userMark) {
    // Nothing is written until every field fits its record.
    QString problem;
    if (!checkTexts(entry, &problem))
        return tell(Outcome::refused(problem));
    bool markOk = false;
    const int32_t mark = userMark.trimmed().toInt(&markOk);
    if (!markOk)
        return tell(Outcome::refused(u("رقم المستخدم يجب ان يكون عدداً صحيحاً")));
    // No category chosen files the site under none (ids 0).
    SiteRecord record;
    if (Outcome o = buildRecord(entry, false, mark, record); !o.ok())
        return o;
    const DataFileResult r = siteFile().ReplaceSite(bytesOf(address), record);
    if (!r.ok())
        return tell(r);
    setSiteCount(static_cast<int64_t>(r.count));
    Q_EMIT siteEdited();
    return Outcome::done();
}

Outcome Directory::removeSite(const QString& address) {
    const DataFileResult r = siteFile().RemoveSites(bytesOf(address));
    if (!r.ok())
        return tell(r);
    setSiteCount(static_cast<int64_t>(r.count));
    return Outcome::done();
}

void Directory::sendToBrowserFavorites(const QString& address) {
    const std::string url = bytesOf(address);
    siteFile().ReadSites([&](const SiteRecord& r) {
        if (r.Url != url)
            return true;
        if (!WriteInternetShortcut(state_.favoritesFolder, Cp1256::toUnicode(r.Title),
                                   Cp1256::toUnicode(r.Url))) {
            tell(Outcome{Outcome::Status::NotOpened,
                         u("لم يتم نقل العنوان الى المفضلة لعدم وجود مساحة خالية")});
            return false;
        }
        tell(Outcome::done(u("تمت عملية نقل الموقع الى مفضلة المتصفح بنجاح")));
        return true;
    });
}

Outcome Directory::addCategory(const QString& name, bool subCategory,
                               const std::optional<ChosenCategory>& selected) {
    switch (checkAddCategoryChoice(name.isEmpty(), subCategory, selected.has_value(),
                                   selected && selected->topLevel)) {
    case AddCategoryRefusal::None:
        break;
    case AddCategoryRefusal::EmptyName:
        return Outcome::refused({});
    case AddCategoryRefusal::NoMainSelected:
        return tell(Outcome::refused(u("لأضافة هذا الفرع يجب تحديد الجذر الرئيسي اولاً")));
    case AddCategoryRefusal::SubOfSubCategory:
        return tell(Outcome::refused(u("لا يمكنك اضافة فرع لفرع")));
    }
    QString problem;
    const auto bytes = fieldBytes(name, TextField::Name, &problem);
    if (!bytes)
        return tell(Outcome::refused(problem));
    int32_t mark = 0;
    if (Outcome o = checkedUserMark(mark); !o.ok())
        return o;
    const std::string parent = subCategory ? bytesOf(selected->name) : std::string();
    switch (AddCategory(state_.catePath(), *bytes, subCategory, parent, mark).status) {
    case AddCategoryStatus::Added:
        Q_EMIT categoriesChanged();
        return Outcome::done();
    case AddCategoryStatus::CannotRead:
        return tell(Outcome::categoryFileMissing());
    case AddCategoryStatus::CannotAppend:
        return tell(Outcome::notAppended());
    case AddCategoryStatus::InvalidName:
    case AddCategoryStatus::NoFreeId:
        break;
    }
    return tell(Outcome::refused(u("تعذر اضافة الموضوع")));
}

Outcome Directory::renameCategory(const QString& oldName, const QString& newName) {
    QString problem;
    const auto bytes =
        newName.isEmpty() ? std::nullopt : fieldBytes(newName, TextField::Name, &problem);
    if (!bytes) {
        const Outcome o =
            tell(Outcome::refused(newName.isEmpty() ? u("لايمكنك ترك الموضوع فارغ") : problem));
        Q_EMIT categoriesChanged(); // puts the old label back
        return o;
    }
    const Outcome o =
        tell(RenameCategory(state_.catePath(), state_.scratchPath(), bytesOf(oldName), *bytes));
    if (o.ok())
        Q_EMIT categoryRenamed();
    else
        Q_EMIT categoriesChanged();
    return o;
}

Outcome Directory::deleteCategory(const QString& name, const std::function<bool()>& confirmSites) {
    const DeleteCategoryResult r =
        DeleteCategory(state_.catePath(), siteFile(), bytesOf(name), confirmSites);
    switch (r.status) {
    case DeleteCategoryStatus::SiteFileNotOpened:
        return Outcome::notOpened();
    case DeleteCategoryStatus::CategoryFileNotOpened:
        return tell(Outcome::categoryFileMissing());
    case DeleteCategoryStatus::Declined:
        return Outcome::declined();
    case DeleteCategoryStatus::Deleted:
    case DeleteCategoryStatus::CategoryRewriteFailed:
    case DeleteCategoryStatus::SiteRemovalFailed:
        break;
    }
    // Either rewrite may have run before the other failed: whatever went
    // through is shown, and the step that failed says why.
    if (r.sites && r.sites->ok())
        setSiteCount(static_cast<int64_t>(r.sites->count));
    Outcome o = Outcome::done();
    if (r.status == DeleteCategoryStatus::CategoryRewriteFailed)
        o = tell(r.categories);
    else if (r.status == DeleteCategoryStatus::SiteRemovalFailed && r.sites)
        o = tell(*r.sites);
    Q_EMIT categoriesChanged();
    return o;
}

Outcome Directory::addFavorite(const QString& address) {
    // No stored address holds a character the code page lacks.
    const std::optional<std::string> url = Cp1256::fromUnicode(address);
    if (!url)
        return Outcome::notOpened();
    int32_t mark = 0;
    if (Outcome o = checkedUserMark(mark); !o.ok())
        return o;
    const AddFavoriteResult r =
        AddToFavorites(state_.favoritesPath(), state_.sitePath(), *url, mark);
    switch (r.status) {
    case AddFavoriteStatus::Added:
        Q_EMIT favoriteAdded(r.row);
        return Outcome::done();
    case AddFavoriteStatus::FavoritesNotWritable:
        return tell(Outcome{Outcome::Status::NotOpened,
                            u("  حرر مساحة خالية favorites.dat  تعذر فتح الملف")});
    case AddFavoriteStatus::SiteFileNotOpened:
    case AddFavoriteStatus::NotFound:
        break;
    }
    return Outcome::notOpened();
}

bool Directory::clearFavorites() {
    return ClearFavorites(state_.favoritesPath());
}

Outcome Directory::checkPassword(const QString& password) {
    QString problem;
    if (!passwordBytes(password, &problem))
        return tell(Outcome::refused(problem));
    return Outcome::done();
}

Outcome Directory::storePassword(const QString& password) {
    QString problem;
    const std::optional<std::string> bytes = passwordBytes(password, &problem);
    if (!bytes)
        return tell(Outcome::refused(problem));
    // Only the first password is written; an existing record is kept as it
    // is, so changing the password takes a Save without one in between.
    SiteRecord record;
    record.Url = std::string(kPasswordUrl);
    record.Title = *bytes;
    const DataFileResult r = siteFile().AppendSite(record);
    if (r.status == DataFileStatus::Duplicate)
        return Outcome::done();
    if (!r.ok())
        return Outcome::notOpened();
    setSiteCount(state_.siteCount + static_cast<int64_t>(r.added));
    return Outcome::done();
}

Outcome Directory::removePasswords() {
    const DataFileResult r = siteFile().RemoveSites(kPasswordUrl);
    if (!r.ok())
        return tell(r);
    // The count drops by what went, so it stays as it was without one.
    setSiteCount(state_.siteCount - static_cast<int64_t>(r.removed));
    return Outcome::done();
}

Outcome Directory::readPassword(std::optional<QString>& password) {
    password.reset();
    const DataFileResult r = siteFile().ReadSites([&password](const SiteRecord& record) {
        if (record.Url == kPasswordUrl)
            password = Cp1256::toUnicode(record.Title);
        return true;
    });
    if (!r.ok())
        return tell(Outcome::siteFileMissing(state_.siteFileName));
    return Outcome::done();
}

void Directory::setBrowserPath(const QString& browserPath) {
    state_.browserPath = browserPath;
    Q_EMIT browserPathChanged(browserPath);
}

std::optional<int32_t> Directory::userMarkFromText(const QString& text) {
    if (text.size() != 1 || !text.at(0).isDigit())
        return std::nullopt;
    return text.at(0).digitValue();
}

Outcome Directory::checkedUserMark(int32_t& mark) {
    if (!userMark_)
        return tell(Outcome::refused(u("رقم المستخدم يجب ان يكون رقماً واحداً من 0 الى 9")));
    mark = *userMark_;
    return Outcome::done();
}

QString Directory::siteFileNameFor(const QString& fileName) const {
    if (!QDir::isAbsolutePath(fileName))
        return fileName;
    const QString path = QDir::cleanPath(fileName);
    const QFileInfo info(path);
    if (QDir::cleanPath(info.absolutePath()) == QDir::cleanPath(state_.programDir))
        return info.fileName();
    return path;
}

void Directory::switchSiteFile(const QString& fileName, const QString& listedCategory) {
    state_.siteFileName = siteFileNameFor(fileName);
    // What the browse list shows now, so that a click on it lists afresh
    // from the new file.
    state_.currentCategoryName = listedCategory;
    Q_EMIT siteFileChanged();
}

Outcome Directory::openSiteFile(const QString& fileName, const std::function<void()>& advance) {
    const CategoryNameLookup first = FindCategoryName(state_.catePath(), 1);
    if (!first.opened)
        return tell(Outcome::categoryFileMissing());
    OpeningRead opening;
    if (first.name)
        opening.firstCategoryName = Cp1256::toUnicode(*first.name);
    // Named as the program names it, the file can be read before it is the
    // site file: one that cannot be opened changes nothing.
    const QString name = siteFileNameFor(fileName);
    OpenedSiteFile scan = ScanOpenedSiteFile(
        state_.sitePathOf(name), [&] { switchSiteFile(name, opening.firstCategoryName); }, advance);
    if (!scan.opened)
        return Outcome::notOpened();
    // As at start-up: what writers killed on this file left beside it.
    removeStaleTemporaries(state_.sitePath());
    opening.firstCategoryRows = std::move(scan.firstCategoryRows);
    Q_EMIT siteFileOpened(opening);
    setSiteCount(static_cast<int64_t>(scan.siteCount));
    return scan.complete ? Outcome::done() : Outcome::notOpened();
}

Outcome Directory::newSiteFile(const QString& fileName, const SiteRecord& firstRecord) {
    SiteBytes bytes;
    if (!EncodeSiteRecord(firstRecord, bytes))
        return Outcome::notOpened();
    const std::string path = state_.sitePathOf(siteFileNameFor(fileName));
    // A copy still working on an old file of that name finishes first.
    const FileLock lock(lockPathFor(path));
    if (!lock.locked() ||
        !atomicReplace(path,
                       std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        return Outcome::notOpened();
    switchSiteFile(fileName, QString());
    setSiteCount(1);
    return Outcome::done();
}

Outcome Directory::newDatabase(const QString& fileName) {
    // The first main category, as the hidden name list has it first.
    const std::optional<CategoryTree> tree = ReadCategoryTree(state_.catePath());
    if (!tree)
        return tell(Outcome::categoryFileMissing());
    const std::optional<int32_t> id = FindCategoryId(
        state_.catePath(), tree->names.empty() ? std::string() : tree->names.front());
    if (!id)
        return tell(Outcome::categoryFileMissing());
    return newSiteFile(fileName, SiteRecord{"2", *id, "", "", 0, 0});
}

Outcome
Directory::writeVersionRecord(const SiteEntry& entry,
                              const std::function<bool(const QString& firstUrl)>& confirmReplace) {
    int32_t mark = 0;
    if (Outcome o = checkedUserMark(mark); !o.ok())
        return o;
    QString problem;
    const std::optional<CheckedTexts> texts = checkTexts(entry, &problem);
    if (!texts)
        return tell(Outcome::refused(problem));
    const std::optional<int32_t> category =
        FindCategoryId(state_.catePath(), bytesOf(entry.categoryName));
    const std::optional<int32_t> infoId =
        FindCategoryId(state_.catePath(), std::string(kInfoCategoryName));
    if (!category || !infoId)
        return tell(Outcome::categoryFileMissing());

    const FirstSiteRecord first = ReadFirstSite(state_.sitePath());
    if (!first.opened)
        return Outcome::notOpened();
    // A site in the first place is the maintainer's to give up, never lost
    // unasked.
    if (first.stored) {
        const SiteRecord current = DecodeSiteRecord(*first.stored);
        if (!isVersionRecord(current, *infoId) &&
            !(confirmReplace && confirmReplace(Cp1256::toUnicode(current.Url))))
            return Outcome::declined();
    }
    const SiteRecord version{texts->url, *category, texts->title, texts->language, mark, 0};
    const DataFileResult r = WriteVersionRecord(state_.sitePath(), version, first.stored);
    if (!r.ok())
        return tell(r);
    if (r.added != 0)
        setSiteCount(static_cast<int64_t>(r.count));
    return Outcome::done();
}

Outcome Directory::convertSiteFile() {
    const ConversionResult r = ConvertSiteFile(state_.sitePath(), state_.scratchPath());
    switch (r.status) {
    case ConversionStatus::AlreadyConverted:
        return tell(Outcome::refused(u("ملف المواقع محول مسبقاً الى التنسيق الجديد")));
    case ConversionStatus::Failed:
        return tell(r.rewrite);
    case ConversionStatus::Converted:
        break;
    }
    // The old file was counted in records of the new size.
    setSiteCount(static_cast<int64_t>(r.rewrite.count));
    return Outcome::done();
}

Outcome Directory::convertCategoryFile(const std::function<bool()>& confirmRenumbering) {
    const std::optional<std::set<int32_t>> ids = renumberedIds(state_.catePath());
    if (!ids)
        return Outcome::notOpened();
    const std::optional<std::set<int32_t>> used = idsInUse(state_.sitePath(), *ids);
    if (!used)
        return Outcome::notOpened();
    if (!used->empty() && !(confirmRenumbering && confirmRenumbering()))
        return Outcome::declined();
    const ConversionResult r = ConvertCategoryFile(state_.catePath(), state_.scratchPath());
    if (r.status != ConversionStatus::Converted)
        return tell(r.rewrite);
    return Outcome::done();
}

} // namespace korvalo

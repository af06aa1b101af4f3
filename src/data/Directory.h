#pragma once

#include "data/CategoryFile.h"
#include "data/Outcome.h"
#include "data/ProgramState.h"
#include "data/SiteFile.h"
#include "data/SiteListing.h"
#include "search/LocalSearch.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace korvalo {

// A site as the user gives it in a form: texts as typed, the category by
// the name chosen (empty when none is).
struct SiteEntry {
    QString title;
    QString url;
    QString language;
    QString categoryName;
};

// A site as the edit dialog shows it. categoryName is unset when no
// category has the site's id: the dialog then keeps the choice it had.
struct EditedSite {
    QString title;
    QString url;
    QString language;
    std::optional<QString> categoryName;
    int32_t userMark = 0;
};

// The node chosen in the category tree when a category is added.
struct ChosenCategory {
    QString name;
    bool topLevel = true;
};

// What start-up reads besides the program-wide state: the name of category
// 1 and its sites, which the browse list shows first.
struct OpeningRead {
    QString firstCategoryName; // empty when no category has Id 1
    SiteRowBuffer firstCategoryRows;
};

// The directory as the windows see it: it owns the program-wide state and
// is the one way the windows read and change the data files. Every
// operation opens what it needs and closes it again; what the user is told
// comes out of notice() (or categoryFileMissing()) while the operation
// runs, in the order the messages belong, and the returned Outcome says
// what happened. The signals tell the windows what to show afresh.
class Directory : public QObject {
    Q_OBJECT
public:
    explicit Directory(QObject* parent = nullptr);

    ProgramState& state() { return state_; }
    const ProgramState& state() const { return state_; }
    // The program folder; a trailing '/' is added when missing.
    void setProgramDir(const QString& dir);
    SiteFile siteFile() const;

    // Start-up's one pass over the data: the name of category 1, then the
    // site count, version label, stored password and category 1's sites.
    // nullopt when "cate.dat" or the site file cannot be read (the program
    // is then ending). Stale temporaries of killed writers are removed.
    std::optional<OpeningRead> readAtStartup();
    // The rows of "favorites.dat"; a missing file is an empty list.
    std::vector<SiteRow> favorites() const;
    // The category tree every view shows; nullopt when "cate.dat" is missing.
    std::optional<CategoryTree> categoryTree();

    // The sites of one node of the browse tree; nullopt when a file cannot
    // be read (the list keeps its rows).
    std::optional<SiteRowBuffer> categorySites(const QString& name, bool subCategory);
    // The local search, in file order (see SiteSearchResult); nullopt when a
    // file cannot be read.
    std::optional<SiteRowBuffer> searchSites(const QString& query, SearchScope scope);

    // The add panel's add: the description and a category are required, the
    // site is filed under the last category of the chosen name.
    Outcome addSite(const SiteEntry& entry);
    // An add from the browser favourites: a category is required, the site
    // is filed under the first category of the chosen name.
    Outcome addShortcut(const SiteEntry& entry);
    // Before the edit dialog opens: the last record with the address (site
    // unset when there is none) and a scratch file that can be written.
    Outcome beginEdit(const QString& address, std::optional<EditedSite>& site);
    // The edit dialog's result replaces every record with the address; the
    // site moves to the end of the file. userMark is the dialog's text.
    Outcome replaceSite(const QString& address, const SiteEntry& entry, const QString& userMark);
    // Removes every record with the address.
    Outcome removeSite(const QString& address);
    // A shortcut in the browser favourites folder for every record with the
    // address, each reported in a box.
    void sendToBrowserFavorites(const QString& address);

    // The category page's three changes. A rename or a delete that fails
    // still has the views rebuilt, so they show the file again.
    Outcome addCategory(const QString& name, bool subCategory,
                        const std::optional<ChosenCategory>& selected);
    Outcome renameCategory(const QString& oldName, const QString& newName);
    // confirmSites is asked when the category has sites; false declines.
    Outcome deleteCategory(const QString& name, const std::function<bool()>& confirmSites);

    // The program's favourites list.
    Outcome addFavorite(const QString& address);
    bool clearFavorites();

    // The password record. checkPassword refuses a text the record cannot
    // hold; storePassword appends a record only when none exists.
    Outcome checkPassword(const QString& password);
    Outcome storePassword(const QString& password);
    Outcome removePasswords();
    // The Title of the last password record, unset when there is none.
    Outcome readPassword(std::optional<QString>& password);

    // The browser every launch uses from now on (the options were saved or
    // reloaded).
    void setBrowserPath(const QString& browserPath);

    // Maintenance. The UserMark every new record takes (1 unless the
    // maintainer changes it). Unset while the maintainer's field holds no
    // digit: every operation that would make a record then refuses.
    std::optional<int32_t> userMark() const { return userMark_; }
    void setUserMark(std::optional<int32_t> mark) { userMark_ = mark; }
    // The mark a one-character field gives: its decimal digit, else none.
    static std::optional<int32_t> userMarkFromText(const QString& text);

    // A database is addressed by its name when it lies in the program folder
    // (as "weburl.kvl" always is) and by its absolute path anywhere else;
    // fileName may be either. The name the site file then goes by is
    // state().siteFileName.
    QString siteFileNameFor(const QString& fileName) const;

    // Makes another database the site file for the rest of the run, once it
    // can be opened (NotOpened otherwise, nothing changed): siteFileChanged
    // as soon as it is open, advance() each time the progress bar moves while
    // it is read through, then siteFileOpened with its category 1 and the new
    // count.
    Outcome openSiteFile(const QString& fileName, const std::function<void()>& advance = {});
    // Writes a new site file holding only firstRecord (replacing any file of
    // that name, atomically and under its lock) and makes it the site file;
    // NotOpened when it cannot be written.
    Outcome newSiteFile(const QString& fileName, const SiteRecord& firstRecord);
    // A new, almost empty database: its one record "2" is filed under the
    // first main category.
    Outcome newDatabase(const QString& fileName);
    // The add page's fields as the version record, the first record of the
    // site file. A first record that is no version record yet is replaced
    // only when confirmReplace, given its address, agrees.
    Outcome writeVersionRecord(const SiteEntry& entry,
                               const std::function<bool(const QString& firstUrl)>& confirmReplace);
    // The site file from 172-byte records to the current ones; refused when
    // its length says it holds current records already.
    Outcome convertSiteFile();
    // "cate.dat" to the two-level layout, every category a main one with its
    // position for Id. When sites of the site file refer to an id that would
    // change, only when confirmRenumbering agrees.
    Outcome convertCategoryFile(const std::function<bool()>& confirmRenumbering);

Q_SIGNALS:
    void siteCountChanged(int64_t count);
    // A new site went to the end of the site file.
    void siteAppended(const SiteRow& row);
    // A site was replaced through the edit dialog: lists showing it are stale.
    void siteEdited();
    void favoriteAdded(const SiteRow& row);
    // "cate.dat" changed (or a failed change needs the views rebuilt).
    void categoriesChanged();
    // A rename finished: every view but the tree it was typed in is stale.
    void categoryRenamed();
    // Another site file is now the site file: every list of its sites is stale.
    void siteFileChanged();
    // The sites of category 1 of a database just opened, for the browse list.
    void siteFileOpened(const OpeningRead& opening);
    void browserPathChanged(const QString& path);
    // "cate.dat" cannot be read: the program must end after its message.
    void categoryFileMissing();
    // Something the user is to be told while an operation runs.
    void notice(const Outcome& outcome);

private:
    // Shows what an outcome says (through notice() or categoryFileMissing())
    // and hands it back.
    Outcome tell(Outcome outcome);
    Outcome tell(const DataFileResult& result);
    // The record of an entry: every text checked, the category resolved.
    // lastOfName: the add panel's resolution; otherwise the first record of
    // the name decides, as the edit and the browser favourites do.
    Outcome buildRecord(const SiteEntry& entry, bool lastOfName, int32_t userMark,
                        SiteRecord& record);
    Outcome append(const SiteRecord& record);
    // The maintainer's mark, or the refusal of a field without a digit.
    Outcome checkedUserMark(int32_t& mark);
    void switchSiteFile(const QString& fileName, const QString& listedCategory);
    void setSiteCount(int64_t count);

    ProgramState state_;
    std::optional<int32_t> userMark_ = 1;
};

} // namespace korvalo

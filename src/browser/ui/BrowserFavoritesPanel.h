#pragma once

#include "browser/FavoritesFolder.h"

#include <QStringList>
#include <QWidget>

#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace korvalo {

class ButtonHoverGroup;
class ButtonWithColor;
class Directory;
class PanelHost;
class TAddToKvlForm;
struct DisplayLook;

// The browser-favourites panel: the Internet shortcut files of the
// browser's favourites folder, which can be opened and added to the
// directory.
class BrowserFavoritesPanel : public QWidget {
    Q_OBJECT
public:
    BrowserFavoritesPanel(PanelHost& host, Directory& directory, QWidget* parent = nullptr);

    QTreeWidget* ListView6;
    ButtonWithColor* BitBtnWithColor12; // reload
    ButtonWithColor* BitBtnWithColor10; // select every shortcut
    ButtonWithColor* BitBtn10;          // add the selected shortcuts to the directory

    // Lists the favourites folder afresh, at its top level; called each time
    // the panel is shown.
    void reload();

    // Adds the folder's entries to the ones already held (an up entry, when
    // below the top) and shows them all. A shortcut that cannot be read
    // leaves the list empty.
    void ListFavoritesFolder(const QString& path);

    // Offers each selected shortcut in the dialog and adds those the user
    // accepts to the site file.
    void AddSelectedToDirectory();

    void BitBtnWithColor12Click();
    void BitBtnWithColor10Click();
    void BitBtn10Click();
    void ListView6DblClick();
    void ListView6Click();

    TAddToKvlForm* addToKvlForm() const { return dialog_; }
    // The dialog's category tree, one of the views the categories fill.
    QTreeWidget* categoryTree() const;
    void restButtons();
    void applyDisplay(const DisplayLook& look);
    // The folder shown: 0 is the favourites folder itself.
    int level() const { return level_; }
    const std::vector<FavoritesEntry>& entries() const { return entries_; }

private:
    const FavoritesEntry& entryOf(const QTreeWidgetItem* item) const;
    std::vector<QTreeWidgetItem*> selectedItems() const;
    void showLevel();
    // Offers one shortcut until it is skipped, added or refused; false when
    // the run must stop.
    bool offerShortcut(const FavoritesEntry& entry);

    PanelHost& host_;
    Directory& directory_;
    TAddToKvlForm* dialog_;
    ButtonHoverGroup* hover_;
    std::vector<FavoritesEntry> entries_;
    // The path of each level from the favourites folder down to the one shown.
    QStringList levels_;
    int level_ = 0;
};

} // namespace korvalo

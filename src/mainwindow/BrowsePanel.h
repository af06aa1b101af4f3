#pragma once

#include <QWidget>

#include <vector>

class QLabel;
class QMenu;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvalo {

class Directory;
class PanelHost;
class SiteListModel;
class SiteRowBuffer;
struct DisplayLook;
struct SiteRow;

// The browse panel: the category tree on the right, the sites of the chosen
// category on the left, with the caption strips above them.
class BrowsePanel : public QWidget {
    Q_OBJECT
public:
    BrowsePanel(PanelHost& host, Directory& directory, QWidget* parent = nullptr);

    QTreeWidget* TreeView1;
    QTreeView* ListView1;
    QLabel* Panel6; // over the descriptions: the current category's header
    QLabel* Panel7; // over the languages
    QLabel* Panel8; // over the tree
    QLabel* Label8;
    QMenu* PopupMenu1 = nullptr; // made on first use

    SiteListModel* sites() const { return model_; }

    // A click on the tree, or Enter while it has the focus.
    void TreeView1Click();
    // Lists the sites of the selected category unless it is the one shown.
    void ListCategorySites();
    // Lists the sites of a node's category; false when the site file could
    // not be opened (the list then keeps its rows).
    bool listSitesOf(QTreeWidgetItem* node, bool updateHeader);
    bool listSites(const QString& name, bool subCategory, bool updateHeader);
    // Shows the address of every selected row in the floating hint.
    void ListView1SelectItem();
    void ListView1DblClick();
    // Lists the current category again (after an edit), keeping the header.
    void refill();
    // The sites a category holds, with its header; start-up lists the first
    // category this way.
    void showSites(const QString& categoryName, SiteRowBuffer rows);
    // A new site goes at the end of the list, whatever category it shows.
    void appendSite(const SiteRow& row);
    void clear();

    // The name of the tree's selected node; empty when none is.
    QString selectedCategoryName() const;
    // A top-level node the file does not hold (maintainer mode's "info"); the
    // next rebuild of the category views drops it.
    void addTopLevelCategory(const QString& name);

    // The list's design face, for a start without stored display settings.
    void useDesignFont(const QFont& font);
    QFont listFont() const;
    void applyDisplay(const DisplayLook& look);

    // Three blanks, the name, nine blanks, the row count and three blanks.
    static QString headerText(const QString& categoryName, int rows);
    void setHeader(const QString& categoryName, int rows);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PanelHost& host_;
    Directory& directory_;
    SiteListModel* model_;
};

} // namespace korvalo

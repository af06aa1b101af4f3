#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAbstractItemView;
class QMenu;

namespace korvalo {

class Directory;
class PanelHost;
class SiteListModel;
class TAddForm1;

// The actions every site list offers on the site of a row: open, send to
// the favourites, the browser favourites, the clipboard or a friend, delete
// and edit.
// A row names its site only by its address.
class SiteActions : public QObject {
    Q_OBJECT
public:
    SiteActions(PanelHost& host, Directory& directory, TAddForm1& dialog,
                QObject* parent = nullptr);

    void openSite(const QString& address);
    void copyToClipboard(const QString& address);
    // Writes an Internet shortcut into the browser's favourites folder for
    // every record with the address, named after its description.
    void sendToBrowserFavorites(const QString& address);
    // Asks, then removes every record with the address. True when the site
    // file was rewritten; the count shown follows.
    bool deleteSite(const QString& address);
    // Fills the edit dialog from the site's record and, when the user
    // confirms, replaces the record (the site moves to the end of the file
    // and the browse list is listed afresh). True when the site file changed.
    bool editSite(const QString& address);

    // The context menu of a site list; deleteCaption differs between lists.
    // Every action works on the address of the view's selected rows: the
    // first for all but delete, the last for delete, whose row leaves the
    // list the menu belongs to.
    QMenu* buildMenu(QAbstractItemView* view, SiteListModel* model, const QString& deleteCaption);

    TAddForm1& dialog() { return dialog_; }

    // Where "صديق" sends an address (the send-to-friend dialog); until one
    // is set the item does nothing.
    void setFriendSender(std::function<void(const QString&)> send) { friend_ = std::move(send); }
    void sendToFriend(const QString& address);

private:
    PanelHost& host_;
    Directory& directory_;
    TAddForm1& dialog_;
    std::function<void(const QString&)> friend_;
};

} // namespace korvalo

#pragma once

#include "browser/BookmarkSources.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QAction;

namespace korvalo {

// Every browser's bookmarks as menus under one menu item. Choosing a
// bookmark fires OnURL with its caption and address; the browsers' files
// are only read, never written.
class TBookmarks : public QObject {
    Q_OBJECT
public:
    explicit TBookmarks(QObject* parent = nullptr);

    // The item the menus are built under; everything under it is replaced at
    // each rebuild. While Enabled, setting it rebuilds.
    QMenu* Menu() const { return menu_; }
    void setMenu(QMenu* menu);
    // Off at first; while on, setting Menu or Enabled rebuilds.
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    // Where the next rebuild looks for the browsers' files. Until this is
    // set, nothing is looked for.
    void setLocations(BookmarkLocations where) { locations_ = std::move(where); }

    // The screen's height and the height of one menu item that the size
    // limit is computed from. Without them, the primary screen's available
    // height and one item of Menu as its style draws it.
    void setScreenMetrics(int fullScreenHeight, int menuItemHeight);

    // Replaces everything under Menu by the menus of every source found,
    // in their order. Nothing happens while Menu is not set.
    void RebuildBookmarkMenus();
    // The same from entries already read: each of top becomes one item
    // under Menu, folders with their menus.
    void buildMenus(const BookmarkList& top);

    // The most entries one menu shows, its ">>" included, as computed at the
    // last rebuild; 0: no limit.
    int menuSizeLimit() const { return limit_; }

    // The continuation item that ends a full menu.
    static QString continuationCaption() { return QStringLiteral(">>"); }

Q_SIGNALS:
    // A bookmark was chosen: its caption (shortened) and its address.
    void OnURL(TBookmarks* sender, const QString& caption, const QString& url);

private:
    void clearMenu();
    int computeLimit() const;
    void itemTriggered(QAction* action);

    QPointer<QMenu> menu_;
    bool enabled_ = false;
    std::optional<BookmarkLocations> locations_;
    std::optional<std::pair<int, int>> metrics_;
    int limit_ = 0;
};

} // namespace korvalo

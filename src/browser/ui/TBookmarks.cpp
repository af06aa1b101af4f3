#include "browser/ui/TBookmarks.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionMenuItem>

#include <span>
#include <vector>

namespace korvalo {

namespace {

// A caption as a menu shows it: '&' would mark a mnemonic and a tab would
// start the shortcut column.
QString menuText(QString caption) {
    caption.replace(u'&', QStringLiteral("&&"));
    caption.replace(u'\t', u' ');
    return caption;
}

// The height of one ordinary item of menu, as its style lays it out.
int itemHeightOf(const QMenu& menu) {
    QStyleOptionMenuItem option;
    option.initFrom(&menu);
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.checkType = QStyleOptionMenuItem::NotCheckable;
    option.text = QStringLiteral("Xy");
    option.font = menu.font();
    option.fontMetrics = QFontMetrics(option.font);
    option.menuRect = menu.rect();
    const QSize text(option.fontMetrics.horizontalAdvance(option.text),
                     option.fontMetrics.height());
    return menu.style()->sizeFromContents(QStyle::CT_MenuItem, &option, text, &menu).height();
}

} // namespace

TBookmarks::TBookmarks(QObject* parent)
    : QObject(parent) {}

void TBookmarks::setMenu(QMenu* menu) {
    if (menu_)
        disconnect(menu_, &QMenu::triggered, this, &TBookmarks::itemTriggered);
    menu_ = menu;
    // A bookmark chosen in any menu below reaches this one too.
    if (menu_)
        connect(menu_, &QMenu::triggered, this, &TBookmarks::itemTriggered);
    if (enabled_)
        RebuildBookmarkMenus();
}

void TBookmarks::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled_)
        RebuildBookmarkMenus();
}

void TBookmarks::setScreenMetrics(int fullScreenHeight, int menuItemHeight) {
    metrics_ = std::pair(fullScreenHeight, menuItemHeight);
}

int TBookmarks::computeLimit() const {
    if (metrics_)
        return MenuSizeLimit(metrics_->first, metrics_->second);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !menu_)
        return 0;
    return MenuSizeLimit(screen->availableGeometry().height(), itemHeightOf(*menu_));
}

void TBookmarks::clearMenu() {
    // clear() deletes the items the menu owns; the folders' menus own their
    // own items and go separately.
    std::vector<QMenu*> folders;
    for (QAction* item : menu_->actions()) {
        if (QMenu* sub = item->menu(); sub && sub->parent() == menu_)
            folders.push_back(sub);
    }
    menu_->clear();
    for (QMenu* sub : folders)
        delete sub;
}

void TBookmarks::RebuildBookmarkMenus() {
    if (!menu_)
        return;
    clearMenu();
    limit_ = computeLimit();
    if (locations_)
        buildMenus(ReadBookmarkSources(*locations_));
}

void TBookmarks::buildMenus(const BookmarkList& top) {
    if (!menu_)
        return;
    // One menu to fill with a folder's entries at a time, so that neither a
    // deep tree nor a long chain of ">>" pages grows the stack.
    struct Fill {
        QMenu* menu;
        std::span<const BookmarkNode> entries;
    };
    std::vector<Fill> work{{menu_, top}};
    while (!work.empty()) {
        const Fill fill = work.back();
        work.pop_back();
        QMenu* menu = fill.menu;
        bool first = true;
        for (const std::span<const BookmarkNode> page : LayoutMenu(fill.entries, limit_)) {
            if (!first)
                menu = menu->addMenu(continuationCaption());
            first = false;
            for (const BookmarkNode& node : page) {
                switch (node.kind) {
                case BookmarkNode::Folder:
                    work.push_back({menu->addMenu(menuText(node.caption)), node.children});
                    break;
                case BookmarkNode::Separator:
                    menu->addSeparator();
                    break;
                case BookmarkNode::Bookmark: {
                    auto* item = new QAction(menuText(node.caption), menu);
                    item->setToolTip(node.address); // the address is the item's hint
                    item->setData(node.address);
                    menu->addAction(item);
                    break;
                }
                }
            }
            menu->setToolTipsVisible(true);
        }
    }
}

void TBookmarks::itemTriggered(QAction* action) {
    // Folders and ">>" open their menus; only bookmarks carry an address.
    const QString address = action->data().toString();
    if (action->menu() || address.isEmpty())
        return;
    // The item's caption, without the doubling of its '&'.
    const QString caption = action->text().replace(QStringLiteral("&&"), QStringLiteral("&"));
    Q_EMIT OnURL(this, ShortenCaption(caption), address);
}

} // namespace korvalo

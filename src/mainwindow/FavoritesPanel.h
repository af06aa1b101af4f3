#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QTreeView;

namespace korvalo {

class PanelHost;
class SiteListModel;
struct SiteRow;

// The program's own favourites list.
class FavoritesPanel : public QWidget {
    Q_OBJECT
public:
    FavoritesPanel(PanelHost& host, QWidget* parent = nullptr);

    QTreeView* ListView5;
    QListWidget* ListBox1; // hidden: the descriptions, the names used for shortcut copies

    SiteListModel* favorites() const { return model_; }
    void setRows(const std::vector<SiteRow>& rows);
    void clear();
    // Enables the buttons that act on a selection as the selection allows;
    // called each time the panel is shown.
    void refreshButtons();

private:
    PanelHost& host_;
    SiteListModel* model_;
};

} // namespace korvalo

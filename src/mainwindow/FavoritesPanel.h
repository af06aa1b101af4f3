#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QTreeView;

namespace korvalo {

class SiteListModel;
struct SiteRow;

// The program's own favourites list.
class FavoritesPanel : public QWidget {
    Q_OBJECT
public:
    explicit FavoritesPanel(QWidget* parent = nullptr);

    QTreeView* ListView5;
    QListWidget* ListBox1; // hidden: the descriptions, the names used for shortcut copies

    SiteListModel* favorites() const { return model_; }
    void setRows(const std::vector<SiteRow>& rows);
    void clear();

private:
    SiteListModel* model_;
};

} // namespace korvalo

#pragma once

#include <QWidget>

class QLabel;
class QTreeView;
class QTreeWidget;

namespace korvalo {

class SiteListModel;

// The browse panel: the category tree on the right, the sites of the chosen
// category on the left, with the caption strips above them.
class BrowsePanel : public QWidget {
    Q_OBJECT
public:
    explicit BrowsePanel(QWidget* parent = nullptr);

    QTreeWidget* TreeView1;
    QTreeView* ListView1;
    QLabel* Panel6; // over the descriptions: the current category's header
    QLabel* Panel7; // over the languages
    QLabel* Panel8; // over the tree
    QLabel* Label8;

    SiteListModel* sites() const { return model_; }

    // Three blanks, the name, nine blanks, the row count and three blanks.
    static QString headerText(const QString& categoryName, int rows);
    void setHeader(const QString& categoryName, int rows);

private:
    SiteListModel* model_;
};

} // namespace korvalo

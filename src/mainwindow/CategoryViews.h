#pragma once

#include "data/CategoryFile.h"

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QListWidget;
class QTreeWidget;

namespace korvalo {

// Every view that shows the categories: the trees, the flat pick lists and
// the hidden list of names the program works from. They are cleared and
// refilled together from "cate.dat".
class CategoryViews {
public:
    // editableLabels: the tree's own label editing may open on its nodes.
    void addTree(QTreeWidget* tree, bool editableLabels = false);
    void addList(QComboBox* list);
    void setNameList(QListWidget* names) { names_ = names; }

    // Clears every view (but except), then fills them from what read gives;
    // no pick list has an entry chosen afterwards. False when read gives
    // nothing (the category file is missing); the views stay empty.
    bool rebuild(const std::function<std::optional<CategoryTree>()>& read,
                 QTreeWidget* except = nullptr);

private:
    std::vector<QTreeWidget*> trees_;
    std::vector<QTreeWidget*> editable_;
    std::vector<QComboBox*> lists_;
    QListWidget* names_ = nullptr;
};

} // namespace korvalo

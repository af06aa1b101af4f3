#include "mainwindow/CategoryViews.h"

#include "data/Cp1256.h"
#include "mainwindow/DisplayLook.h"

#include <QComboBox>
#include <QListWidget>
#include <QTreeWidget>

#include <algorithm>

namespace korvalo {

void CategoryViews::addTree(QTreeWidget* tree, bool editableLabels) {
    trees_.push_back(tree);
    if (editableLabels)
        editable_.push_back(tree);
}

void CategoryViews::addList(QComboBox* list) {
    lists_.push_back(list);
}

bool CategoryViews::rebuild(const std::function<std::optional<CategoryTree>()>& read,
                            QTreeWidget* except) {
    std::vector<QTreeWidget*> trees;
    for (QTreeWidget* t : trees_)
        if (t != except)
            trees.push_back(t);
    for (QTreeWidget* t : trees)
        t->setUpdatesEnabled(false);
    for (QComboBox* l : lists_)
        l->setUpdatesEnabled(false);
    for (QTreeWidget* t : trees)
        t->clear();
    for (QComboBox* l : lists_)
        l->clear();
    if (names_)
        names_->clear();

    const std::optional<CategoryTree> tree = read();
    if (tree) {
        for (QTreeWidget* t : trees) {
            const bool editable =
                std::find(editable_.begin(), editable_.end(), t) != editable_.end();
            auto node = [editable](const std::string& name) {
                auto* item = new QTreeWidgetItem(QStringList{Cp1256::toUnicode(name)});
                if (editable)
                    item->setFlags(item->flags() | Qt::ItemIsEditable);
                return item;
            };
            QList<QTreeWidgetItem*> tops;
            for (const CategoryTree::Main& m : tree->mains) {
                QTreeWidgetItem* top = node(m.name);
                for (const std::string& c : m.children)
                    top->addChild(node(c));
                tops << top;
            }
            t->addTopLevelItems(tops);
            restoreReadingOrder(t);
        }
        QStringList flat;
        for (const std::string& n : tree->flat)
            flat << Cp1256::toUnicode(n);
        // Filling a list chooses its first entry; a site whose user chose
        // no category must not be filed under it unnoticed.
        for (QComboBox* l : lists_) {
            l->addItems(flat);
            l->setCurrentIndex(-1);
        }
        if (names_)
            for (const std::string& n : tree->names)
                names_->addItem(Cp1256::toUnicode(n));
    }
    for (QTreeWidget* t : trees)
        t->setUpdatesEnabled(true);
    for (QComboBox* l : lists_)
        l->setUpdatesEnabled(true);
    return tree.has_value();
}

} // namespace korvalo

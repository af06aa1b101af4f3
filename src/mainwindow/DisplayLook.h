#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QTreeWidget;
class QWidget;

namespace korvalo {

// The font and colours of the options panel as every list, tree and caption
// strip takes them when the display settings are applied.
struct DisplayLook {
    bool bold = false;
    QString family; // empty: the face stays
    bool italic = false;
    std::optional<int> pointSize; // lists only; unset: the size stays
    QColor text;
    QColor back;
    QColor headText;
    QColor headBack;
    // The trees read right to left only on a plain white background.
    Qt::LayoutDirection treeReading = Qt::RightToLeft;

    void applyToList(QWidget* list) const;
    // Font without the size, colours and reading order; the tree keeps its
    // right-to-left layout and is repainted.
    void applyToTree(QTreeWidget* tree) const;
    void applyToStrip(QWidget* strip) const;
};

// Trees keep a right-to-left layout; only their reading order follows the
// background colour. Each label is aligned the way it then reads, and the
// order is remembered so that a rebuilt tree reads the same.
void setReadingOrder(QTreeWidget* tree, Qt::LayoutDirection direction);
void restoreReadingOrder(QTreeWidget* tree);

} // namespace korvalo

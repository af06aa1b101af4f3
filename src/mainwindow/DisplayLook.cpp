#include "mainwindow/DisplayLook.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace korvalo {

namespace {

void applyFontAndColours(const DisplayLook& look, QWidget* w, bool withSize) {
    QFont f = w->font();
    f.setBold(look.bold);
    if (!look.family.isEmpty())
        f.setFamily(look.family);
    f.setItalic(look.italic);
    if (withSize && look.pointSize)
        f.setPointSize(*look.pointSize);
    w->setFont(f);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Text, look.text);
    pal.setColor(QPalette::Base, look.back);
    w->setPalette(pal);
}

} // namespace

void DisplayLook::applyToList(QWidget* list) const {
    applyFontAndColours(*this, list, true);
}

void DisplayLook::applyToTree(QTreeWidget* tree) const {
    applyFontAndColours(*this, tree, false);
    setReadingOrder(tree, treeReading);
    tree->setLayoutDirection(Qt::RightToLeft);
    tree->update();
}

void DisplayLook::applyToStrip(QWidget* strip) const {
    QPalette pal = strip->palette();
    pal.setColor(QPalette::Window, headBack);
    pal.setColor(QPalette::WindowText, headText);
    strip->setPalette(pal);
}

void setReadingOrder(QTreeWidget* tree, Qt::LayoutDirection direction) {
    tree->setProperty("readingOrder", int(direction));
    // Absolute, or the right-to-left layout would mirror it back.
    const Qt::Alignment a = (direction == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft) |
                            Qt::AlignAbsolute | Qt::AlignVCenter;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        (*it)->setTextAlignment(0, a);
}

void restoreReadingOrder(QTreeWidget* tree) {
    if (const QVariant order = tree->property("readingOrder"); order.isValid())
        setReadingOrder(tree, Qt::LayoutDirection(order.toInt()));
}

} // namespace korvalo

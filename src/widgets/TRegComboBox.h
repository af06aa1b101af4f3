#pragma once

#include "platform/RegistryFile.h"

#include <QComboBox>

class QTimer;

namespace korvalo {

// A combo box that remembers what was typed into it. Every box shares one
// list, kept in the registry under HKEY_CURRENT_USER "Software\Default" (at
// most 20 entries); a box shows the list as loaded and offers it for
// completion: 500 ms after a typed character the shortest entry that begins
// with the text (letter case aside) completes it, the added part selected.
class TRegComboBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kCompletionDelayMs = 500;

    explicit TRegComboBox(const RegistryFile& registry, QWidget* parent = nullptr);

    // The list becomes the registry's entries; the text stays.
    void LoadHistory();
    // What leaving the box does: a text that is not empty goes first in the
    // shared list, which is written back, and the box shows that list.
    void SaveHistory();
    // Empties the text and the box's list; the registry keeps its entries.
    void ClearAll();

    void setMaxLength(int length);
    QString text() const { return currentText(); }
    void setText(const QString& text) { setEditText(text); }

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showList(const QStringList& entries);
    void complete();

    RegistryFile registry_;
    QTimer* completion_;
};

} // namespace korvalo

#include "widgets/TRegComboBox.h"

#include "data/TypedHistory.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace korvalo {

TRegComboBox::TRegComboBox(const RegistryFile& registry, QWidget* parent)
    : QComboBox(parent)
    , registry_(registry)
    , completion_(new QTimer(this)) {
    setEditable(true);
    // The box completes by its own rule, and Enter adds nothing to the list.
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    completion_->setSingleShot(true);
    completion_->setInterval(kCompletionDelayMs);
    connect(completion_, &QTimer::timeout, this, &TRegComboBox::complete);
}

void TRegComboBox::setMaxLength(int length) {
    lineEdit()->setMaxLength(length);
}

void TRegComboBox::showList(const QStringList& entries) {
    const QString typed = currentText();
    const QSignalBlocker quiet(this);
    clear();
    addItems(entries);
    setCurrentIndex(-1);
    setEditText(typed);
}

void TRegComboBox::LoadHistory() {
    showList(loadTypedHistory(registry_));
}

void TRegComboBox::SaveHistory() {
    const QString typed = currentText();
    if (typed.isEmpty())
        return;
    // Built on the list as the registry holds it now rather than on the one
    // this box loaded, so what another box saved since is not dropped.
    const QStringList list = rememberTypedEntry(registry_, loadTypedHistory(registry_), typed);
    showList(list);
    setCurrentIndex(0);
}

void TRegComboBox::ClearAll() {
    completion_->stop();
    clear();
    clearEditText();
}

void TRegComboBox::focusOutEvent(QFocusEvent* event) {
    // Opening the box's own list is not leaving it.
    if (event->reason() != Qt::PopupFocusReason)
        SaveHistory();
    QComboBox::focusOutEvent(event);
}

void TRegComboBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace)
        completion_->stop();
    else if (!event->text().isEmpty() && event->text().at(0).isPrint() && !completion_->isActive())
        completion_->start();
    QComboBox::keyPressEvent(event);
}

void TRegComboBox::complete() {
    const QString typed = lineEdit()->text();
    if (typed.isEmpty())
        return;
    int best = -1;
    for (int i = 0; i < count(); ++i) {
        const QString entry = itemText(i);
        if (entry.startsWith(typed, Qt::CaseInsensitive) &&
            (best < 0 || entry.size() < itemText(best).size()))
            best = i;
    }
    if (best < 0)
        return;
    const QString entry = itemText(best);
    lineEdit()->setText(typed + entry.mid(typed.size()));
    lineEdit()->setSelection(int(typed.size()), int(entry.size() - typed.size()));
}

} // namespace korvalo

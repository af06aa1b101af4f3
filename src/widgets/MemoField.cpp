#include "widgets/MemoField.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

#include <climits>

namespace korvalo {

MemoField::MemoField(QWidget* parent)
    : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
}

QStringList MemoField::lines() const {
    if (document()->isEmpty())
        return {};
    QStringList lines = toPlainText().split(u'\n');
    // The empty line after a final line break is where the caret goes, not a
    // line of the text.
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void MemoField::setLines(const QStringList& lines) {
    setPlainText(lines.join(u'\n'));
}

void MemoField::replaceLine(int index, const QString& text) {
    if (index < 0 || index >= lines().size())
        return;
    const QTextBlock block = document()->findBlockByNumber(index);
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
}

void MemoField::addLine(const QString& text) {
    const QTextBlock last = document()->lastBlock();
    if (last.length() > 1) {
        appendPlainText(text);
        return;
    }
    // An empty field, or the empty line after a final line break, takes it.
    QTextCursor cursor(last);
    cursor.insertText(text);
}

int MemoField::room() const {
    if (maxLength_ <= 0)
        return INT_MAX;
    const int length = document()->characterCount() - 1; // without the final separator
    const QTextCursor c = textCursor();
    return maxLength_ - length + (c.selectionEnd() - c.selectionStart());
}

void MemoField::keyPressEvent(QKeyEvent* event) {
    const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool inserts = lineBreak || (!event->text().isEmpty() && event->text().at(0).isPrint());
    if (inserts && !isReadOnly() && room() < (lineBreak ? 1 : int(event->text().size()))) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MemoField::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText())
        return;
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const int left = std::max(0, room());
    if (text.size() > left)
        text.truncate(left);
    insertPlainText(text);
}

} // namespace korvalo

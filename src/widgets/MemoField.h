#pragma once

#include <QPlainTextEdit>

namespace korvalo {

// A multi-line text field whose typing and pasting stop at a number of
// characters (a line break counts as one); text the program puts in is not
// cut. Lines are the field's paragraphs, numbered from 0; the empty one after
// a final line break does not count.
class MemoField : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MemoField(QWidget* parent = nullptr);

    void setMaxLength(int length) { maxLength_ = length; }
    int maxLength() const { return maxLength_; }

    QStringList lines() const;
    void setLines(const QStringList& lines);
    // Replaces the text of one line; a line that does not exist is left alone.
    void replaceLine(int index, const QString& text);
    // Adds a line at the end; into an empty field it becomes the only line.
    void addLine(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // How many more characters the user may put in, counting the selection
    // that the input would replace.
    int room() const;

    int maxLength_ = 0; // 0: no limit
};

} // namespace korvalo

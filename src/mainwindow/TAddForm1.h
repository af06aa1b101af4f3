#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace korvalo {

class ButtonHoverGroup;
class ButtonWithColor;

// The site edit dialog: one instance for the whole run, shown modally by the
// edit action of the site lists. It keeps its fields and its category choice
// between uses.
class TAddForm1 : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 378;
    static constexpr int kHeight = 188;

    explicit TAddForm1(QWidget* parent = nullptr);

    // Maintainer mode: the "info" entry for the category list and the
    // UserMark field.
    void revealMaintainerControls(const QString& infoName);

    QLineEdit* Edit1;                  // description
    QComboBox* ComboBox1;              // category
    QLineEdit* Edit3;                  // address
    QComboBox* ComboBox2;              // language
    QLineEdit* Edit2;                  // the UserMark number, shown in maintainer mode
    ButtonWithColor* Button1;          // "تعديل": closes with OK
    ButtonWithColor* BitBtnWithColor2; // "فتح الموقع": opens the address in the field
    ButtonWithColor* Button2;          // "تراجع": closes with Cancel

Q_SIGNALS:
    // The user asked to open the address in the field.
    void openRequested(const QString& address);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    ButtonHoverGroup* hover_;
};

} // namespace korvalo

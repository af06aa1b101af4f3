#pragma once

#include <QDialog>
#include <QPoint>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace korvalo {

class ButtonHoverGroup;
class ButtonWithColor;

// The dialog that offers one browser shortcut at a time for the directory:
// its description, address, language and category. One instance lives as
// long as the main window; the language and the tree selection stay as the
// user last left them.
class TAddToKvlForm : public QDialog {
    Q_OBJECT
public:
    // What exec() returns for the three buttons.
    enum Result { AddResult = 100, SkipResult, AddAllResult };

    static constexpr int kWidth = 468;
    static constexpr int kHeight = 266;
    // The longest texts the user can type; longer ones can only be offered.
    static constexpr int kTitleTyped = 74;
    static constexpr int kUrlTyped = 79;
    static constexpr int kLanguageTyped = 7;

    explicit TAddToKvlForm(QWidget* parent = nullptr);

    // Puts a shortcut's name and address into the fields. Longer texts than
    // the typing limits are shown whole, so nothing is cut unseen.
    void offer(const QString& name, const QString& address);
    // The name of the category selected in the tree; empty when none is.
    QString selectedCategory() const;

    QLabel* Image1;                    // the stretched picture, which drags the window
    QLineEdit* Edit1;                  // description
    QLineEdit* Edit2;                  // address
    QComboBox* ComboBox1;              // language
    QTreeWidget* TreeView1;            // categories, filled with the other category views
    QPushButton* Button1;              // opens the address in the browser
    ButtonWithColor* BitBtnWithColor1; // "اضف"
    ButtonWithColor* BitBtnWithColor2; // "تخطي"
    ButtonWithColor* BitBtnWithColor3; // "إضافة الكل"

Q_SIGNALS:
    void openAddressRequested(const QString& address);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    ButtonWithColor* makeButton(const QString& caption, const char* name, int left, int result);

    ButtonHoverGroup* hover_;
    bool dragging_ = false;
    QPoint dragOffset_;
};

} // namespace korvalo

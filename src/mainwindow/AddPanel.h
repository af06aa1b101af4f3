#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvalo {

class ButtonWithColor;
class PanelHost;

// The add panel: one page adds a site, the other adds, renames and deletes
// categories. The description field also takes the maintainer's access code.
class AddPanel : public QWidget {
    Q_OBJECT
public:
    AddPanel(PanelHost& host, QWidget* parent = nullptr);

    static constexpr int kCategoryTab = 0;
    static constexpr int kAddressTab = 1;

    QLabel* Panel5;
    QLabel* Label13;
    QLabel* Label14;
    QTabBar* TabSet1;
    QWidget* Add_Web;
    QWidget* Add_Cat;

    QLineEdit* Edit2;     // description
    QComboBox* ComboBox2; // category
    QLineEdit* Edit3;     // address
    QComboBox* ComboBox3; // language
    ButtonWithColor* BitBtnWithColor2;
    QLineEdit* Edit10;    // the UserMark digit, shown in maintainer mode
    QPushButton* Button2; // the maintainer's version-record button

    QLineEdit* Edit7;                  // new category name
    QRadioButton* mainLevel;           // "رئيسي"
    QRadioButton* subLevel;            // "فرعي"
    ButtonWithColor* BitBtnWithColor3; // add category
    QTreeWidget* TreeView2;
    ButtonWithColor* BitBtnWithColor15; // rename
    ButtonWithColor* BitBtnWithColor13; // delete

    // Shows a page as choosing its tab does.
    void showTab(int index);

    void AddSiteClick();
    void AddCategoryClick();
    void RenameClick();
    void DeleteCategoryClick();

    // The UserMark that new records take.
    int32_t userMark() const;

    static QString maintainerCode() { return QStringLiteral("qentavrol"); }

private:
    void TreeView2Edited(QTreeWidgetItem* item);

    PanelHost& host_;
    QString editedOldText_;
    QTreeWidgetItem* editedItem_ = nullptr;
};

} // namespace korvalo

#pragma once

#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvalo {

class ButtonHoverGroup;
class ButtonWithColor;
class Directory;
class PanelHost;
struct DisplayLook;

// The add panel: one page adds a site, the other adds, renames and deletes
// categories. The description field also takes the maintainer's access code.
class AddPanel : public QWidget {
    Q_OBJECT
public:
    AddPanel(PanelHost& host, Directory& directory, QWidget* parent = nullptr);

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
    // The category page with an empty name field that has the focus.
    void startNewCategory();

    void AddSiteClick();
    // Writes the version record from the page's fields.
    void Button2Click();
    void AddCategoryClick();
    void RenameClick();
    void DeleteCategoryClick();

    // Where a delete takes its name from while another panel is the one
    // shown: the browse tree's selection. Gives nothing while this panel is.
    void setDeleteNameSource(std::function<std::optional<QString>()> source);

    // Maintainer mode: the "info" entry for the category list, the UserMark
    // field and the version-record button.
    void revealMaintainerControls(const QString& infoName);
    void restButtons();
    void applyDisplay(const DisplayLook& look);

    static QString maintainerCode() { return QStringLiteral("qentavrol"); }

Q_SIGNALS:
    // The description field held the access code when "اضــــــــــــــافة" was pressed.
    void maintainerCodeGiven();

private:
    void TreeView2Edited(QTreeWidgetItem* item);

    PanelHost& host_;
    Directory& directory_;
    ButtonHoverGroup* siteHover_;
    ButtonHoverGroup* categoryHover_;
    std::function<std::optional<QString>()> deleteNameSource_;
    QString editedOldText_;
    QTreeWidgetItem* editedItem_ = nullptr;
};

} // namespace korvalo

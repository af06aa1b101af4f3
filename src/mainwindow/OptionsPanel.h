#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvalo {

class ButtonWithColor;
class ColorPickerButton;
class PanelHost;

// The options panel: browser, favourites folder, start-up, password, font
// and colours. Its controls hold the loaded settings until Save or Cancel.
class OptionsPanel : public QWidget {
    Q_OBJECT
public:
    OptionsPanel(PanelHost& host, QWidget* parent = nullptr);

    QLabel* Panel4;
    QTreeWidget* TreeView3;
    QLabel* Label22;
    QLabel* Label23;
    QWidget* Startup_Panel;
    QWidget* Font_Panel;
    QWidget* Color_Panel;
    QWidget* Explorer_Panel;

    QCheckBox* CheckPass;
    QLineEdit* PassEdit;
    QCheckBox* CheckBox2;
    QCheckBox* MinimCheck;
    QComboBox* FontComboBox1;
    QComboBox* FontSizeComboBox;
    QCheckBox* FontCheckBox1;
    QCheckBox* FontCheckBox2;
    ColorPickerButton* ColorPickerButton1; // caption strips: text
    ColorPickerButton* ColorPickerButton2; // caption strips: background
    ColorPickerButton* ColorPickerButton3; // lists: text
    ColorPickerButton* ColorPickerButton4; // lists: background
    QLineEdit* Edit9;                      // browser program
    QLineEdit* Edit8;                      // favourites folder
    ButtonWithColor* BitBtnWithColor5;     // browse for the browser
    ButtonWithColor* BitBtnWithColor8;     // save
    ButtonWithColor* BitBtnWithColor9;     // cancel

    // Shows the page of a section of TreeView3; nothing without an item.
    void ShowOptionsSection(QTreeWidgetItem* item);

    void CheckPassClick();
    void CheckBox2Click();

    // The start-up gate for a stored password. True when the start goes on;
    // false when the user gave up and the program is ending.
    bool RunPasswordGate(const QString& storedPassword);

private:
    PanelHost& host_;
};

} // namespace korvalo

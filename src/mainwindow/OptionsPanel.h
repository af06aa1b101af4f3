#pragma once

#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvalo {

class ButtonHoverGroup;
class ButtonWithColor;
class ColorPickerButton;
class Directory;
class PanelHost;
class SettingsStore;
class TAutoRunner;
struct DisplayLook;
struct DisplaySettings;
struct StartupSettings;

// The options panel: browser, favourites folder, start-up, password, font
// and colours. Its controls hold the loaded settings until Save or Cancel.
class OptionsPanel : public QWidget {
    Q_OBJECT
public:
    OptionsPanel(PanelHost& host, Directory& directory, SettingsStore& settings,
                 QWidget* parent = nullptr);
    ~OptionsPanel() override;

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

    // Follow their boxes however they change, by a click or from the code.
    void CheckPassClick();
    void CheckBox2Click();

    // "حفظ": writes the settings, switches start with the system, removes or
    // adds the password record, applies the display settings and goes back to
    // the browse panel. A password the site file cannot hold is refused with a
    // message before anything is written.
    void SaveOptions();
    // "الغاء الأمر": reads the stored settings and password back into the
    // controls and into memory, then goes back to the browse panel. The font
    // and colour controls keep their edits.
    void CancelOptions();
    // "...": chooses the browser program into Edit9; nothing is stored yet.
    void BitBtnWithColor5Click();

    // The start-with-system entry. Made, and read from the registry, on first
    // use: the main window asks for it while loading, so that it mirrors the
    // entry as found at start-up.
    TAutoRunner& autoRunner();

    // The start-up gate for a stored password. True when the start goes on;
    // false when the user gave up and the program is ending.
    bool RunPasswordGate(const QString& storedPassword);

    // What the first start-up load found, into the controls it belongs to.
    void showStartupSettings(const StartupSettings& settings);
    // The face list filled with every typeface, then the stored display
    // settings; without any, the face and size of listFont (the lists'
    // design font) are chosen.
    void showDisplaySettings(const DisplaySettings& settings, const QFont& listFont);
    // The font and colours the controls hold, as the lists take them.
    DisplayLook displayLook() const;
    void applyDisplay(const DisplayLook& look);
    void restButtons();

Q_SIGNALS:
    // Save wrote the display settings: the lists are to take them.
    void displaySettingsSaved();

private:
    void reloadStoredSettings();

    PanelHost& host_;
    Directory& directory_;
    SettingsStore& settings_;
    ButtonHoverGroup* hover_;
    std::unique_ptr<TAutoRunner> autoRunner_;
};

} // namespace korvalo

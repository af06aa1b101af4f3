#pragma once

#include "data/Directory.h"
#include "mainwindow/CategoryViews.h"
#include "mainwindow/PanelHost.h"
#include "mainwindow/StartupEnvironment.h"

#include <QWidget>

#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QAction;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace korvalo {

class AddPanel;
class AssistantMode;
class BannerStrip;
class BackgroundArea;
class BrowserFavoritesPanel;
class BrowsePanel;
class ButtonWithColor;
class FavoritesPanel;
class MaintenanceTools;
class FloatingHint;
class OptionsPanel;
class SearchPanel;
class SiteActions;
class TAddForm1;
class THelpArt;
class TSplash;
class OnlineStatus;
class TOnlineIP;
class TTrayIcon;
class WebSearchBox;
class TXJustOne;
class RegistryFile;
class SettingsStore;

// The main window: one fixed picture of 792 by 540 without a caption bar,
// whose panels share one area. It places the controls, routes the toolbar
// and the tray to the panels, runs start-up and shutdown, and shows what the
// Directory it owns reports.
class TForm1 : public QWidget, public PanelHost {
    Q_OBJECT
public:
    static constexpr int kWidth = 792;
    static constexpr int kHeight = 540;
    // Where the window stays when the screen is too small to place it.
    static constexpr QPoint kDesignedPosition{0, 0};

    explicit TForm1(StartupEnvironment environment = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // Runs the construction and creation stages of start-up. False when a
    // required file is missing: its message has been shown and the program
    // must end without showing the window.
    bool startUp();

    ProgramState& state() { return directory_.state(); }
    Directory& directory() { return directory_; }
    // Decides, for the controls its table names, whether a click acts or
    // the assistant explains it.
    AssistantMode& assistantMode() { return *assistantMode_; }

    // Refills every category view from "cate.dat". False when the file
    // cannot be opened; the program then ends after its message.
    bool BuildCategoryViews(QTreeWidget* except = nullptr);

    // Gives the font and colour settings of the options controls to the
    // lists, the trees and the caption strips.
    void ApplyDisplaySettings();

    // The mouse over the bare background: hides the hint and the lit toolbar
    // pictures and rests the coloured buttons.
    void Image3MouseMove();
    // A click on a toolbar button's lit picture.
    void toolbarClick(const QString& name);

    // Makes one panel visible and the others invisible.
    void ShowPanel(QWidget* panel);

    // The exit command: hides the window, clears the lists, removes the
    // temporary files and ends the program.
    void N18Click();
    // The "ــ" button: minimises to the tray.
    void MinimizeClick();
    // After each minimise to the tray: the notice, until the user declines it.
    void TrayIcon1Minimize();
    // The machine went online or offline.
    void OnlineIP1Changed();

    // Controls of the shell.
    QLabel* Image2;         // the background picture
    BackgroundArea* Image3; // over it: dragging and the mouse-move reset
    QLabel* Caption;        // the version label
    QLabel* Count_Label;
    QLineEdit* ProgramDirEdit;
    QLineEdit* Edit6;                  // the browser path, as the launches read it
    QListWidget* Category;             // hidden: the category names the program works from
    ButtonWithColor* BitBtnWithColor4; // "ــ"
    ButtonWithColor* BitBtnWithColor6; // "X"
    BrowsePanel* Show_Panel;
    FavoritesPanel* Favorites_Panel;
    OptionsPanel* Config_Panel;
    AddPanel* Add_Panel;
    SearchPanel* Search_Panel;
    BrowserFavoritesPanel* Ie_Fav_Panel;
    TAddForm1* AddForm1; // the site edit dialog
    QMenu* TrayMenu;
    QAction* N1; // "إظهار النافذة": enabled while the window is minimised by "ــ"
    TTrayIcon* TrayIcon1;
    TOnlineIP* OnlineIP1;
    WebSearchBox* Web_Search;    // the web-search box on the right
    OnlineStatus* Online_Status; // Label9, Ip_Label and Shape2 in the status strip
    BannerStrip* Banners;        // Ban1 to Ban5 under the toolbar, Count_Users in the strip
    // Maintenance controls, hidden until the access code is given.
    QPushButton* Button11;
    QPushButton* Button12;
    QPushButton* Button13;
    QPushButton* Button14;
    QProgressBar* ProgressBar1; // the status strip's bar while another database is read

    // The shell's services to its panels.
    FloatingHint* hint() const override { return hint_; }
    void openSite(const QString& address) override;
    int showMessageBox(const QString& text, bool yesNo) override;
    void plainMessage(const QString& text) override;
    void showPanel(QWidget* panel) override { ShowPanel(panel); }
    QWidget* browsePanel() const override;
    void endProgram(int status) override;
    SiteActions& siteActions() override { return *siteActions_; }

    // Shows what an operation reports: its box, its plain message, or the
    // end of the program.
    void report(const Outcome& outcome);
    // Shows the category file's message and ends the program.
    void categoryFileMissing();
    // Reveals the maintenance controls and the "info" entries.
    void switchMaintainerModeOn();
    bool maintainerMode() const { return maintainerMode_; }

    // The text shown when "cate.dat" cannot be opened.
    static QString categoryFileMissingMessage();

    // The assistant and the about window, made hidden at start-up.
    THelpArt* HelpArt;
    TSplash* AboutForm;
    // Shows an explanation: the assistant goes back to its corner with the
    // title and the seven lines, a missing line empty.
    void ExplainControl(const QString& title, const QStringList& lines);
    // The Help button: the greeting, then the assistant mode flips and the
    // assistant shows or closes with it.
    void HelpClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void placeOnScreen();
    void buildTrayMenu();
    // A tray item that shows something: the window comes back first.
    void restoreAnd(QWidget* panel);
    std::vector<QWidget*> panels() const;
    void wireDirectory();
    void wireMaintenance();
    void showSiteFileName();
    void createAssistantWindows();
    void wireAssistant();
    void wireBanners();
    void showSiteCount(int64_t count);
    void loadStartupSettings();
    void loadDisplaySettings();
    void clearLists();
    void quit(int status);

    StartupEnvironment env_;
    Directory directory_;
    std::unique_ptr<RegistryFile> registry_;
    std::unique_ptr<SettingsStore> settings_;
    FloatingHint* hint_ = nullptr;
    CategoryViews categoryViews_;
    std::vector<QLabel*> litPictures_;
    SiteActions* siteActions_ = nullptr;
    AssistantMode* assistantMode_ = nullptr;
    MaintenanceTools* maintenanceTools_ = nullptr;
    std::unique_ptr<TXJustOne> justOne_;
    bool shownOnce_ = false;
    bool ending_ = false;
    bool maintainerMode_ = false;
};

} // namespace korvalo

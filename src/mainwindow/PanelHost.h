#pragma once

#include <QString>

#include <cstdint>

class QTreeWidget;
class QWidget;

namespace korvalo {

class FloatingHint;
class SettingsStore;
class SiteActions;
struct ProgramState;
struct SiteRow;

// What the panels ask of the main window that owns them.
class PanelHost {
public:
    virtual ~PanelHost() = default;

    virtual ProgramState& state() = 0;
    // Shows the category file's message and ends the program.
    virtual void categoryFileMissing() = 0;
    virtual FloatingHint* hint() const = 0;
    // Opens an address in the configured browser.
    virtual void openSite(const QString& address) = 0;
    // The system's message window: 1 for "تم"/"موافق", 2 for "الغاء".
    virtual int showMessageBox(const QString& text, bool yesNo) = 0;
    // Sets the site count and shows it in Count_Label.
    virtual void setSiteCount(int64_t count) = 0;
    // The platform's plain message window.
    virtual void plainMessage(const QString& text) = 0;
    // Refills every category view from "cate.dat", except the one given
    // (which already shows the change). False when the file is missing: the
    // program is then ending.
    virtual bool rebuildCategoryViews(QTreeWidget* except = nullptr) = 0;
    // Adds a row at the end of the browse list, whatever category it shows.
    virtual void appendBrowseRow(const SiteRow& row) = 0;
    // Whether the browse panel is the one shown, and its tree's selected name.
    virtual bool browsePanelShown() const = 0;
    virtual QString browseTreeSelection() const = 0;
    // Reveals the maintenance controls and the "info" entries.
    virtual void switchMaintainerModeOn() = 0;
    // The settings store of the run.
    virtual SettingsStore& settings() = 0;
    // Gives the options controls' fonts and colours to the lists and trees.
    virtual void applyDisplaySettings() = 0;
    // Makes one panel the visible one.
    virtual void showPanel(QWidget* panel) = 0;
    // The browse panel, which several panels return to.
    virtual QWidget* browsePanel() const = 0;
    // Ends the program at once with a status (the window is not shown again).
    virtual void endProgram(int status) = 0;
    // Registers a category tree that BuildCategoryViews fills with the others.
    virtual void addCategoryTree(QTreeWidget* tree) = 0;
    // The UserMark that new records take: the add panel's Edit10 (1 unless a
    // maintainer changed it).
    virtual int32_t userMark() const { return 1; }
    // Assistant mode: while it is on, a command shows the explanation of the
    // control named (its objectName) instead of acting, and this returns
    // true. False while the mode is off: the command then acts.
    virtual bool explainInsteadOfActing(const QString& control) {
        Q_UNUSED(control);
        return false;
    }
    // The open, send, edit and delete actions shared by the site lists.
    virtual SiteActions& siteActions() = 0;
    // Sends a site of the directory to the program's favourites list.
    virtual void addToFavorites(const QString& address) = 0;
};

} // namespace korvalo

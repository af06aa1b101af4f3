#pragma once

#include <QString>

class QWidget;

namespace korvalo {

class FloatingHint;
class SiteActions;

// The services of the main window that its panels use. Data goes through
// the Directory instead, and what a panel's change means for the other
// panels travels by the Directory's signals.
class PanelHost {
public:
    virtual ~PanelHost() = default;

    // Makes one panel the visible one.
    virtual void showPanel(QWidget* panel) = 0;
    // The browse panel, which several panels return to.
    virtual QWidget* browsePanel() const = 0;
    virtual FloatingHint* hint() const = 0;
    // The system's message window: 1 for "تم"/"موافق", 2 for "الغاء".
    virtual int showMessageBox(const QString& text, bool yesNo) = 0;
    // The platform's plain message window.
    virtual void plainMessage(const QString& text) = 0;
    // Opens an address in the configured browser.
    virtual void openSite(const QString& address) = 0;
    // Ends the program at once with a status (the window is not shown again).
    virtual void endProgram(int status) = 0;
    // The open, send, edit and delete actions shared by the site lists.
    virtual SiteActions& siteActions() = 0;
};

} // namespace korvalo

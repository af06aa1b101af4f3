#pragma once

#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QSlider;
class QTimer;
class QTreeView;

namespace korvalo {

class ButtonHoverGroup;
class ButtonWithColor;
class Directory;
class PanelHost;
class SiteListModel;
struct DisplayLook;
struct SiteRow;

// The program's own favourites list: opening all or the selected sites,
// opening them one by one on a timer, copying them to the browser's
// favourites folder and clearing the list.
class FavoritesPanel : public QWidget {
    Q_OBJECT
public:
    FavoritesPanel(PanelHost& host, Directory& directory, QWidget* parent = nullptr);

    // The designed minutes of the timer's interval; the interval itself comes
    // through longTimerInterval.
    static constexpr int kMaxMinutes = 60;

    QTreeView* ListView5;
    QListWidget* ListBox1;    // hidden: the descriptions, the names used for shortcut copies
    ButtonWithColor* Button1; // open all
    ButtonWithColor* Button3; // open the selected
    ButtonWithColor* Button7; // copy the selected to the browser favourites
    ButtonWithColor* Button4; // clear
    QSlider* TrackBar1;       // minutes between two timed openings, 0 = off
    QLabel* Label1;
    QTimer* Timer2;

    SiteListModel* favorites() const { return model_; }
    void setRows(const std::vector<SiteRow>& rows);
    void clear();

    // Enabling when the panel is shown from the toolbar: the selection
    // commands follow the selection, the others the rows.
    void refreshButtons();
    // Enabling when it is shown from the tray menu: everything follows the rows.
    void refreshButtonsFromTray();

    // Appends the site with this address (the first record of the site file
    // that has it) to the favourites file and the list. A file that cannot
    // be written is reported; an unknown address or a missing site file
    // adds nothing, silently.
    void AddToFavorites(const QString& address);

    void restButtons();
    void applyDisplay(const DisplayLook& look);

    // The row the next timer tick opens; it only ever grows during a run.
    int nextTimedRow() const { return nextRow_; }

    void Button1Click();
    void Button3Click();
    void Button7Click();
    void Button4Click();
    void TrackBar1Change(int minutes);
    void Timer2Timer();
    void ListView5DblClick();
    void ListView5SelectItem();

private:
    std::vector<int> selectedRows() const;
    void appendRow(const SiteRow& row);

    PanelHost& host_;
    Directory& directory_;
    SiteListModel* model_;
    ButtonHoverGroup* hover_;
    int nextRow_ = 0;
};

} // namespace korvalo

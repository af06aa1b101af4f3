#pragma once

#include <QWidget>

namespace korvalo {

class PanelHost;

// The browser-favourites panel: the Internet shortcut files of the
// browser's favourites folder, which can be opened and added to the
// directory.
class BrowserFavoritesPanel : public QWidget {
    Q_OBJECT
public:
    BrowserFavoritesPanel(PanelHost& host, QWidget* parent = nullptr);

    // Reloads the folder; called each time the panel is shown.
    void reload();

private:
    PanelHost& host_;
};

} // namespace korvalo

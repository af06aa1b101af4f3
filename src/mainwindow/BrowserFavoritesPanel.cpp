#include "mainwindow/BrowserFavoritesPanel.h"

#include "mainwindow/PanelHost.h"

namespace korvalo {

BrowserFavoritesPanel::BrowserFavoritesPanel(PanelHost& host, QWidget* parent)
    : QWidget(parent)
    , host_(host) {
    setObjectName(QStringLiteral("Ie_Fav_Panel"));
    setAutoFillBackground(true);
}

void BrowserFavoritesPanel::reload() {}

} // namespace korvalo

#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QToolButton;

namespace korvalo {

class PanelHost;
class TOnlineIP;

// The web-search box on the right of the main window: a query field, a
// picture button that starts the search and the list of fourteen engines.
// The search opens the engine's query address in the browser; it is refused
// while the online-state watcher reports the machine offline.
class WebSearchBox : public QWidget {
    Q_OBJECT
public:
    // Where the box sits in the main window.
    static constexpr QRect kGeometry{672, 256, 112, 47};

    WebSearchBox(PanelHost& host, QWidget* parent = nullptr);

    QLineEdit* Edit11;    // the query, right to left; Enter does nothing
    QToolButton* Image4;  // starts the search
    QComboBox* ComboBox1; // the engines, pick only

    // The watcher whose Online gates the search. Without one (or once it is
    // gone) the machine counts as offline.
    void setOnlineWatcher(const TOnlineIP* watcher);

    // The start-up choice of item 0.
    void selectFirstEngine();

    // The click on Image4.
    void Image4Click();
    // Offline: the message and nothing more. Otherwise, with a query typed
    // and an engine chosen, opens the engine's query address.
    void SearchTheWeb();

    static QString offlineMessage();

private:
    PanelHost& host_;
    QPointer<const TOnlineIP> watcher_;
};

} // namespace korvalo

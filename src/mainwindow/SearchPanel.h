#pragma once

#include <QWidget>

class QLineEdit;

namespace korvalo {

class PanelHost;

// The local search panel: finds sites by a piece of their address or of
// their description.
class SearchPanel : public QWidget {
    Q_OBJECT
public:
    SearchPanel(PanelHost& host, QWidget* parent = nullptr);

    QLineEdit* Edit4; // the search text

private:
    PanelHost& host_;
};

} // namespace korvalo

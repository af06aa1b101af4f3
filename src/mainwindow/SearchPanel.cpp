#include "mainwindow/SearchPanel.h"

#include "mainwindow/PanelHost.h"

#include <QLineEdit>

namespace korvalo {

SearchPanel::SearchPanel(PanelHost& host, QWidget* parent)
    : QWidget(parent)
    , host_(host) {
    setObjectName(QStringLiteral("Search_Panel"));
    setAutoFillBackground(true);
    Edit4 = new QLineEdit(this);
    Edit4->setObjectName(QStringLiteral("Edit4"));
    Edit4->setGeometry(300, 50, 300, 24);
}

} // namespace korvalo

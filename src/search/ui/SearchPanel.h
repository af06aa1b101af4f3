#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QTableView;

namespace korvalo {

class ButtonHoverGroup;
class ButtonWithColor;
class Directory;
class PanelHost;
class SiteListModel;
struct DisplayLook;

// The local search panel: finds sites by a piece of their address or of
// their description and lists them sorted by address.
class SearchPanel : public QWidget {
    Q_OBJECT
public:
    SearchPanel(PanelHost& host, Directory& directory, QWidget* parent = nullptr);

    QGroupBox* GroupBox3;
    QLineEdit* Edit4; // the search text
    ButtonWithColor* BitBtnWithColor1;
    QGroupBox* RadioGroup1;
    QRadioButton* RadioButton1; // search the descriptions
    QRadioButton* RadioButton2; // search the addresses
    QLabel* UrlCaption;         // the caption strips standing in for the list's header
    QLabel* CategoryCaption;
    QLabel* TitleCaption;
    QTableView* ListView2;
    QLabel* Found_Label;
    QMenu* PopupMenu2 = nullptr; // made on first use

    SiteListModel* results() const { return model_; }

    // The three search actions; each searches only when Edit4 is not empty.
    void BitBtnWithColor1Click();
    void Edit4Enter();
    void Edit4DblClick();
    // Lists every site whose description or address (by the chosen scope)
    // holds the query, and shows the count.
    void SearchSites(const QString& query);

    void RadioButton1Click();
    void RadioButton2Click();
    void ListView2DblClick();

    // Empties the result list (another site file was opened, or the program
    // is closing); the count stays.
    void clearResults();

    // The keyboard focus goes to the search field, as the panel is shown.
    void focusQuery();
    void restButtons();
    void applyDisplay(const DisplayLook& look);

    // Three blanks, the word, one blank and the count.
    static QString foundText(int count);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void searchIfGiven();

    PanelHost& host_;
    Directory& directory_;
    SiteListModel* model_;
    ButtonHoverGroup* hoverGroup_;
};

} // namespace korvalo

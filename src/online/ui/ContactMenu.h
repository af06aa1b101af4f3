#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

class QLabel;
class QMenu;
class QWidget;

namespace korvalo {

class PanelHost;
class TFormMail;

// The main window's ways to the maker: the contact menu Option_Popup ("راسلنا",
// "طلب اضافة عنوان", "اخبر صديقك") and the picture Image1 in the bottom right
// corner, which opens the maker's home page.
class ContactMenu : public QObject {
    Q_OBJECT
public:
    // Where Image1 sits in the main window: at the foot of the web-search
    // column, clear of the status strip.
    static constexpr QRect kImage1Geometry{671, 438, 105, 57};

    ContactMenu(PanelHost& host, TFormMail& mail, QWidget* window);

    QMenu* Option_Popup;
    QLabel* Image1;

    // Pops the menu up with its top right corner at a point of the screen.
    void popUp(const QPoint& topRight);

    void N31Click(); // "راسلنا": the mail dialog in contact mode
    void N32Click(); // "اخبر صديقك": the mail dialog in tell-a-friend mode
    void N6Click();  // "طلب اضافة عنوان": the site proposal page
    void Image1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PanelHost& host_;
    TFormMail& mail_;
};

} // namespace korvalo

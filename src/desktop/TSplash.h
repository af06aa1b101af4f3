#pragma once

#include <QDialog>

#include <functional>

class QFrame;
class QLabel;
class QTimer;

namespace korvalo {

class ButtonHoverGroup;
class ButtonWithColor;

// The program's picture in a small framed window, centred and on top. One
// copy is the start-up splash, which closes itself after its timer; another,
// made at start-up and never shown as a splash, is the about window.
class TSplash : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 404;
    static constexpr int kHeight = 202;
    static constexpr int kCloseAfterMs = 4000;

    // Timer1 starts now: the window closes `closeAfterMs` from its creation.
    explicit TSplash(QWidget* parent = nullptr, int closeAfterMs = kCloseAfterMs);

    // Shows the splash and paints it at once, before the program goes on
    // with work that keeps the event loop from running.
    void showSplash();

    // The about window: the build text, the close and web-site buttons, shown
    // modally until "اغـلاق".
    void ShowAbout();

    // Opens an address in the browser; the web-site button calls it.
    void setSiteOpener(std::function<void(const QString& address)> open) {
        open_ = std::move(open);
    }

    // The maker's web site as the about window opens it: the server's host,
    // with its port when it names one, and "/", without a scheme.
    static QString siteAddress();

    static QString buildText();

    QFrame* Panel2;
    QLabel* Image1;                    // the picture
    QLabel* Label1;                    // the build text, on the about window only
    ButtonWithColor* BitBtnWithColor4; // "اغـلاق"
    ButtonWithColor* BitBtnWithColor1; // the web site
    QTimer* Timer1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    ButtonWithColor* button(const char* name, int left);

    ButtonHoverGroup* hover_;
    std::function<void(const QString&)> open_;
};

} // namespace korvalo

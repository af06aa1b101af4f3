#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace korvalo {

class ButtonHoverGroup;
class ButtonWithColor;

// The start-up password prompt. It only collects the typed text: the caller
// shows it modally, gets 1 (OK) or 2 (Cancel), reads `Password` and may clear
// it. The text stays in `Password` between showings until a caller clears it.
class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 251;
    static constexpr int kHeight = 100;
    static constexpr int kOk = 1;
    static constexpr int kCancel = 2;

    explicit TPasswordDlg(QWidget* parent = nullptr);

    // The prompt of the whole run, made on first use and deleted when the
    // event loop ends.
    static TPasswordDlg& instance();

    QLabel* Image1;
    QLabel* Label1;
    QLineEdit* Password;
    ButtonWithColor* Button1; // OK
    ButtonWithColor* Button2; // Cancel

public Q_SLOTS:
    // Escape and the platform's close command answer Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    ButtonHoverGroup* hover_;
};

} // namespace korvalo

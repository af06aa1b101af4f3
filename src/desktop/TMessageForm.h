#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;

namespace korvalo {

class ButtonHoverGroup;
class ButtonWithColor;

// The system's own message window: a borderless picture card with an Arabic
// text and either "تم" alone or "موافق" and "الغاء". Every panel reaches it
// through ShowMessageBox.
class TMessageForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 139;
    // The answers, as ShowMessageBox returns them.
    static constexpr int kPositive = 1; // "تم" or "موافق"
    static constexpr int kCancel = 2;   // "الغاء", or the window closed

    explicit TMessageForm(QWidget* parent = nullptr);

    // The window of the whole run, made on first use; the main window asks
    // for it at start-up so the first message does not wait for its artwork.
    // It is deleted when the event loop ends.
    static TMessageForm& instance();

    // Fills the window for one message: the text, then the buttons of an
    // information box or of a question.
    void prepare(const QString& text, bool yesNo);

    // The first visible button in the order "موافق", "تم", "الغاء": it has the
    // keyboard focus when the window opens.
    ButtonWithColor* firstVisibleButton() const;

    QLabel* Image1; // the background picture
    QLabel* Label1; // the message
    ButtonWithColor* Yes;
    ButtonWithColor* Ok;
    ButtonWithColor* No;
    // Hidden; only the minimise-to-tray notice shows them, for one message,
    // and reads the box afterwards. The box keeps its tick between showings.
    QLabel* Image2;
    QCheckBox* CheckBox1;

public Q_SLOTS:
    // The platform's close command answers "الغاء" even in an information box.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    ButtonWithColor* makeButton(const QString& caption, const char* name, int left, int result);

    ButtonHoverGroup* hover_;
};

// Shows `text` in the message window and waits for the answer: with `yesNo`
// false an information box with "تم", with `yesNo` true a question with
// "موافق" and "الغاء". Returns 1 for "تم" or "موافق" and 2 for "الغاء". A line
// break in `text` starts a new line; the text is never read as markup.
int ShowMessageBox(const QString& text, bool yesNo);

} // namespace korvalo

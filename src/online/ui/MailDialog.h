#pragma once

#include "platform/RegistryFile.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QMovie;

namespace korvalo {

class ButtonHoverGroup;
class ButtonWithColor;
class MemoField;
class TOnlineIP;
class TRegComboBox;

// What the two mail dialogs share: a borderless picture card dragged by its
// background, coloured buttons with their hover colours, the message area,
// the history boxes, the sending notice, the online gate and the messages
// shown to the user.
class MailDialog : public QDialog {
    Q_OBJECT
public:
    // The watcher whose Online gates sending; without one the machine counts
    // as offline.
    void setOnlineWatcher(const TOnlineIP* watcher);

    QLabel* Image1;      // the background, which also drags the window
    MemoField* Message;  // the message text
    QLabel* Clock_Image; // shown while a message is on its way
    QLabel* SendLabel;   // likewise

    static QString offlineMessage();
    static QString missingFieldsMessage();
    static QString badAddressMessage();
    static QString sentMessage();
    static QString notSentMessage();
    static QString failedMessage();

protected:
    MailDialog(const QString& objectName, QSize size, const QString& picture,
               const RegistryFile& registry, QWidget* parent, Qt::WindowFlags flags);

    TRegComboBox* addHistoryBox(const char* name, const QRect& geometry, int maxLength,
                                bool leftToRight);
    QLineEdit* addEdit(const char* name, const QRect& geometry, int maxLength);
    QLabel* addLabel(const char* name, const QString& text, const QRect& geometry);
    ButtonWithColor* addButton(const char* name, const QString& caption, const QRect& geometry);
    MemoField* addMessage(const QRect& geometry);
    // The sending notice; clock is the animation to play, if any.
    void addSendingNotice(const QRect& clockGeometry, const QRect& labelGeometry,
                          const QString& clock);

    bool online() const;
    void showSending(bool on);
    void restButtons();
    // Two blanks at the end of every line of Message, visibly.
    void appendTwoBlanks();
    // The text of Message as the relay takes it: lines joined by CR LF.
    QString body() const;
    // The history boxes take the registry's entries.
    void loadHistories();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RegistryFile registry_;
    ButtonHoverGroup* hover_;
    QMovie* clock_ = nullptr;
    QPointer<const TOnlineIP> watcher_;
    bool dragging_ = false;
    QPoint pressedAt_; // on the screen
    QPoint windowAtPress_;
};

} // namespace korvalo

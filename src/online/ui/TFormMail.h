#pragma once

#include "online/ui/MailDialog.h"

class QCheckBox;
class QFrame;
class QIODevice;
class QLineEdit;

namespace korvalo {

class ButtonWithColor;
class TCustomHTTPClient;
class THTTPClient;
class TRegComboBox;

// The mail dialog, shown modally in one of two modes: contact (a message to
// the maker) or tell-a-friend (a ready-made recommendation of the program,
// mailed to a friend). The menu command sets the mode before showing it;
// the fields keep their text between showings.
class TFormMail : public MailDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 449;
    static constexpr int kHeight = 316;
    // The fixed subject of a tell-a-friend mail.
    static QString tellSubject();
    // The ten lines of the recommendation.
    static QStringList tellTemplate();

    explicit TFormMail(const RegistryFile& registry, QWidget* parent = nullptr);

    void setContactMode();
    void setTellMode();

    QLabel* Contact_Image;
    QLabel* Tell_Image;
    QFrame* Bevel1;
    TRegComboBox* Name;
    TRegComboBox* Email;
    QLineEdit* Subject;
    TRegComboBox* FriendName;
    TRegComboBox* FriendEmail;
    QCheckBox* CheckBox1;              // the user writes the message instead of the template
    ButtonWithColor* BitBtnWithColor1; // "ارسل"
    ButtonWithColor* BitBtnWithColor2; // "مسح الحقول"
    ButtonWithColor* BitBtnWithColor3; // "اغلاق"
    THTTPClient* HTTPSendMail2;

    void BitBtnWithColor1Click();
    void BitBtnWithColor2Click();
    void BitBtnWithColor3Click();
    void CheckBox1Click();
    void FormShow();
    void NameChange();
    void EmailChange();
    void FriendNameChange();
    void HTTPSendMail2Done(TCustomHTTPClient* sender, const QString& contentType, qint64 size,
                           QIODevice* stream);
    void HTTPSendMail2AnyError(TCustomHTTPClient* sender);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The mode, as the dialog reads it: the friend's address is shown only
    // for a tell-a-friend mail, the check box only with its template.
    bool tellingToSend() const;
    bool tellingForMessage() const;
    void fillTemplate();
    void resetMessageArea();

    QLabel* subjectLabel_;
    QLabel* messageLabel_;
    QLabel* friendNameLabel_;
    QLabel* friendEmailLabel_;
};

} // namespace korvalo

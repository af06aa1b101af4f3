#pragma once

#include "online/ui/MailDialog.h"

class QIODevice;
class QLineEdit;

namespace korvalo {

class ButtonWithColor;
class TCustomHTTPClient;
class THTTPClient;
class TRegComboBox;

// The send-to-friend dialog: mails the addresses collected from the site
// lists' "صديق" items to a friend. It stays above the other windows and
// leaves the main window usable.
class TSendUrlToFrind : public MailDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 317;
    static constexpr int kHeight = 331;

    explicit TSendUrlToFrind(const RegistryFile& registry, QWidget* parent = nullptr);

    // A site list's "صديق": the address as a new last line, then the dialog.
    void addSiteAndShow(const QString& address);

    TRegComboBox* Name;
    TRegComboBox* Email;
    QLineEdit* Subject;
    TRegComboBox* FriendEmail;
    ButtonWithColor* BitBtnWithColor1; // "ارسل"
    ButtonWithColor* BitBtnWithColor3; // "اغلاق"
    THTTPClient* HTTPSendMail;

    void BitBtnWithColor1Click();
    void BitBtnWithColor3Click();
    void HTTPSendMailDone(TCustomHTTPClient* sender, const QString& contentType, qint64 size,
                          QIODevice* stream);
    void HTTPSendMailAnyError(TCustomHTTPClient* sender);

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool placed_ = false;
};

} // namespace korvalo

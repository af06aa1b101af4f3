#pragma once

#include <QObject>
#include <QString>

namespace korvalo {

// A component holding a user name and a password, each cut to at most 255
// characters.
class TLoginComponent : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kMaxLength = 255;

    explicit TLoginComponent(QObject* parent = nullptr);

    virtual QString GetUsername() const;
    virtual void SetUsername(const QString& value);
    virtual QString GetPassword() const;
    virtual void SetPassword(const QString& value);

private:
    QString username_;
    QString password_;
};

} // namespace korvalo

#include "online/TLoginComponent.h"

namespace korvalo {

TLoginComponent::TLoginComponent(QObject* parent)
    : QObject(parent) {}

QString TLoginComponent::GetUsername() const {
    return username_;
}

void TLoginComponent::SetUsername(const QString& value) {
    username_ = value.left(kMaxLength);
}

QString TLoginComponent::GetPassword() const {
    return password_;
}

void TLoginComponent::SetPassword(const QString& value) {
    password_ = value.left(kMaxLength);
}

} // namespace korvalo

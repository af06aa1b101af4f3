#include "data/FieldText.h"

#include "data/Cp1256.h"
#include "data/SourceText.h"

namespace korvalo {

namespace {

QString fieldTitle(TextField field) {
    switch (field) {
    case TextField::Url:
        return u("العنوان");
    case TextField::Title:
        return u("وصف العنوان");
    case TextField::Language:
        return u("لغة الموقع");
    case TextField::Name:
        return u("اسم الموضوع");
    }
    return {};
}

} // namespace

std::optional<std::string> fieldBytes(const QString& text, TextField field, QString* message) {
    if (const auto bad = Cp1256::firstUnrepresentable(text)) {
        if (message)
            *message = fieldTitle(field) + u(" يحتوي على الحرف \"") + *bad +
                       u("\" الذي لا يمكن حفظه في الدليل");
        return std::nullopt;
    }
    std::string bytes = *Cp1256::fromUnicode(text);
    if (const auto e = checkText(field, bytes)) {
        if (message) {
            if (e->problem == FieldError::TooLong)
                *message = fieldTitle(field) + u(" أطول من المسموح: ") +
                           QString::number(e->maxLength) + u(" حرفاً على الأكثر");
            else
                *message = fieldTitle(field) + u(" يحتوي على حرف غير مقبول");
        }
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::string> passwordBytes(const QString& text, QString* message) {
    if (const auto bad = Cp1256::firstUnrepresentable(text)) {
        if (message)
            *message = u("كلمة السر تحتوي على الحرف \"") + *bad +
                       u("\" الذي لا يمكن حفظه، اختر كلمة سر اخرى");
        return std::nullopt;
    }
    std::string bytes = *Cp1256::fromUnicode(text);
    if (const auto e = checkText(TextField::Title, bytes)) {
        if (message)
            *message = e->problem == FieldError::TooLong
                           ? u("كلمة السر أطول من المسموح: ") + QString::number(e->maxLength) +
                                 u(" حرفاً على الأكثر")
                           : u("كلمة السر تحتوي على حرف غير مقبول");
        return std::nullopt;
    }
    return bytes;
}

} // namespace korvalo

#include "data/FieldText.h"

#include "data/Cp1256.h"

namespace korvalo {

namespace {

QString fieldTitle(TextField field) {
    switch (field) {
    case TextField::Url:
        return QString::fromUtf8("العنوان");
    case TextField::Title:
        return QString::fromUtf8("وصف العنوان");
    case TextField::Language:
        return QString::fromUtf8("لغة الموقع");
    case TextField::Name:
        return QString::fromUtf8("اسم الموضوع");
    }
    return {};
}

} // namespace

std::optional<std::string> fieldBytes(const QString& text, TextField field, QString* message) {
    if (const auto bad = Cp1256::firstUnrepresentable(text)) {
        if (message)
            *message = fieldTitle(field) + QString::fromUtf8(" يحتوي على الحرف \"") + *bad +
                       QString::fromUtf8("\" الذي لا يمكن حفظه في الدليل");
        return std::nullopt;
    }
    std::string bytes = *Cp1256::fromUnicode(text);
    if (const auto e = checkText(field, bytes)) {
        if (message) {
            if (e->problem == FieldError::TooLong)
                *message = fieldTitle(field) + QString::fromUtf8(" أطول من المسموح: ") +
                           QString::number(e->maxLength) + QString::fromUtf8(" حرفاً على الأكثر");
            else
                *message = fieldTitle(field) + QString::fromUtf8(" يحتوي على حرف غير مقبول");
        }
        return std::nullopt;
    }
    return bytes;
}

QString scratchFileMessage() {
    return QString::fromUtf8("  حرر مساحة خالية temp.tmp  تعذر فتح الملف");
}

} // namespace korvalo

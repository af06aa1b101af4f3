#include "data/Outcome.h"

#include "data/SourceText.h"

namespace korvalo {

QString scratchFileMessage() {
    return u("  حرر مساحة خالية temp.tmp  تعذر فتح الملف");
}

QString categoryFileMissingMessage() {
    return u("cate.dat  تعذر فتح الملف") + QLatin1Char('\n') + u(" الملف مطلوب لتشغيل البرنامج");
}

Outcome Outcome::duplicate() {
    return {Status::Duplicate, u("العنوان المدخل موجود مسبقاً")};
}

Outcome Outcome::scratchFailed() {
    return {Status::ScratchFailed, scratchFileMessage()};
}

Outcome Outcome::notAppended() {
    // The same words as the missing file, but the program goes on.
    return {Status::NotAppended, categoryFileMissingMessage()};
}

Outcome Outcome::categoryFileMissing() {
    return {Status::CategoryFileMissing, categoryFileMissingMessage()};
}

Outcome Outcome::siteFileMissing(const QString& siteFileName) {
    return {Status::SiteFileMissing, siteFileName + u(" تعذر فتح الملف")};
}

} // namespace korvalo

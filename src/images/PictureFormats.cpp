#include "images/PictureFormats.h"

#include <QImageReader>

namespace korvalo {

QStringList missingPictureFormats() {
    const QList<QByteArray> supported = QImageReader::supportedImageFormats();
    QStringList missing;
    for (const char* format : {"gif", "jpeg"})
        if (!supported.contains(QByteArray(format)))
            missing << QString::fromLatin1(format).toUpper();
    return missing;
}

QString missingPictureFormatsMessage(const QStringList& missing) {
    return QString::fromUtf8("تعذر تشغيل البرنامج: لا يوجد في هذا النظام قارئ لصور ") +
           missing.join(QStringLiteral(" / ")) +
           QString::fromUtf8("\nثبت حزمة libqt6gui6 كاملة ثم أعد تشغيل البرنامج");
}

} // namespace korvalo

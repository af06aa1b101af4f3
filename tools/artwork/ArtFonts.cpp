#include "ArtFonts.h"

#include <QFontDatabase>
#include <QStringList>

#include <cstdio>

namespace korvalo::art {

namespace {

QFont makeFont(const QString& family, qreal pixelSize, bool bold) {
    QFont font(family);
    font.setPixelSize(qRound(pixelSize));
    font.setBold(bold);
    // Fixed hinting keeps glyph outlines independent of the desktop's settings.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace

QString ArtFonts::pick(const QStringList& preferred) {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : preferred) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    }
    std::fprintf(stderr, "korvalo_artwork: none of %s is installed; using the default face\n",
                 qPrintable(preferred.join(QStringLiteral(", "))));
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

QFont ArtFonts::arabic(qreal pixelSize, bool bold) {
    static const QString family =
        pick({QStringLiteral("Noto Sans Arabic"), QStringLiteral("Noto Naskh Arabic"),
              QStringLiteral("DejaVu Sans")});
    return makeFont(family, pixelSize, bold);
}

QFont ArtFonts::latin(qreal pixelSize, bool bold) {
    static const QString family =
        pick({QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans")});
    return makeFont(family, pixelSize, bold);
}

} // namespace korvalo::art

#include "SplashArtwork.h"

#include "ArtFonts.h"
#include "ArtPalette.h"
#include "GlyphPainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace korvalo::art {

QImage SplashArtwork::render() const {
    QImage image(kSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal w = kSize.width();
    const qreal h = kSize.height();

    QLinearGradient across(0, 0, w, h);
    across.setColorAt(0.0, kNavy);
    across.setColorAt(0.6, kDeepTeal);
    across.setColorAt(1.0, kTeal);
    p.fillRect(QRectF(0, 0, w, h), across);

    // Wide faint orbits behind the mark, as on the main window's header.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 14), 22));
    p.drawEllipse(QPointF(300, 230), 260, 150);
    p.setPen(QPen(QColor(255, 255, 255, 9), 12));
    p.drawEllipse(QPointF(320, 250), 330, 200);

    QRadialGradient light(QPointF(318, 78), 120);
    light.setColorAt(0.0, QColor(255, 255, 255, 40));
    light.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    p.drawEllipse(QPointF(318, 78), 120, 120);

    // The mark and the names stay right of x 190: the about window lays its
    // build text at 3,8 and its buttons along the bottom left.
    GlyphPainter glyphs(p);
    glyphs.drawLogo(QPointF(318, 78), 92);

    p.setPen(Qt::white);
    p.setFont(ArtFonts::latin(34, true));
    p.drawText(QRectF(20, 44, 240, 44), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Korvalo"));
    p.setPen(kAmber);
    p.setFont(ArtFonts::latin(13, true));
    p.drawText(QRectF(20, 88, 240, 18), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("2.0"));

    p.setPen(kCaption);
    p.setFont(ArtFonts::arabic(20, true));
    p.drawText(QRectF(120, 130, 262, 30), Qt::AlignRight | Qt::AlignVCenter,
               QString::fromUtf8("دليل المواقع"));
    p.setFont(ArtFonts::arabic(13));
    p.drawText(QRectF(120, 160, 262, 24), Qt::AlignRight | Qt::AlignVCenter,
               QString::fromUtf8("دليلك المنظم الى مواقع الشبكة"));

    // What the directory offers, as faint tiles in the open left part.
    const Glyph offers[] = {Glyph::Star, Glyph::Magnifier, Glyph::Plus};
    for (int i = 0; i < 3; ++i) {
        const QPointF at(38 + i * 46, 112);
        p.setPen(QPen(QColor(255, 255, 255, 40), 1));
        p.setBrush(QColor(255, 255, 255, 14));
        p.drawRoundedRect(QRectF(at.x() - 17, at.y() - 17, 34, 34), 8, 8);
        glyphs.draw(offers[i], at, 20, QColor(0xea, 0xf6, 0xf8, 150), 1.7);
    }

    // The strip along the bottom edge, and the accent line over it.
    p.fillRect(QRectF(0, h - 8, w, 8), QColor(0, 0, 0, 60));
    p.fillRect(QRectF(0, h - 9, w, 1), kAccentLine);

    p.end();
    return image;
}

} // namespace korvalo::art

#include "AppIcon.h"

#include "ArtPalette.h"
#include "GlyphPainter.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QSvgGenerator>

namespace korvalo::art {

const std::vector<int>& AppIcon::themeSizes() {
    static const std::vector<int> sizes = {16, 32, 48, 64, 128, 256};
    return sizes;
}

QImage AppIcon::render(int pixels) const {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(qreal(pixels) / kDesignSize, qreal(pixels) / kDesignSize);
    paint(p, pixels < 32);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool AppIcon::writeSvg(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(QSize(kDesignSize, kDesignSize));
    svg.setViewBox(QRect(0, 0, kDesignSize, kDesignSize));
    svg.setTitle(QStringLiteral("Korvalo"));
    svg.setDescription(QStringLiteral("The Korvalo application icon"));
    QPainter p(&svg);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p, false);
    return p.end() && file.error() == QFileDevice::NoError;
}

void AppIcon::paint(QPainter& p, bool small) const {
    const QRectF tile(2, 2, 60, 60);
    QLinearGradient fill(tile.topLeft(), tile.bottomRight());
    fill.setColorAt(0.0, QColor(0x1f, 0xa3, 0xa9));
    fill.setColorAt(1.0, kNavy);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(tile, 14, 14);
    if (!small) {
        p.setPen(QPen(QColor(255, 255, 255, 70), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), 13.5, 13.5);
    }

    GlyphPainter glyphs(p);
    const QPointF centre(32, 32);
    if (!small) {
        glyphs.draw(Glyph::Globe, centre, 40, Qt::white, 1.9);
        glyphs.drawOrbit(centre, 25);
        return;
    }
    // At 16 pixels one unit is a quarter pixel: an outline, one meridian and
    // the equator, each about a pixel wide, are all the globe can hold.
    QPen pen(Qt::white, 4.4);
    p.setPen(pen);
    p.setBrush(QColor(255, 255, 255, 46));
    p.drawEllipse(centre, 18, 18);
    pen.setWidthF(3.6);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 7.5, 18);
    p.drawLine(QPointF(14, 32), QPointF(50, 32));
    glyphs.drawOrbit(centre, 26, 4.8);
}

} // namespace korvalo::art

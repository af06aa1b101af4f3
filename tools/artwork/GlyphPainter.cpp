#include "GlyphPainter.h"

#include "ArtFonts.h"
#include "ArtPalette.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace korvalo::art {

namespace {

QPen strokePen(const QColor& colour, qreal weight) {
    QPen pen(colour, weight);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QPointF polar(qreal radius, qreal degrees) {
    const qreal a = degrees * std::numbers::pi / 180.0;
    return {radius * std::cos(a), radius * std::sin(a)};
}

} // namespace

GlyphPainter::GlyphPainter(QPainter& painter)
    : p_(painter) {}

void GlyphPainter::draw(Glyph glyph, QPointF centre, qreal size, const QColor& colour,
                        qreal weight) {
    p_.save();
    p_.setRenderHint(QPainter::Antialiasing);
    p_.translate(centre);
    p_.scale(size / 24.0, size / 24.0);
    p_.setBrush(Qt::NoBrush);
    p_.setPen(strokePen(colour, weight));

    QColor tint = colour;
    tint.setAlphaF(0.22);

    switch (glyph) {
    case Glyph::Globe:
        globe(colour, weight);
        break;
    case Glyph::Star:
        star(11.5, 4.9, {0, 0.8}, colour, 0.22, weight);
        break;
    case Glyph::BrowserStar:
        browserStar(colour, weight);
        break;
    case Glyph::Plus:
        p_.setBrush(tint);
        p_.drawEllipse(QPointF(0, 0), 10.5, 10.5);
        p_.drawLine(QPointF(-5, 0), QPointF(5, 0));
        p_.drawLine(QPointF(0, -5), QPointF(0, 5));
        break;
    case Glyph::Magnifier:
        p_.setBrush(tint);
        p_.drawEllipse(QPointF(-2.5, -2.5), 7.5, 7.5);
        p_.setPen(strokePen(colour, weight * 1.9));
        p_.drawLine(QPointF(3.2, 3.2), QPointF(9.5, 9.5));
        break;
    case Glyph::Gear:
        gear(colour);
        break;
    case Glyph::Envelope:
        p_.setBrush(tint);
        p_.drawRoundedRect(QRectF(-11, -7.5, 22, 15), 2, 2);
        p_.drawPolyline(QPolygonF({QPointF(-10, -6.2), QPointF(0, 1.6), QPointF(10, -6.2)}));
        break;
    case Glyph::Assistant:
        assistant(colour, weight);
        break;
    case Glyph::Info:
        p_.setBrush(tint);
        p_.drawEllipse(QPointF(0, 0), 10.5, 10.5);
        p_.setPen(strokePen(colour, weight * 1.25));
        p_.drawLine(QPointF(0, -1.2), QPointF(0, 5.8));
        p_.setPen(Qt::NoPen);
        p_.setBrush(colour);
        p_.drawEllipse(QPointF(0, -5.4), 1.6, 1.6);
        break;
    }
    p_.restore();
}

void GlyphPainter::globe(const QColor& colour, qreal weight) {
    QColor tint = colour;
    tint.setAlphaF(0.18);
    p_.setBrush(tint);
    p_.drawEllipse(QPointF(0, 0), 10.5, 10.5);
    p_.setBrush(Qt::NoBrush);
    p_.setPen(strokePen(colour, weight * 0.8));
    p_.drawEllipse(QPointF(0, 0), 4.6, 10.5);
    p_.drawLine(QPointF(-10.5, 0), QPointF(10.5, 0));
    const qreal chord = std::sqrt(10.5 * 10.5 - 5.4 * 5.4);
    p_.drawLine(QPointF(-chord, -5.4), QPointF(chord, -5.4));
    p_.drawLine(QPointF(-chord, 5.4), QPointF(chord, 5.4));
    p_.setPen(strokePen(colour, weight));
    p_.setBrush(Qt::NoBrush);
    p_.drawEllipse(QPointF(0, 0), 10.5, 10.5);
}

void GlyphPainter::star(qreal outer, qreal inner, QPointF at, const QColor& colour, qreal fillAlpha,
                        qreal weight) {
    QPolygonF points;
    for (int i = 0; i < 10; ++i)
        points << at + polar(i % 2 == 0 ? outer : inner, -90.0 + 36.0 * i);
    QColor fill = colour;
    fill.setAlphaF(fillAlpha);
    p_.setBrush(fill);
    p_.setPen(strokePen(colour, weight));
    p_.drawPolygon(points);
}

void GlyphPainter::browserStar(const QColor& colour, qreal weight) {
    QColor tint = colour;
    tint.setAlphaF(0.14);
    p_.setBrush(tint);
    p_.drawRoundedRect(QRectF(-11.5, -9.5, 23, 19), 2.5, 2.5);
    p_.drawLine(QPointF(-11.5, -4.8), QPointF(11.5, -4.8));
    p_.setPen(Qt::NoPen);
    p_.setBrush(colour);
    for (int i = 0; i < 3; ++i)
        p_.drawEllipse(QPointF(-8.3 + 2.7 * i, -7.1), 0.95, 0.95);
    star(5.6, 2.4, {0, 2.6}, colour, 1.0, weight * 0.6);
}

void GlyphPainter::gear(const QColor& colour) {
    constexpr int kTeeth = 8;
    QPolygonF outline;
    for (int i = 0; i < kTeeth; ++i) {
        const qreal a = 360.0 / kTeeth * i;
        outline << polar(8.0, a - 14.0) << polar(11.0, a - 8.0) << polar(11.0, a + 8.0)
                << polar(8.0, a + 14.0);
    }
    QColor tint = colour;
    tint.setAlphaF(0.22);
    p_.setBrush(tint);
    p_.drawPolygon(outline);
    p_.setBrush(Qt::NoBrush);
    p_.drawEllipse(QPointF(0, 0), 3.6, 3.6);
}

void GlyphPainter::assistant(const QColor& colour, qreal weight) {
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(-11.5, -10.5, 23, 17), 5.5, 5.5);
    QPainterPath tail;
    tail.moveTo(-5.5, 5.5);
    tail.lineTo(-8.0, 11.0);
    tail.lineTo(0.5, 5.5);
    tail.closeSubpath();
    QColor tint = colour;
    tint.setAlphaF(0.22);
    p_.setBrush(tint);
    p_.drawPath(bubble.united(tail));

    // The question mark as strokes keeps it crisp at toolbar size.
    QPainterPath mark;
    mark.moveTo(-3.3, -4.6);
    mark.cubicTo(-3.3, -8.6, 3.6, -8.6, 3.6, -4.6);
    mark.cubicTo(3.6, -1.8, 0.0, -1.8, 0.0, 0.9);
    p_.setBrush(Qt::NoBrush);
    p_.setPen(strokePen(colour, weight * 1.05));
    p_.drawPath(mark);
    p_.setPen(Qt::NoPen);
    p_.setBrush(colour);
    p_.drawEllipse(QPointF(0, 3.9), 1.35, 1.35);
}

void GlyphPainter::drawLogo(QPointF centre, qreal diameter) {
    p_.save();
    p_.setRenderHint(QPainter::Antialiasing);
    p_.translate(centre);
    const qreal r = diameter / 2.0;

    QRadialGradient disc(QPointF(-r * 0.35, -r * 0.4), r * 1.5);
    disc.setColorAt(0.0, QColor(0x2c, 0xb5, 0xb8));
    disc.setColorAt(1.0, kDeepTeal.darker(115));
    p_.setPen(QPen(QColor(255, 255, 255, 200), qMax<qreal>(1.0, diameter / 28.0)));
    p_.setBrush(disc);
    p_.drawEllipse(QPointF(0, 0), r - 1, r - 1);
    p_.restore();

    draw(Glyph::Globe, centre, diameter * 0.62, kGlyph, 1.7);

    drawOrbit(centre, r);
}

void GlyphPainter::drawOrbit(QPointF centre, qreal r, qreal weight) {
    // An orbit around the globe: the directory reaching out to the web.
    p_.save();
    p_.setRenderHint(QPainter::Antialiasing);
    p_.translate(centre);
    p_.rotate(-24);
    p_.setBrush(Qt::NoBrush);
    p_.setPen(strokePen(kAmber, weight > 0 ? weight : qMax<qreal>(1.2, r / 11.0)));
    p_.drawArc(QRectF(-r * 0.86, -r * 0.3, r * 1.72, r * 0.6), 200 * 16, 320 * 16);
    const qreal a = 200.0 * std::numbers::pi / 180.0;
    p_.setPen(Qt::NoPen);
    p_.setBrush(kAmber);
    p_.drawEllipse(QPointF(r * 0.86 * std::cos(a), -r * 0.3 * std::sin(a)), r / 8.0, r / 8.0);
    p_.restore();
}

void GlyphPainter::drawLock(QPointF centre, qreal size, const QColor& colour) {
    p_.save();
    p_.setRenderHint(QPainter::Antialiasing);
    p_.translate(centre);
    p_.scale(size / 24.0, size / 24.0);
    p_.setPen(strokePen(colour, 2.2));
    p_.setBrush(Qt::NoBrush);
    p_.drawArc(QRectF(-6, -11, 12, 14), 0, 180 * 16);
    p_.drawLine(QPointF(-6, -4), QPointF(-6, -1));
    p_.drawLine(QPointF(6, -4), QPointF(6, -1));
    p_.setPen(Qt::NoPen);
    p_.setBrush(colour);
    p_.drawRoundedRect(QRectF(-9.5, -1.5, 19, 13.5), 2.5, 2.5);
    p_.setBrush(QColor(255, 255, 255, 210));
    p_.drawEllipse(QPointF(0, 3.6), 2.0, 2.0);
    p_.drawRect(QRectF(-0.8, 3.6, 1.6, 4.2));
    p_.restore();
}

} // namespace korvalo::art

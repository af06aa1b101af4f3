#include "DialogArtwork.h"

#include "ArtFonts.h"
#include "ArtPalette.h"
#include "GlyphPainter.h"

#include <QLineF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace korvalo::art {

namespace {

QImage canvas(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

void DialogArtwork::paintCard(QPainter& p, QSize size, int stripHeight, int footerTop) {
    const QRectF all(QPointF(0, 0), size);
    QLinearGradient body(all.topLeft(), all.bottomLeft());
    body.setColorAt(0.0, Qt::white);
    body.setColorAt(1.0, kPanel);
    p.fillRect(all, body);

    const QRectF strip(0, 0, size.width(), stripHeight);
    QLinearGradient across(strip.topLeft(), strip.topRight());
    across.setColorAt(0.0, kNavy);
    across.setColorAt(0.6, kDeepTeal);
    across.setColorAt(1.0, kTeal);
    p.fillRect(strip, across);
    p.fillRect(QRectF(0, stripHeight, size.width(), 2), kAccentLine);

    const QRectF footer(0, footerTop, size.width(), size.height() - footerTop);
    p.fillRect(footer, kStrip);
    p.setPen(QPen(kPanelLine, 1));
    p.drawLine(QPointF(0, footerTop + 0.5), QPointF(size.width(), footerTop + 0.5));

    // The windows have no border of their own: the picture draws one.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kNavy, 1));
    p.drawRect(all.adjusted(0.5, 0.5, -0.5, -0.5));
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.drawRect(all.adjusted(1.5, 1.5, -1.5, -1.5));
}

QImage DialogArtwork::message() const {
    QImage image = canvas(kMessageSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintCard(p, kMessageSize, 24, 97);

    GlyphPainter glyphs(p);
    glyphs.draw(Glyph::Globe, QPointF(kMessageSize.width() - 15, 12), 15, kGlyph, 1.9);
    p.setFont(ArtFonts::latin(11, true));
    p.setPen(Qt::white);
    p.drawText(QRectF(150, 2, kMessageSize.width() - 178, 20), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Korvalo"));
    return image;
}

QImage DialogArtwork::password() const {
    QImage image = canvas(kPasswordSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintCard(p, kPasswordSize, 10, 61);

    GlyphPainter glyphs(p);
    glyphs.drawLock(QPointF(27, 24), 17, kDeepTeal);

    // A sunken frame around the flat password field at 16,35 (217 by 19).
    p.setPen(QPen(kPanelLine, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(14.5, 33.5, 220, 22), 3, 3);
    return image;
}

QImage DialogArtwork::trayNotice() const {
    QImage image = canvas(kTrayNoticeSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal w = kTrayNoticeSize.width();
    const qreal h = kTrayNoticeSize.height();

    // Drawn over the message card's body, so the picture starts in its colours.
    p.fillRect(QRectF(0, 0, w, h), kPanel);

    // The taskbar's notification area: a dark strip along the bottom.
    const QRectF bar(0, h - 18, w, 18);
    QLinearGradient shade(bar.topLeft(), bar.bottomLeft());
    shade.setColorAt(0.0, kDeepTeal);
    shade.setColorAt(1.0, kNavy);
    p.fillRect(bar, shade);
    p.fillRect(QRectF(0, bar.top(), w, 1), kAccentLine);

    // The clock at the far end, and two neighbours of the program's icon.
    p.setFont(ArtFonts::latin(10));
    p.setPen(kGlyph);
    p.drawText(QRectF(w - 36, bar.top(), 33, bar.height()), Qt::AlignCenter,
               QStringLiteral("12:00"));
    p.setPen(Qt::NoPen);
    p.setBrush(kCaption);
    p.drawRoundedRect(QRectF(8, bar.top() + 5, 8, 8), 2, 2);
    p.drawEllipse(QPointF(24, bar.top() + 9), 4, 4);

    // The program's icon, ringed, with an arrow coming down onto it.
    const QPointF icon(44, bar.top() + 9);
    GlyphPainter glyphs(p);
    glyphs.draw(Glyph::Globe, icon, 13, Qt::white, 2.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kAmber, 1.5));
    p.drawEllipse(icon, 9, 8);

    QPen arrow(kAmber, 2.2);
    arrow.setCapStyle(Qt::RoundCap);
    arrow.setJoinStyle(Qt::RoundJoin);
    p.setPen(arrow);
    const QPointF tip(icon.x() + 3, bar.top() - 3);
    const QPointF tail(icon.x() + 22, 4);
    p.drawLine(tail, tip);
    const QLineF back = QLineF(tip, tail).unitVector();
    const QPointF along = (back.p2() - back.p1()) * 6;
    const QPointF across(-along.y() * 0.7, along.x() * 0.7);
    QPainterPath head;
    head.moveTo(tip + along + across);
    head.lineTo(tip);
    head.lineTo(tip + along - across);
    p.drawPath(head);

    p.setPen(QPen(kPanelLine, 1));
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    return image;
}

} // namespace korvalo::art

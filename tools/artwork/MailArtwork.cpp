#include "MailArtwork.h"

#include "ArtFonts.h"
#include "ArtPalette.h"
#include "DialogArtwork.h"
#include "GlyphPainter.h"
#include "MainBackground.h"

#include <QPainter>
#include <QtMath>

namespace korvalo::art {

namespace {

constexpr int kSendStrip = 38;
constexpr int kSendFooter = 291;
constexpr int kMailStrip = 40;
constexpr int kMailFooter = 276;

QImage canvas(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void smooth(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}

// A glyph at the right end of a title strip and the title beside it.
void paintTitle(QPainter& p, int width, int stripHeight, Glyph glyph, const QString& text) {
    GlyphPainter glyphs(p);
    glyphs.draw(glyph, QPointF(width - 22, stripHeight / 2.0), 22, kAmber, 1.8);
    p.setFont(ArtFonts::arabic(15, true));
    p.setPen(Qt::white);
    p.drawText(QRectF(12, 0, width - 50, stripHeight), Qt::AlignRight | Qt::AlignVCenter, text);
}

} // namespace

QImage MailArtwork::sendToFriend() const {
    QImage image = canvas(kSendToFriendSize);
    QPainter p(&image);
    smooth(p);
    DialogArtwork::paintCard(p, kSendToFriendSize, kSendStrip, kSendFooter);
    paintTitle(p, kSendToFriendSize.width(), kSendStrip, Glyph::Envelope,
               QString::fromUtf8("ارسل الموقع الى صديق"));
    return image;
}

QImage MailArtwork::mail() const {
    QImage image = canvas(kMailSize);
    QPainter p(&image);
    smooth(p);
    DialogArtwork::paintCard(p, kMailSize, kMailStrip, kMailFooter);
    return image;
}

QImage MailArtwork::title(Glyph glyph, const QString& text) const {
    QImage card = mail();
    QPainter p(&card);
    smooth(p);
    paintTitle(p, kMailSize.width(), kMailStrip, glyph, text);
    p.end();
    return card.copy(QRect(QPoint(0, 0), kTitleSize));
}

QImage MailArtwork::contactTitle() const {
    return title(Glyph::Envelope, QString::fromUtf8("راسلنا"));
}

QImage MailArtwork::tellTitle() const {
    return title(Glyph::Star, QString::fromUtf8("اخبر صديقك"));
}

QList<QImage> MailArtwork::clockFrames() const {
    // Each frame is cut from the card at the clock's place, so the picture
    // needs no transparency to sit on it.
    const QImage ground = mail().copy(kClock);
    const QPointF c(kClock.width() / 2.0, kClock.height() / 2.0);
    QList<QImage> frames;
    for (int i = 0; i < kClockFrames; ++i) {
        QImage frame = ground;
        QPainter p(&frame);
        smooth(p);
        p.setPen(QPen(kDeepTeal, 2));
        p.setBrush(Qt::white);
        p.drawEllipse(c, 14, 14);
        p.setPen(QPen(kTeal, 1.2));
        for (int t = 0; t < 12; ++t) {
            const qreal a = qDegreesToRadians(t * 30.0);
            const qreal inner = t % 3 == 0 ? 9.5 : 11;
            p.drawLine(c + QPointF(std::sin(a), -std::cos(a)) * inner,
                       c + QPointF(std::sin(a), -std::cos(a)) * 12);
        }
        const auto hand = [&](qreal degrees, qreal length, qreal width, const QColor& colour) {
            QPen pen(colour, width);
            pen.setCapStyle(Qt::RoundCap);
            p.setPen(pen);
            const qreal a = qDegreesToRadians(degrees);
            p.drawLine(c, c + QPointF(std::sin(a), -std::cos(a)) * length);
        };
        hand(i * 360.0 / kClockFrames / 12 + 300, 6.5, 2.2, kNavy);
        hand(i * 360.0 / kClockFrames, 10, 1.6, kAmber.darker(130));
        p.setPen(Qt::NoPen);
        p.setBrush(kNavy);
        p.drawEllipse(c, 1.8, 1.8);
        p.end();
        frames << frame;
    }
    return frames;
}

QImage MailArtwork::homeLink() const {
    QImage picture = MainBackground().render().copy(kHomeLink);
    QPainter p(&picture);
    smooth(p);
    const QRectF plate = QRectF(picture.rect()).adjusted(2.5, 2.5, -2.5, -2.5);
    p.setPen(QPen(kColumnLine, 1));
    p.setBrush(QColor(255, 255, 255, 240));
    p.drawRoundedRect(plate, 6, 6);

    GlyphPainter glyphs(p);
    glyphs.drawLogo(QPointF(22, picture.height() / 2.0), 28);
    p.setFont(ArtFonts::arabic(12, true));
    p.setPen(kInk);
    p.drawText(QRectF(38, 8, 60, 22), Qt::AlignRight | Qt::AlignVCenter,
               QString::fromUtf8("موقعنا"));
    p.setFont(ArtFonts::latin(11, true));
    p.setPen(kTeal);
    p.drawText(QRectF(38, 28, 60, 20), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Korvalo"));
    return picture;
}

} // namespace korvalo::art

#include "MainBackground.h"

#include "ArtFonts.h"
#include "ArtPalette.h"
#include "GlyphPainter.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace korvalo::art {

namespace {

// Rows and columns of the window's layout that the drawing must respect.
constexpr int kHeaderBottom = 106;
constexpr int kPanelTop = 167;
constexpr int kPanelRight = 655;
constexpr int kStatusTop = 500;
constexpr QRectF kShelf{126.5, 12.5, 659, 57};
constexpr QRectF kWebSearchBox{672, 256, 112, 47};
constexpr int kBannerLefts[] = {501, 395, 289, 184, 78};
constexpr QSize kBannerSize{100, 50};
constexpr int kBannerTop = 119;

// Toolbar button geometry shared by every button: glyph centre row, glyph
// size and the caption's box.
constexpr qreal kGlyphRow = 31.0;
constexpr qreal kGlyphSize = 21.0;
constexpr qreal kCaptionBaseline = 54.0;
constexpr QRectF kPlateRows{0, 19, 0, 41};

void drawText(QPainter& p, const QRectF& box, int flags, const QString& text, const QFont& font,
              const QColor& colour) {
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, flags, text);
}

QColor withAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

} // namespace

QImage MainBackground::render(int litIndex) const {
    QImage image(kSize, QImage::Format_RGB32);
    image.fill(kPanel);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintHeader(p);
    paintBrand(p);
    paintToolbar(p, litIndex);
    paintBannerRow(p);
    paintPanelArea(p);
    paintSearchColumn(p);
    paintStatusStrip(p);
    return image;
}

QImage MainBackground::litPicture(int index) const {
    const auto& button = toolbarButtons().at(static_cast<size_t>(index));
    return render(index).copy(button.lit);
}

void MainBackground::paintHeader(QPainter& p) const {
    const QRectF header(0, 0, kSize.width(), kHeaderBottom);
    QLinearGradient across(header.topLeft(), header.topRight());
    across.setColorAt(0.0, kNavy);
    across.setColorAt(0.55, kDeepTeal);
    across.setColorAt(1.0, kTeal);
    p.fillRect(header, across);

    // A soft light from above gives the flat band some depth.
    QLinearGradient sheen(header.topLeft(), header.bottomLeft());
    sheen.setColorAt(0.0, QColor(255, 255, 255, 22));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
    sheen.setColorAt(1.0, QColor(0, 0, 0, 30));
    p.fillRect(header, sheen);

    // Two faint arcs sweep across the lower header, away from the chrome corner.
    p.save();
    p.setClipRect(QRectF(0, 20, kSize.width(), kHeaderBottom - 20));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 16), 18));
    p.drawEllipse(QPointF(560, 420), 420, 335);
    p.setPen(QPen(QColor(255, 255, 255, 10), 10));
    p.drawEllipse(QPointF(520, 440), 470, 362);
    p.restore();

    p.fillRect(QRectF(0, kHeaderBottom - 2, kSize.width(), 2), kAccentLine);
}

void MainBackground::paintBrand(QPainter& p) const {
    GlyphPainter glyphs(p);
    glyphs.drawLogo(QPointF(28, 44), 36);
    drawText(p, QRectF(50, 26, 76, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Korvalo"),
             ArtFonts::latin(15, true), Qt::white);
    drawText(p, QRectF(50, 45, 76, 18), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8("دليل المواقع"), ArtFonts::arabic(11), kCaption);

    drawText(p, QRectF(300, 74, 478, 24), Qt::AlignRight | Qt::AlignVCenter,
             QString::fromUtf8("دليلك المنظم الى مواقع الشبكة"), ArtFonts::arabic(13), kCaption);
}

void MainBackground::paintToolbar(QPainter& p, int litIndex) const {
    p.setPen(QPen(QColor(255, 255, 255, 34), 1));
    p.setBrush(QColor(255, 255, 255, 14));
    p.drawRoundedRect(kShelf, 9, 9);

    const auto& buttons = toolbarButtons();
    // Hairlines between neighbours, halfway across the gap of their lit pictures.
    p.setPen(QPen(QColor(255, 255, 255, 30), 1));
    for (size_t i = 0; i + 1 < buttons.size(); ++i) {
        const qreal x = std::floor((buttons[i + 1].lit.right() + 1 + buttons[i].lit.left()) / 2.0);
        p.drawLine(QPointF(x + 0.5, 24), QPointF(x + 0.5, 58));
    }
    for (size_t i = 0; i < buttons.size(); ++i)
        paintButton(p, buttons[i], static_cast<int>(i) == litIndex);
}

void MainBackground::paintButton(QPainter& p, const ToolbarButtonArt& button, bool lit) const {
    const QRectF litArea(button.lit);
    const qreal cx = litArea.center().x();
    if (lit) {
        // The plate stays inside the lit picture, whose outer ring of pixels
        // must equal the background it is laid on.
        const qreal width = std::min<qreal>(litArea.width() - 5, 46);
        const QRectF plate(cx - width / 2, kPlateRows.top(), width, kPlateRows.height());
        QLinearGradient fill(plate.topLeft(), plate.bottomLeft());
        fill.setColorAt(0.0, QColor(255, 255, 255, 70));
        fill.setColorAt(1.0, QColor(255, 255, 255, 26));
        p.setPen(QPen(withAlpha(kAmber, 170), 1));
        p.setBrush(fill);
        p.drawRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);

        QRadialGradient glow(QPointF(cx, kGlyphRow), 12);
        glow.setColorAt(0.0, withAlpha(kAmber, 70));
        glow.setColorAt(1.0, withAlpha(kAmber, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(QPointF(cx, kGlyphRow), 12, 12);
    }

    GlyphPainter glyphs(p);
    glyphs.draw(button.glyph, QPointF(cx, kGlyphRow), kGlyphSize, lit ? kAmber : kGlyph);

    // Placed by baseline: Arabic faces carry tall line boxes, and centring the
    // box would push the tails of the letters onto the plate's edge.
    const QFont font = ArtFonts::arabic(10.5);
    const qreal width = QFontMetricsF(font).horizontalAdvance(button.caption);
    p.setFont(font);
    p.setPen(lit ? QColor(Qt::white) : kCaption);
    p.drawText(QPointF(cx - width / 2, kCaptionBaseline), button.caption);
}

void MainBackground::paintBannerRow(QPainter& p) const {
    const QRectF band(0, kHeaderBottom, kSize.width(), kPanelTop - kHeaderBottom);
    QLinearGradient fill(band.topLeft(), band.bottomLeft());
    fill.setColorAt(0.0, kStrip.darker(104));
    fill.setColorAt(1.0, kStrip);
    p.fillRect(band, fill);

    // Empty wells where the banners land; a missing banner leaves a tidy slot.
    for (int left : kBannerLefts) {
        const QRectF slot(QPointF(left, kBannerTop), kBannerSize);
        p.setPen(QPen(kPanelLine, 1));
        p.setBrush(QColor(0xf8, 0xfa, 0xfc));
        p.drawRoundedRect(slot.adjusted(-1.5, -1.5, 1.5, 1.5), 3, 3);
    }
}

void MainBackground::paintPanelArea(QPainter& p) const {
    const QRectF area(0, kPanelTop, kPanelRight + 1, kStatusTop - kPanelTop);
    p.fillRect(area, kPanel);
    p.setPen(QPen(kPanelLine, 1));
    p.drawLine(QPointF(0, kPanelTop + 0.5), QPointF(kSize.width(), kPanelTop + 0.5));
}

void MainBackground::paintSearchColumn(QPainter& p) const {
    const QRectF column(kPanelRight + 1, kPanelTop + 1, kSize.width() - kPanelRight - 1,
                        kStatusTop - kPanelTop - 1);
    QLinearGradient fill(column.topLeft(), column.bottomLeft());
    fill.setColorAt(0.0, kColumnTop);
    fill.setColorAt(1.0, kColumnBottom);
    p.fillRect(column, fill);
    p.setPen(QPen(kColumnLine, 1));
    p.drawLine(QPointF(column.left() + 0.5, column.top()),
               QPointF(column.left() + 0.5, column.bottom()));

    const qreal cx = kWebSearchBox.center().x();
    GlyphPainter glyphs(p);
    glyphs.draw(Glyph::Globe, QPointF(cx - 5, 204), 30, kTeal, 1.6);
    glyphs.draw(Glyph::Magnifier, QPointF(cx + 9, 214), 18, kNavy, 1.9);

    drawText(p, QRectF(kWebSearchBox.left() - 4, 230, kWebSearchBox.width() + 8, 22),
             Qt::AlignHCenter | Qt::AlignVCenter, QString::fromUtf8("ابحث في الشبكة"),
             ArtFonts::arabic(13, true), kInk);

    const QRectF well = kWebSearchBox.adjusted(-4, -3, 4, 3);
    p.setPen(QPen(kColumnLine, 1));
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRoundedRect(well.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);

    // A large faint globe fills the lower column without competing with the panels.
    glyphs.draw(Glyph::Globe, QPointF(cx, 408), 118, withAlpha(kTeal, 34), 0.8);
    drawText(p, QRectF(column.left(), 468, column.width(), 20), Qt::AlignHCenter,
             QStringLiteral("Korvalo"), ArtFonts::latin(11, true), withAlpha(kTeal, 150));
}

void MainBackground::paintStatusStrip(QPainter& p) const {
    const QRectF strip(0, kStatusTop, kSize.width(), kSize.height() - kStatusTop);
    QLinearGradient fill(strip.topLeft(), strip.bottomLeft());
    fill.setColorAt(0.0, kStrip);
    fill.setColorAt(1.0, kStrip.darker(106));
    p.fillRect(strip, fill);
    p.setPen(QPen(kPanelLine, 1));
    p.drawLine(QPointF(0, kStatusTop + 0.5), QPointF(kSize.width(), kStatusTop + 0.5));

    const QRectF well(4.5, 508.5, kSize.width() - 9, 30);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawRoundedRect(well, 4, 4);
}

} // namespace korvalo::art

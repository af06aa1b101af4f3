#include "AssistantArtwork.h"

#include "ArtPalette.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace korvalo::art {

namespace {

// The bubble's own colour (the platform colour word 14286847), which the
// tail continues.
const QColor kBubble{0xff, 0xff, 0xda};
const QColor kOutline = kNavy;
const QColor kCheek{0xff, 0x9d, 0x8a, 110};

// Where the arm of the viewer's right ends, for each pose; the other arm
// always rests. Index 0 is unused.
struct Pose {
    QPointF shoulder;
    QPointF hand;
    QPointF look; // how far the pupils turn
    bool eyesShut;
    bool mouthOpen;
    qreal lift; // the hop
};

const Pose kPoseTable[] = {
    {},
    {{60, 42}, {69, 53}, {0, 0}, false, false, 0},      // resting
    {{60, 40}, {72, 34}, {1.2, -1.4}, false, false, 0}, // the arm comes up, eyes follow
    {{60, 38}, {70, 19}, {1.4, -1.8}, false, true, 0},  // raised
    {{60, 38}, {64, 17}, {0.6, -1.2}, false, true, 0},  // waving one way
    {{60, 38}, {75, 21}, {1.6, -1.2}, false, true, 0},  // and the other
    {{60, 42}, {69, 53}, {0, 0}, true, false, 0},       // eyes shut
    {{60, 40}, {73, 29}, {0, -0.6}, false, true, 4},    // the hop
};

QPen stroke(const QColor& colour, qreal width) {
    QPen pen(colour, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void arm(QPainter& p, QPointF shoulder, QPointF hand) {
    p.setPen(stroke(kOutline, 5.5));
    p.drawLine(shoulder, hand);
    p.setPen(stroke(kTeal, 2.6));
    p.drawLine(shoulder, hand);
    p.setPen(stroke(kOutline, 1.3));
    p.setBrush(QColor(0x2c, 0xb5, 0xb8));
    p.drawEllipse(hand, 3.6, 3.6);
}

void eye(QPainter& p, QPointF centre, const Pose& pose) {
    if (pose.eyesShut) {
        p.setPen(stroke(kOutline, 1.7));
        p.setBrush(Qt::NoBrush);
        QPainterPath lid;
        lid.moveTo(centre + QPointF(-4.6, -0.5));
        lid.quadTo(centre + QPointF(0, 3.6), centre + QPointF(4.6, -0.5));
        p.drawPath(lid);
        return;
    }
    p.setPen(stroke(kOutline, 1.2));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, 5.4, 6.4);
    const QPointF pupil = centre + QPointF(0, 0.8) + pose.look;
    p.setPen(Qt::NoPen);
    p.setBrush(kOutline);
    p.drawEllipse(pupil, 2.7, 2.9);
    p.setBrush(Qt::white);
    p.drawEllipse(pupil + QPointF(0.9, -1.0), 0.9, 0.9);
}

void mouth(QPainter& p, QPointF centre, bool open) {
    if (!open) {
        p.setPen(stroke(kOutline, 1.6));
        p.setBrush(Qt::NoBrush);
        QPainterPath smile;
        smile.moveTo(centre + QPointF(-5, -1));
        smile.quadTo(centre + QPointF(0, 4), centre + QPointF(5, -1));
        p.drawPath(smile);
        return;
    }
    QPainterPath open_;
    open_.moveTo(centre + QPointF(-5.5, -1.5));
    open_.quadTo(centre + QPointF(0, 8), centre + QPointF(5.5, -1.5));
    open_.closeSubpath();
    p.setPen(stroke(kOutline, 1.3));
    p.setBrush(kOutline);
    p.drawPath(open_);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf2, 0x7c, 0x7c));
    p.drawEllipse(centre + QPointF(0, 3.2), 2.6, 1.5);
}

// GIF keeps one bit of transparency: a pixel is the colour drawn or nothing.
// Cutting at half coverage keeps the outline whole and leaves no light fringe.
QImage toOneBitAlpha(const QImage& drawn) {
    QImage out = drawn.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = line[x];
            line[x] =
                qAlpha(c) >= 128 ? qRgba(qRed(c), qGreen(c), qBlue(c), 255) : qRgba(0, 0, 0, 0);
        }
    }
    return out;
}

} // namespace

QImage AssistantArtwork::character(int pose) const {
    const Pose& at = kPoseTable[qBound(1, pose, kPoses)];
    QImage image(kCharacterSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(0, -at.lift);

    const QPointF centre(40.5, 38);
    const qreal r = 21;

    // Feet, then the arm that always rests, both behind the body.
    p.setPen(stroke(kOutline, 1.2));
    p.setBrush(kOutline.lighter(130));
    const qreal spread = at.lift > 0 ? 3 : 0;
    p.drawEllipse(QPointF(31 - spread, 62), 7, 4);
    p.drawEllipse(QPointF(50 + spread, 62), 7, 4);
    arm(p, QPointF(21, 42), at.lift > 0 ? QPointF(9, 31) : QPointF(12, 53));

    // The antenna with its amber tip, the orbit of the program's mark.
    p.setPen(stroke(kOutline, 1.8));
    p.drawLine(centre + QPointF(1, -r + 1), QPointF(45, 8));
    p.setPen(stroke(kOutline, 1.2));
    p.setBrush(kAmber);
    p.drawEllipse(QPointF(45.5, 7), 3.4, 3.4);

    // The body: a globe.
    QRadialGradient shade(centre + QPointF(-r * 0.35, -r * 0.45), r * 1.6);
    shade.setColorAt(0.0, QColor(0x4c, 0xd0, 0xcf));
    shade.setColorAt(0.55, QColor(0x1f, 0x9c, 0xa3));
    shade.setColorAt(1.0, kDeepTeal);
    p.setPen(stroke(kOutline, 1.8));
    p.setBrush(shade);
    p.drawEllipse(centre, r, r);

    p.save();
    QPainterPath inside;
    inside.addEllipse(centre, r - 1.5, r - 1.5);
    p.setClipPath(inside);
    p.setPen(stroke(QColor(255, 255, 255, 55), 1.1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre + QPointF(0, 2), r * 0.45, r);
    p.drawLine(centre + QPointF(-r, 13), centre + QPointF(r, 13));
    p.restore();

    p.setPen(Qt::NoPen);
    p.setBrush(kCheek);
    p.drawEllipse(centre + QPointF(-12.5, 6.5), 3.4, 2.2);
    p.drawEllipse(centre + QPointF(12.5, 6.5), 3.4, 2.2);
    eye(p, centre + QPointF(-7, -4), at);
    eye(p, centre + QPointF(7, -4), at);
    mouth(p, centre + QPointF(0, 8), at.mouthOpen);

    arm(p, at.shoulder, at.hand);
    p.end();
    return toOneBitAlpha(image);
}

QImage AssistantArtwork::tail() const {
    QImage image(kTailSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tail;
    tail.moveTo(1, 0);
    tail.lineTo(23, 0);
    tail.quadTo(14, 8, 9, 24);
    tail.quadTo(8, 10, 1, 0);
    p.fillPath(tail, kBubble);
    p.end();
    return toOneBitAlpha(image);
}

} // namespace korvalo::art

#pragma once

#include "ToolbarLayout.h"

#include <QColor>
#include <QPointF>

class QPainter;

namespace korvalo::art {

// Line-art pictograms drawn on a 24-unit grid around a centre point, so the
// same glyph serves the toolbar, the dialogs and the application icon.
class GlyphPainter {
public:
    explicit GlyphPainter(QPainter& painter);

    // Draws `glyph` centred on `centre`, `size` pixels across, with strokes
    // `weight` grid units wide.
    void draw(Glyph glyph, QPointF centre, qreal size, const QColor& colour, qreal weight = 1.8);

    // The brand mark: a globe ringed by an orbit, `diameter` pixels across.
    void drawLogo(QPointF centre, qreal diameter);

    // The amber orbit of the brand mark around a globe of radius `r`; a
    // `weight` of 0 scales the stroke with the orbit.
    void drawOrbit(QPointF centre, qreal r, qreal weight = 0);

    // A padlock, for the password prompt.
    void drawLock(QPointF centre, qreal size, const QColor& colour);

private:
    void globe(const QColor& colour, qreal weight);
    void star(qreal outer, qreal inner, QPointF at, const QColor& colour, qreal fillAlpha,
              qreal weight);
    void browserStar(const QColor& colour, qreal weight);
    void gear(const QColor& colour);
    void assistant(const QColor& colour, qreal weight);

    QPainter& p_;
};

} // namespace korvalo::art

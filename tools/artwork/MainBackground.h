#pragma once

#include "ToolbarLayout.h"

#include <QImage>
#include <QSize>

class QPainter;

namespace korvalo::art {

// The main window's background (toolbar painted in) and the lit pictures cut
// from the same drawing, so a lit picture laid at its place matches the
// background around it pixel for pixel.
class MainBackground {
public:
    static constexpr QSize kSize{792, 540};

    // The background with every toolbar button at rest, or with the button
    // at `litIndex` (an index into toolbarButtons()) lit.
    QImage render(int litIndex = -1) const;

    // The lit picture of button `index`, sized as its lit rectangle.
    QImage litPicture(int index) const;

private:
    void paintHeader(QPainter& p) const;
    void paintBrand(QPainter& p) const;
    void paintToolbar(QPainter& p, int litIndex) const;
    void paintButton(QPainter& p, const ToolbarButtonArt& button, bool lit) const;
    void paintBannerRow(QPainter& p) const;
    void paintPanelArea(QPainter& p) const;
    void paintSearchColumn(QPainter& p) const;
    void paintStatusStrip(QPainter& p) const;
};

} // namespace korvalo::art

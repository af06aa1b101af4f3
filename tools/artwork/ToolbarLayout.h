#pragma once

#include <QRect>
#include <QString>

#include <vector>

namespace korvalo::art {

enum class Glyph { Globe, Star, BrowserStar, Plus, Magnifier, Gear, Envelope, Assistant, Info };

// One button of the main window's toolbar. The hot zone is where the window
// listens for the mouse; the lit picture is laid at `lit` over the background,
// so the painted button must sit inside that rectangle.
struct ToolbarButtonArt {
    QString name;
    QRect hotZone;
    QRect lit;
    QString caption;
    Glyph glyph;
};

// The nine buttons, from right to left as the window shows them.
const std::vector<ToolbarButtonArt>& toolbarButtons();

} // namespace korvalo::art

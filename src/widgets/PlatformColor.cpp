#include "widgets/PlatformColor.h"

#include <QApplication>
#include <QPalette>

namespace korvalo {

namespace {

// The classic system colour indexes and the palette roles that play the
// same part on this desktop.
QPalette::ColorRole roleForIndex(uint32_t index, QPalette::ColorGroup& group) {
    group = QPalette::Active;
    switch (index) {
    case 1:  // desktop background
    case 12: // application workspace
        return QPalette::Dark;
    case 2:  // active caption
    case 13: // highlight
        return QPalette::Highlight;
    case 9:  // caption text
    case 14: // highlighted text
        return QPalette::HighlightedText;
    case 4: // menu
        return QPalette::Window;
    case 5: // window
        return QPalette::Base;
    case 7: // menu text
    case 8: // window text
        return QPalette::Text;
    case 15: // button face
        return QPalette::Button;
    case 16: // button shadow
        return QPalette::Mid;
    case 17: // grey text
        group = QPalette::Disabled;
        return QPalette::Text;
    case 18: // button text
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    case 21: // dark shadow
        return QPalette::Shadow;
    case 22: // light
        return QPalette::Midlight;
    case 23: // tooltip text
        return QPalette::ToolTipText;
    case 24: // tooltip background
        return QPalette::ToolTipBase;
    default:
        return QPalette::Window;
    }
}

} // namespace

QColor colorFromWord(uint32_t word) {
    if (isSystemColor(word)) {
        QPalette::ColorGroup group;
        const QPalette::ColorRole role = roleForIndex(word & 0xFFu, group);
        return QApplication::palette().color(group, role);
    }
    return QColor(int(word & 0xFF), int((word >> 8) & 0xFF), int((word >> 16) & 0xFF));
}

uint32_t wordFromColor(const QColor& color) {
    const QColor c = color.toRgb();
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}

} // namespace korvalo

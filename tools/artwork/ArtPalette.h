#pragma once

#include <QColor>

// The colours every picture of the program is drawn with, so the main window,
// its toolbar pieces and the small dialogs read as one family.
namespace korvalo::art {

inline const QColor kNavy{0x0b, 0x2a, 0x4a};
inline const QColor kDeepTeal{0x0d, 0x4f, 0x63};
inline const QColor kTeal{0x13, 0x7a, 0x86};
inline const QColor kAccentLine{0x3f, 0xc1, 0xc4};
inline const QColor kAmber{0xff, 0xc8, 0x5c};
inline const QColor kGlyph{0xea, 0xf6, 0xf8};
inline const QColor kCaption{0xcd, 0xe6, 0xeb};
inline const QColor kPanel{0xf3, 0xf6, 0xf9};
inline const QColor kPanelLine{0xc8, 0xd3, 0xdd};
inline const QColor kStrip{0xe2, 0xe9, 0xef};
inline const QColor kInk{0x1b, 0x34, 0x4c};
inline const QColor kColumnTop{0xe6, 0xf2, 0xf3};
inline const QColor kColumnBottom{0xd3, 0xe7, 0xea};
inline const QColor kColumnLine{0xb3, 0xd2, 0xd7};

} // namespace korvalo::art

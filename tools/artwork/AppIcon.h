#pragma once

#include <QImage>
#include <QString>

#include <vector>

class QPainter;

namespace korvalo::art {

// The program's icon: a rounded tile with the globe and its orbit. One
// drawing, on a 64-unit grid, serves the window, the tray, the desktop's icon
// theme at every size and the scalable picture.
class AppIcon {
public:
    static constexpr int kDesignSize = 64;

    // The sizes an icon theme asks for, in pixels.
    static const std::vector<int>& themeSizes();

    QImage render(int pixels) const;

    // Writes the same drawing as SVG; false when the file cannot be written.
    bool writeSvg(const QString& path) const;

private:
    // Small icons drop the fine latitude lines and draw heavier strokes, so
    // the globe still reads at 16 pixels.
    void paint(QPainter& p, bool small) const;
};

} // namespace korvalo::art

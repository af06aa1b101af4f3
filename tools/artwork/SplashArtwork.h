#pragma once

#include <QImage>
#include <QSize>

namespace korvalo::art {

// The picture of the start-up splash, which the about window shows too. Its
// top-left corner stays dark for the build text, and its bottom-left corner
// plain for the about window's two buttons.
class SplashArtwork {
public:
    static constexpr QSize kSize{400, 201};

    QImage render() const;
};

} // namespace korvalo::art

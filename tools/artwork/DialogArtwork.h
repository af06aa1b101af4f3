#pragma once

#include <QImage>
#include <QSize>

class QPainter;

namespace korvalo::art {

// Backgrounds of the two small dialogs and the tray notice. The dialog
// pictures are drawn at the windows' own client sizes, so they are shown
// unscaled and their frames stay sharp.
class DialogArtwork {
public:
    static constexpr QSize kMessageSize{300, 139};
    static constexpr QSize kPasswordSize{251, 100};
    // The corner of the taskbar that the minimise-to-tray notice points at.
    static constexpr QSize kTrayNoticeSize{99, 40};

    // The body, title strip, footer and frame every dialog card shares;
    // `footerTop` is the row above the buttons.
    static void paintCard(QPainter& p, QSize size, int stripHeight, int footerTop);

    QImage message() const;
    QImage password() const;
    QImage trayNotice() const;
};

} // namespace korvalo::art

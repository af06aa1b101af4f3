#pragma once

#include <QImage>
#include <QSize>

namespace korvalo::art {

// Backgrounds of the two small dialogs and the application icon. The dialog
// pictures are drawn at the windows' own client sizes, so they are shown
// unscaled and their frames stay sharp.
class DialogArtwork {
public:
    static constexpr QSize kMessageSize{300, 139};
    static constexpr QSize kPasswordSize{251, 100};
    static constexpr QSize kIconSize{64, 64};

    QImage message() const;
    QImage password() const;
    QImage icon() const;
};

} // namespace korvalo::art

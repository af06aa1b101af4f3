#pragma once

#include "ToolbarLayout.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>

namespace korvalo::art {

// The pictures of the mail dialogs and of the main window's link to the
// maker's home page. Each is drawn at the size the window shows it.
class MailArtwork {
public:
    static constexpr QSize kSendToFriendSize{317, 331};
    static constexpr QSize kMailSize{449, 316};
    // The mail dialog's title pictures cover its title strip.
    static constexpr QSize kTitleSize{449, 40};
    // Where the mail dialog shows its clock, whose frames are cut to fit there.
    static constexpr QRect kClock{44, 54, 33, 33};
    static constexpr int kClockFrames = 12;
    // Where the main window lays the home-page picture over its background.
    static constexpr QRect kHomeLink{671, 438, 105, 57};

    QImage sendToFriend() const;
    QImage mail() const;
    QImage contactTitle() const;
    QImage tellTitle() const;
    QList<QImage> clockFrames() const;
    QImage homeLink() const;

private:
    QImage title(Glyph glyph, const QString& text) const;
};

} // namespace korvalo::art

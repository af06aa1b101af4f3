#pragma once

#include <QFont>
#include <QString>

namespace korvalo::art {

// Picks the faces the artwork is drawn with. The preferred families come from
// Debian's fonts-noto-core and fonts-dejavu-core; when one is missing the next
// installed one is used and a note goes to stderr, because the pictures then
// differ from the committed ones.
class ArtFonts {
public:
    static QFont arabic(qreal pixelSize, bool bold = false);
    static QFont latin(qreal pixelSize, bool bold = false);

private:
    static QString pick(const QStringList& preferred);
};

} // namespace korvalo::art

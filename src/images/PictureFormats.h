#pragma once

#include <QStringList>

namespace korvalo {

// The picture formats the windows are drawn with, by the names Qt's readers
// go by, that this installation cannot read. Empty when all are there.
QStringList missingPictureFormats();

// The plain message that says which readers are missing.
QString missingPictureFormatsMessage(const QStringList& missing);

} // namespace korvalo

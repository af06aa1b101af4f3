#pragma once

#include "browser/BookmarkTree.h"

#include <QByteArrayView>

#include <optional>

namespace korvalo {

// An Opera hot list, read line by line with the blanks around each line
// dropped (letter case ignored in the markers):
//   lines are passed over up to one that begins with '#' or '-';
//   '-' closes the folder being read;
//   "#FOLDER" opens a folder captioned with the text after the '=' of the
//     next "NAME" line; the entries after that line are the folder's;
//   "#URL" is a bookmark captioned with the text after the '=' of the next
//     "NAME" line, whose address is the text after the '=' of the "URL"
//     line that follows it;
//   any other '#' line counts for nothing.
// The end of the text ends every open folder, also in the middle of an
// entry, which is then left out. Captions are shortened (ShortenCaption);
// entries keep their order. nullopt when the list nests deeper than
// kMaxBookmarkDepth or holds more than kMaxBookmarkEntries entries.
std::optional<BookmarkList> ParseOperaHotList(QByteArrayView hotList);

} // namespace korvalo

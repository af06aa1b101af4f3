#pragma once

#include "browser/BookmarkTree.h"

#include <QByteArrayView>

#include <optional>

namespace korvalo {

enum class HtmlText {
    AsWritten, // captions and addresses exactly as the file holds them
    Decoded,   // with their character references (&amp;, &#1575;) decoded
};

// A Netscape bookmarks file ("bookmark.htm", and the bookmarks HTML that
// every browser exports), read line by line. Markers are found anywhere in
// a line, letter case counting:
//   a line with "<H3" opens a folder captioned with the text between the
//     first '>' after "<H" and the next '<'; the lines after it, up to a
//     line with "</DL", are its entries;
//   otherwise a line with "</DL" closes the folder being read;
//   otherwise a line with "<HR" is a separator;
//   otherwise a line with "<A " and "HREF" is a bookmark: the address
//     follows "HREF" after blanks, '=' and quotes and runs to a blank, a
//     '>' or the quote it began with; the caption is the text between the
//     next '>' and the next '<';
//   a heading or link line without that '>' and every other line count
//     for nothing.
// Entries keep their order and each records its line number. nullopt when
// the file nests deeper than kMaxBookmarkDepth or holds more than
// kMaxBookmarkEntries entries.
std::optional<BookmarkList> ParseNetscapeBookmarks(QByteArrayView html,
                                                   HtmlText text = HtmlText::AsWritten);

} // namespace korvalo

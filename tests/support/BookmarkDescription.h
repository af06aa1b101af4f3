#pragma once

#include "browser/BookmarkTree.h"

#include <string>

namespace korvalo::test {

// A bookmark tree as text, one entry a line, two blanks of indent a level:
// "[folder]", "caption -> address", "-" for a separator.
std::string describe(const BookmarkList& entries, int indent = 0);

} // namespace korvalo::test

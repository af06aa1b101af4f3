#pragma once

#include <iosfwd>
#include <string>

namespace korvalo::kvl {

// kvl import-html IN.html SITEFILE CATEFILE: adds the links of a Netscape
// bookmarks file to the directory. Top-level folders are main categories
// and the folders in them sub-categories, found by name or added; links in
// deeper folders go into their sub-category, and links outside any folder
// into the main category "مواقع مستوردة". An address the site file already
// holds, or that came earlier in the file, is skipped and counted. A text
// that Windows-1256 cannot hold or that is too long for its field is
// reported with its line and skipped, never cut: a link with its link, a
// folder with every link in it. Missing data files are created. Each file
// is replaced atomically, under the locks the program takes.
int importHtml(const std::string& inFile, const std::string& siteFile, const std::string& cateFile,
               std::ostream& out, std::ostream& err);

} // namespace korvalo::kvl

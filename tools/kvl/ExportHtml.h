#pragma once

#include <iosfwd>
#include <string>

namespace korvalo::kvl {

// kvl export-html SITEFILE CATEFILE OUT.html: the directory as a Netscape
// bookmarks file, which every browser imports. Each shown main category is
// a folder holding a folder per sub-category, then the sites filed directly
// under it; each site is a link to its address captioned with its
// description, its language kept in a LANGUAGE attribute for import-html.
// Texts are UTF-8 with HTML's special characters escaped. Sites under no
// shown category (the password and version records among them) are left
// out and counted. OUT.html is replaced atomically.
int exportHtml(const std::string& siteFile, const std::string& cateFile, const std::string& outFile,
               std::ostream& out, std::ostream& err);

} // namespace korvalo::kvl

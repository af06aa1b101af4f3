#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace korvalo::kvl {

// kvl search [--address] QUERY FILE: the sites of a site file whose
// description (or, with --address, address) holds QUERY, found and ordered
// as the program's search panel finds and orders them, one per line in the
// format of kvl sites. 0 when something was found, 1 when nothing was or
// the file cannot be read. args are the words after kvl.
int searchSites(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Whether args are that command with the words it takes (else: wrong usage).
bool isSearchCommand(const std::vector<std::string>& args);

} // namespace korvalo::kvl

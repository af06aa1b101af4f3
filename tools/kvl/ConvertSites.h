#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace korvalo::kvl {

// kvl convert-sites OLD NEW: writes NEW (which may be OLD) with the site
// records of OLD converted from the 172-byte layout to the current one.
// Refuses an OLD whose length only current records make. NEW is replaced
// atomically under its lock.
int convertSites(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace korvalo::kvl

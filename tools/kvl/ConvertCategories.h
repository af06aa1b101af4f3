#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace korvalo::kvl {

// kvl convert-categories OLD NEW [--sites FILE] [--force]: writes NEW (which
// may be OLD) with every category of OLD as a main category whose Id is its
// position, from 0. With --sites, refuses when records of FILE refer to an
// id that would then name another category, unless --force is given. NEW is
// replaced atomically under its lock.
int convertCategories(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace korvalo::kvl

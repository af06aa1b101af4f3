#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace korvalo::kvl {

// kvl set-version FILE LABEL [--categories CATE] [--force]: makes a version
// record with Url LABEL the first record of the site file FILE, under the
// category "info" of CATE (by default the "cate.dat" beside FILE; id 0 when
// it has none). A first record that is no version record is a site, and is
// replaced only with --force. FILE is replaced atomically under its lock.
int setVersion(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace korvalo::kvl

#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace korvalo::kvl {

// kvl: lists the directory's data files as tab-separated UTF-8 text and
// builds them from such text. Returns the process exit status: 0 success,
// 1 bad input (nothing written), 2 wrong usage.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

} // namespace korvalo::kvl

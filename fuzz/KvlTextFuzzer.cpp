// kvl's text input: text it accepts builds a file whose listing builds the
// same file again; text it refuses writes nothing. The first byte chooses
// sites ('c' for categories), the rest is the text.

#include "FuzzSupport.h"

#include "kvl/KvlTool.h"

#include <sstream>
#include <unistd.h>

using namespace korvalo;

namespace {

int run(const std::vector<std::string>& args, const std::string& input, std::string* output) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = kvl::run(args, in, out, err);
    if (output)
        *output = out.str();
    return status;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const bool sites = data[0] != 'c';
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string make = sites ? "make-sites" : "make-categories";
    const std::string list = sites ? "sites" : "categories";
    const std::string first = fuzz::scratchFolder() + "first";
    const std::string second = fuzz::scratchFolder() + "second";
    ::unlink(first.c_str());
    ::unlink(second.c_str());

    if (run({make, "-", first}, text, nullptr) != 0) {
        FUZZ_CHECK(::access(first.c_str(), F_OK) != 0);
        return 0;
    }
    const std::string built = fuzz::readBack(first);
    FUZZ_CHECK(built.size() % (sites ? 176 : 88) == 0);
    std::string listing;
    FUZZ_CHECK(run({list, first}, {}, &listing) == 0);
    FUZZ_CHECK(run({make, "-", second}, listing, nullptr) == 0);
    FUZZ_CHECK(fuzz::readBack(second) == built);
    return 0;
}

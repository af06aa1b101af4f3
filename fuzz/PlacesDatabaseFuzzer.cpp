// The Firefox database reader over any database and -wal file: the input is
// a four-byte little-endian length, that many bytes of database, and the
// -wal file's bytes after them. A damaged or hostile database gives no
// bookmarks or the three roots as sound trees, and never hurts.

#include "BookmarkChecks.h"

#include "browser/FirefoxBookmarks.h"

#include <algorithm>
#include <cstdlib>

using namespace korvalo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The reader's private copies go into the harness's own folder, in
    // memory where it can.
    static const bool inScratch = ::setenv("TMPDIR", fuzz::scratchFolder().c_str(), 1) == 0;
    FUZZ_CHECK(inScratch);
    if (size < 4)
        return 0;
    const size_t length = std::min(size - 4, size_t(data[0]) | size_t(data[1]) << 8 |
                                                 size_t(data[2]) << 16 | size_t(data[3]) << 24);
    const auto* bytes = reinterpret_cast<const char*>(data + 4);
    const QByteArrayView database(bytes, qsizetype(length));
    const QByteArrayView wal(bytes + length, qsizetype(size - 4 - length));
    if (const auto roots = ParsePlacesDatabase(database, wal)) {
        FUZZ_CHECK(roots->size() == 3);
        fuzz::checkTree(*roots, true, fuzz::Source::Values);
        for (const BookmarkNode& root : *roots)
            FUZZ_CHECK(root.kind == BookmarkNode::Folder);
    }
    return 0;
}

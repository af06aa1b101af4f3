// The Chromium "Bookmarks" and "Local State" readers over any bytes: the
// bookmarks bar and the other bookmarks, then the mobile ones when there
// are any, each a sound tree with shortened captions; profile names are
// never empty.

#include "BookmarkChecks.h"

#include "browser/ChromiumBookmarks.h"

using namespace korvalo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto roots = ParseChromiumBookmarks(bytes)) {
        FUZZ_CHECK(roots->size() == 2 || roots->size() == 3);
        for (const BookmarkNode& root : *roots)
            FUZZ_CHECK(root.kind == BookmarkNode::Folder);
        fuzz::checkTree(*roots, true, fuzz::Source::Values);
    }
    for (const auto& [folder, name] : ParseChromiumProfileNames(bytes))
        FUZZ_CHECK(!name.isEmpty());
    return 0;
}

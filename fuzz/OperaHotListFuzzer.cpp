// The Opera hot list reader over any bytes: the tree is sound and its
// captions are shortened.

#include "BookmarkChecks.h"

#include "browser/OperaHotList.h"

using namespace korvalo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto entries = ParseOperaHotList(bytes)) {
        const fuzz::TreeShape shape = fuzz::checkTree(*entries, true, fuzz::Source::Lines);
        // Every entry takes a "#FOLDER" or "#URL" line and a NAME line.
        FUZZ_CHECK(shape.entries * 2 <= size_t(bytes.count('\n')) + 1);
    }
    return 0;
}
